#include "app/RecordTableModel.h"

#include <algorithm>

#include "platform/TextCodec.h"

namespace lazrine::app {

RecordTableModel::RecordTableModel(std::vector<palm::PmColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {}

void RecordTableModel::SetRecordSet(const palm::PmRecordSet* recordSet) {
    beginResetModel();
    m_pRecordSet = recordSet;
    m_rows.clear();
    m_checked.clear();
    endResetModel();
}

void RecordTableModel::Clear() {
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_checked.clear();
    m_checked.shrink_to_fit();
    endResetModel();
}

void RecordTableModel::Refill(bool showAll) {
    beginResetModel();
    m_rows.clear();
    m_checked.clear();
    if (m_pRecordSet != nullptr) {
        const std::size_t count = m_pRecordSet->CommonCount();
        m_rows.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            // The record set's status, which a saved undelete updates, so
            // undeleted records leave this list.
            if (showAll || m_pRecordSet->IsDeletedAt(i)) {
                m_rows.push_back(i);
            }
        }
        m_checked.assign(m_rows.size(), 0);
    }
    endResetModel();
}

void RecordTableModel::SetAllChecked(bool checked) {
    std::fill(m_checked.begin(), m_checked.end(), checked ? 1 : 0);
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(static_cast<int>(m_rows.size()) - 1, 0), {Qt::CheckStateRole});
    }
}

const misc::CommRecord* RecordTableModel::RecordAt(int row) const {
    if (m_pRecordSet == nullptr || row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) {
        return nullptr;
    }
    return &m_pRecordSet->CommonAt(m_rows[static_cast<std::size_t>(row)]);
}

std::vector<std::size_t> RecordTableModel::CheckedRecords() const {
    std::vector<std::size_t> out;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (m_checked[row] != 0) {
            out.push_back(m_rows[row]);
        }
    }
    return out;
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || m_pRecordSet == nullptr || index.row() >= static_cast<int>(m_rows.size()) ||
        index.column() >= static_cast<int>(m_columns.size())) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole: {
            const std::string text = m_pRecordSet->FieldText(
                m_rows[row], m_columns[static_cast<std::size_t>(index.column())].key, kCellBuffer);
            // Database texts are Unicode (UTF-8) already; the record files
            // hold Windows-1252.
            if (m_pRecordSet->CommonAt(m_rows[row]).nSource == misc::CommRecord::kSourceDatabase) {
                return QString::fromUtf8(text);
            }
            return QString::fromUtf8(platform::TextCodec::Cp1252ToUtf8(text));
        }
        case Qt::CheckStateRole:
            if (index.column() == 0) {
                return m_checked[row] != 0 ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        default:
            return {};
    }
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 ||
        index.row() >= static_cast<int>(m_rows.size())) {
        return false;
    }
    m_checked[static_cast<std::size_t>(index.row())] =
        value.toInt() == Qt::Checked ? 1 : 0;
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
