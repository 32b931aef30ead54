#include "session/ExportJob.h"

#include <algorithm>
#include <cctype>

namespace lazrine::session {
namespace {

using exporting::ExportFormat;

bool EndsWithNoCase(const std::string& text, const std::string& end) {
    if (end.size() > text.size()) {
        return false;
    }
    return std::equal(end.rbegin(), end.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

ExportJob::WindowRows ExportJob::RowsForWindow(const KindSession& session) {
    WindowRows rows;
    rows.records = session.Checked();
    if (!rows.records.empty()) {
        return rows;
    }
    if (!session.Available() || session.Shown().empty()) {
        rows.nOutcome = Outcome::kNothingSelected;
        return rows;
    }
    rows.records = session.Shown();
    rows.bAsk = true;
    return rows;
}

std::vector<FileFilter> ExportJob::Filters(const palm::PmKindInfo& kind) {
    std::vector<FileFilter> filters;
    for (const auto format : ExportFormat::ForKind(kind.szName)) {
        filters.push_back({ExportFormat::Title(format), {std::string("*") + ExportFormat::Extension(format)}});
    }
    return filters;
}

std::string ExportJob::SuggestedName(const palm::PmKindInfo& kind) {
    return std::string(kind.szName) + ExportFormat::Extension(ExportFormat::ForKind(kind.szName).front());
}

ExportJob::Format ExportJob::FormatFor(const palm::PmKindInfo& kind, std::size_t filter, const std::string& path) {
    const std::vector<Format> formats = ExportFormat::ForKind(kind.szName);
    if (filter < formats.size()) {
        return formats[filter];
    }
    Format format = formats.front();
    for (const auto f : formats) {
        if (EndsWithNoCase(path, ExportFormat::Extension(f))) {
            format = f;
        }
    }
    return format;
}

bool ExportJob::FormatNamed(const palm::PmKindInfo& kind, const std::string& name, Format& format) {
    return ExportFormat::Find(kind.szName, name, format);
}

bool ExportJob::WritesOverDataFile(const std::string& dataFile, const std::string& output) {
    return !dataFile.empty() && output == dataFile;
}

ExportJob::ExportJob(palm::PmRecordSet& set, Format format, std::vector<std::size_t> records)
    : m_Exporter(set, format), m_Records(std::move(records)), m_Parts{{&set, m_Records, {}}} {}

ExportJob::ExportJob(std::vector<exporting::RecordExporter::Part> parts, Format format)
    : m_Exporter(*parts.at(0).pSet, format), m_Parts(std::move(parts)) {}

std::size_t ExportJob::RecordCount() const {
    std::size_t count = 0;
    for (const auto& part : m_Parts) {
        count += part.rows.size();
    }
    return count;
}

ExportJob::Report ExportJob::Finish(bool ok, const std::string& error) {
    Report report;
    report.nOutcome = ok ? Outcome::kOk : Outcome::kWriteFailed;
    report.szError = error;
    report.notes = m_Exporter.Notes();
    return report;
}

ExportJob::Report ExportJob::ToFile(const std::string& path) {
    std::string error;
    const bool ok = m_Exporter.WritePartsFile(m_Parts, path, error);
    Report report = Finish(ok, error);
    report.bOutputInPlace = !ok && m_Exporter.OutputInPlace();
    return report;
}

ExportJob::Report ExportJob::ToFolder(const std::string& folder) {
    std::string error;
    std::size_t written = 0;
    const bool ok = m_Exporter.WriteMemoFolder(m_Records, folder, written, error);
    Report report = Finish(ok, error);
    report.nWritten = written;
    return report;
}

ExportJob::Report ExportJob::ToSink(exporting::ExportSink& sink) {
    std::string error;
    const bool ok = m_Exporter.WriteParts(m_Parts, sink, error);
    return Finish(ok, error);
}

}  // namespace lazrine::session
