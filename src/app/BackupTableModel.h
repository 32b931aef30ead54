#pragma once

#include <QAbstractTableModel>

#include "session/BackupList.h"

namespace lazrine::app {

// The rows of the "Find in Backups" dialog: the records a backup list
// found, each with the list's check box in its first column (the copy it
// came from). The model never owns the list, which outlives it.
class BackupTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit BackupTableModel(session::BackupList& list, QObject* parent = nullptr);

    void SetAllChecked(bool checked);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    session::BackupList& m_list;
    std::vector<std::string> m_captions;
};

}  // namespace lazrine::app
