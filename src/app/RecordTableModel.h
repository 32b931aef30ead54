#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "session/KindSession.h"

namespace lazrine::app {

// The rows of one page's list: the records its kind session shows, each with
// the session's check box. Cell texts are produced only when a cell is
// drawn, so listing a hundred thousand records costs one index per record,
// not their texts.
//
// The model never owns the session; SetSession(nullptr) must be called
// before the session goes, and Reset() after the session's rows changed.
class RecordTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordTableModel(std::vector<palm::PmColumn> columns, QObject* parent = nullptr);

    void SetSession(session::KindSession* session);
    // Shows the session's rows as they are now.
    void Reset();
    void SetAllChecked(bool checked);

    // The record indexes of the checked rows, and of every row, in row order.
    std::vector<std::size_t> CheckedRecords() const;
    std::vector<std::size_t> ShownRecords() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // A cell shows at most 4095 characters, as a 4096-byte buffer holds.
    static constexpr std::size_t kCellBuffer = 4096;

    std::size_t RowCount() const { return m_pSession != nullptr ? m_pSession->Shown().size() : 0; }

    std::vector<palm::PmColumn> m_columns;
    session::KindSession* m_pSession = nullptr;
};

}  // namespace lazrine::app
