#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <vector>

#include "common/misc/CommRecord.h"
#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::app {

// The rows of one page's list: the common records of a record set that the
// page shows, in record order, each with its check box. Cell texts are
// produced only when a cell is drawn, so listing a hundred thousand records
// costs one index per record, not their texts.
//
// The model never owns the record set; SetRecordSet(nullptr) must be called
// before the record set goes.
class RecordTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordTableModel(std::vector<palm::PmColumn> columns, QObject* parent = nullptr);

    // Empties the list and uses `recordSet` (may be none) from now on.
    void SetRecordSet(const palm::PmRecordSet* recordSet);
    const palm::PmRecordSet* RecordSet() const { return m_pRecordSet; }
    // Empties the list.
    void Clear();
    // Lists every common record when `showAll`, else those that are deleted
    // or archived; every row starts unchecked.
    void Refill(bool showAll);
    void SetAllChecked(bool checked);

    // The common record attached to a row; none for a row out of range.
    const misc::CommRecord* RecordAt(int row) const;
    // The common record indexes of the checked rows, in row order.
    std::vector<std::size_t> CheckedRecords() const;
    // The common record indexes of every row, in row order.
    const std::vector<std::size_t>& ShownRecords() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // A cell shows at most 4095 characters, as a 4096-byte buffer holds.
    static constexpr std::size_t kCellBuffer = 4096;

    std::vector<palm::PmColumn> m_columns;
    const palm::PmRecordSet* m_pRecordSet = nullptr;
    std::vector<std::size_t> m_rows;  // common record index per row
    std::vector<char> m_checked;      // parallel to m_rows
};

}  // namespace lazrine::app
