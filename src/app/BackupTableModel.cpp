#include "app/BackupTableModel.h"

namespace lazrine::app {

BackupTableModel::BackupTableModel(session::BackupList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_captions(list.Captions()) {}

void BackupTableModel::SetAllChecked(bool checked) {
    m_list.SetAllChecked(checked);
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }
}

int BackupTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.RowCount());
}

int BackupTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant BackupTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::CheckStateRole && index.column() == 0) {
        return m_list.IsChecked(row) ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        QString text = QString::fromStdString(m_list.CellText(row, static_cast<std::size_t>(index.column())));
        return role == Qt::ToolTipRole ? text : text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return {};
}

bool BackupTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) {
        return false;
    }
    m_list.SetChecked(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags BackupTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant BackupTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= m_captions.size()) {
        return {};
    }
    return QString::fromStdString(m_captions[static_cast<std::size_t>(section)]);
}

}  // namespace lazrine::app
