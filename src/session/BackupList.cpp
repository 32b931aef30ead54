#include "session/BackupList.h"

#include "common/export/JsonRecordWriter.h"
#include "session/ExportJob.h"
#include "session/Messages.h"
#include "session/WindowActions.h"

namespace lazrine::session {
namespace {

// The folder above `path`'s folder: the user's folder of a data file kept
// where Palm Desktop keeps it (<user>/<kind>/<file>).
std::string GrandParent(const std::string& path) {
    std::string folder = path;
    for (int up = 0; up < 2; ++up) {
        const std::size_t cut = folder.find_last_of("/\\");
        if (cut == std::string::npos || cut == 0) {
            return {};
        }
        folder.resize(cut);
    }
    return folder;
}

}  // namespace

BackupList::BackupList(const Workspace& workspace, palm::PmKind kind)
    : m_workspace(workspace), m_Scan(kind, [&workspace, kind] { return workspace.NewRecordSet(kind); }) {}

std::string BackupList::Folder() const {
    std::string folder = m_workspace.UserDataFolder();
    if (folder.empty()) {
        folder = GrandParent(m_workspace.Options().FileOf(Kind().nKind));
    }
    return folder;
}

const BackupScan::Report& BackupList::Scan(const BackupScan::Progress& progress) {
    m_szFolder = Folder();
    m_Scan.Run(m_szFolder, progress);
    m_Rows.clear();
    for (std::size_t c = 0; c < m_Scan.Copies().size(); ++c) {
        for (const std::size_t i : m_Scan.Copies()[c].found) {
            m_Rows.push_back({c, i});
        }
    }
    m_Checked.assign(m_Rows.size(), 0);
    return m_Scan.LastReport();
}

bool BackupList::ScanOrExplain(UiServices& ui, const BackupScan::Progress& progress) {
    if (Folder().empty()) {
        ui.Error(Messages::kError, Messages::ScanFailed(Kind(), "the user's folder", "no Palm Desktop user is chosen"));
        return false;
    }
    const BackupScan::Report& report = Scan(progress);
    if (report.nOutcome == Outcome::kCancelled) {
        return false;
    }
    if (report.nOutcome != Outcome::kOk) {
        ui.Error(Messages::kError, Messages::ScanFailed(Kind(), m_szFolder, report.szReason));
        return false;
    }
    return true;
}

std::string BackupList::Summary() const {
    std::string text = Messages::ScanSummary(m_Scan);
    for (const std::string& note : m_Scan.LastReport().notes) {
        text += " " + note;
    }
    return text;
}

std::vector<std::string> BackupList::Captions() const {
    std::vector<std::string> captions{kCopyColumn};
    for (const auto& column : Kind().columns) {
        captions.emplace_back(column.caption);
    }
    return captions;
}

std::string BackupList::CellText(std::size_t row, std::size_t column) const {
    if (row >= m_Rows.size()) {
        return {};
    }
    const BackupScan::Copy& copy = m_Scan.Copies()[m_Rows[row].nCopy];
    if (column == 0) {
        return copy.szPath;
    }
    const auto& columns = Kind().columns;
    return column <= columns.size()
               ? exporting::JsonRecordWriter::CellText(*copy.pSet, m_Rows[row].nRecord, columns[column - 1].key)
               : std::string{};
}

void BackupList::SetChecked(std::size_t row, bool checked) {
    if (row < m_Checked.size()) {
        m_Checked[row] = checked ? 1 : 0;
    }
}

void BackupList::SetAllChecked(bool checked) { m_Checked.assign(m_Rows.size(), checked ? 1 : 0); }

void BackupList::Export(UiServices& ui, const std::string& suggested, const std::function<void(bool)>& busy) {
    const palm::PmKindInfo& info = Kind();
    if (m_Rows.empty()) {
        ui.Information(Messages::kInformation, Messages::NothingShownToExport(info));
        return;
    }
    bool any = false;
    for (const char checked : m_Checked) {
        any = any || checked != 0;
    }
    if (!any && !ui.Ask(Messages::kExport, Messages::ExportAllShownQuestion(m_Rows.size()))) {
        return;
    }
    // One part per copy, its rows in list order.
    std::vector<std::vector<std::size_t>> records(m_Scan.Copies().size());
    for (std::size_t row = 0; row < m_Rows.size(); ++row) {
        if (!any || m_Checked[row] != 0) {
            records[m_Rows[row].nCopy].push_back(m_Rows[row].nRecord);
        }
    }
    std::vector<exporting::RecordExporter::Part> parts;
    for (std::size_t c = 0; c < records.size(); ++c) {
        if (!records[c].empty()) {
            parts.push_back({m_Scan.Copies()[c].pSet.get(), records[c], m_Scan.Copies()[c].szPath});
        }
    }
    WindowActions::ExportToChosenFile(info, ui, suggested, busy, [this, &parts](ExportJob::Format format) {
        auto job = std::make_unique<ExportJob>(std::move(parts), format);
        job->SetOrigin(m_Scan.LivePath(), {});
        return job;
    });
}

}  // namespace lazrine::session
