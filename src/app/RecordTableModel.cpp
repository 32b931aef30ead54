#include "app/RecordTableModel.h"

#include "common/misc/CommRecord.h"
#include "platform/TextCodec.h"

namespace lazrine::app {

RecordTableModel::RecordTableModel(std::vector<palm::PmColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {}

void RecordTableModel::SetSession(session::KindSession* session) {
    beginResetModel();
    m_pSession = session;
    endResetModel();
}

void RecordTableModel::Reset() {
    beginResetModel();
    endResetModel();
}

void RecordTableModel::SetAllChecked(bool checked) {
    if (m_pSession == nullptr) {
        return;
    }
    m_pSession->SetAllChecked(checked);
    if (RowCount() > 0) {
        emit dataChanged(index(0, 0), index(static_cast<int>(RowCount()) - 1, 0), {Qt::CheckStateRole});
    }
}

std::vector<std::size_t> RecordTableModel::CheckedRecords() const {
    return m_pSession != nullptr ? m_pSession->Checked() : std::vector<std::size_t>{};
}

std::vector<std::size_t> RecordTableModel::ShownRecords() const {
    return m_pSession != nullptr ? m_pSession->Shown() : std::vector<std::size_t>{};
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(RowCount());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || m_pSession == nullptr || m_pSession->RecordSet() == nullptr ||
        static_cast<std::size_t>(index.row()) >= RowCount() || index.column() >= static_cast<int>(m_columns.size())) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const palm::PmRecordSet& set = *m_pSession->RecordSet();
    const std::size_t record = m_pSession->Shown()[row];
    switch (role) {
        case Qt::DisplayRole: {
            const std::string text =
                set.FieldText(record, m_columns[static_cast<std::size_t>(index.column())].key, kCellBuffer);
            // Database and handheld texts are UTF-8 already; the record files
            // hold Windows-1252.
            if (misc::CommRecord::HoldsUtf8(set.CommonAt(record).nSource)) {
                return QString::fromUtf8(text);
            }
            return QString::fromUtf8(platform::TextCodec::Cp1252ToUtf8(text));
        }
        case Qt::CheckStateRole:
            if (index.column() == 0) {
                return m_pSession->IsChecked(row) ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        default:
            return {};
    }
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || m_pSession == nullptr ||
        static_cast<std::size_t>(index.row()) >= RowCount()) {
        return false;
    }
    m_pSession->SetChecked(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(m_columns.size())) {
        return {};
    }
    return QString::fromLatin1(m_columns[static_cast<std::size_t>(section)].caption);
}

}  // namespace lazrine::app
