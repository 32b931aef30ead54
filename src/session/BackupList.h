#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/palm/PmKindInfo.h"
#include "session/BackupScan.h"
#include "session/UiServices.h"
#include "session/Workspace.h"

namespace lazrine::session {

// What the "Find in Backups…" dialog of a page shows and does: a scan of the
// user's folder for the kind (see BackupScan), one row per record found with
// a check box, the copy it came from in the first column and the page's
// columns after it, and the export of the checked rows into one file.
class BackupList {
public:
    static constexpr const char* kButton = "Find in Backups\u2026";
    static constexpr const char* kTitle = "Find in Backups";
    static constexpr const char* kCopyColumn = "Copy";

    explicit BackupList(const Workspace& workspace, palm::PmKind kind);

    // The folder a scan reads: the selected user's data folder, else the
    // folder above the kind's folder of the file the options name; empty
    // when neither is known.
    std::string Folder() const;
    // Scans; every row unchecked. Failures are in the report.
    const BackupScan::Report& Scan(const BackupScan::Progress& progress = {});
    // Scans and says, through `ui`, why it could not; false then.
    bool ScanOrExplain(UiServices& ui, const BackupScan::Progress& progress = {});

    const palm::PmKindInfo& Kind() const { return m_Scan.Kind(); }
    // "Found 3 records in 2 of 5 copies read."
    std::string Summary() const;
    // The column captions: the copy, then the page's columns.
    std::vector<std::string> Captions() const;
    std::size_t RowCount() const { return m_Rows.size(); }
    // The UTF-8 text of a cell, as the page shows it.
    std::string CellText(std::size_t row, std::size_t column) const;

    bool IsChecked(std::size_t row) const { return row < m_Checked.size() && m_Checked[row] != 0; }
    void SetChecked(std::size_t row, bool checked);
    void SetAllChecked(bool checked);

    // Exports the checked rows (all, when the user agrees, if none is
    // checked) to a file picked in the save dialog, proposed as
    // `suggested`; says how it went.
    void Export(UiServices& ui, const std::string& suggested, const std::function<void(bool)>& busy);

private:
    struct Row {
        std::size_t nCopy;
        std::size_t nRecord;
    };

    const Workspace& m_workspace;
    BackupScan m_Scan;
    std::string m_szFolder;
    std::vector<Row> m_Rows;
    std::vector<char> m_Checked;
};

}  // namespace lazrine::session
