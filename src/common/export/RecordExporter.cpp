#include "common/export/RecordExporter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <span>

#include "common/export/CsvWriter.h"
#include "common/export/ExportPieceSink.h"
#include "common/export/ExportSource.h"
#include "common/export/ICalWriter.h"
#include "common/export/JsonRecordWriter.h"
#include "common/export/MemoFileNamer.h"
#include "common/export/MemoTextWriter.h"
#include "common/export/VCardWriter.h"
#include "common/palm/PmAddrUtil.h"
#include "common/palm/PmDateUtil.h"
#include "common/palm/PmMemoUtil.h"
#include "common/palm/PmTodoUtil.h"
#include "platform/AtomicFile.h"
#include "platform/FileIo.h"

namespace lazrine::exporting {
namespace {

std::string KindName(const palm::PmRecordSet& set) { return set.Kind().szName; }

}  // namespace

bool RecordExporter::IsPalmDataFile(const std::string& path) {
    platform::FileIo& io = platform::FileIo::Instance();
    platform::FileIo::Facts facts;
    if (!io.Inspect(path, facts, nullptr) || facts.nKind == platform::FileIo::Facts::Kind::kMissing) {
        return false;
    }
    // Only the head is read: every generation names itself in its first
    // bytes, and reading a large earlier export whole just to replace it
    // would cost as much memory as the export itself.
    platform::FileIo::Handle h = platform::FileIo::kInvalid;
    if (!io.OpenLocked(path, h, nullptr)) {
        return false;  // the replacement will meet, and report, the same
    }
    std::uint64_t size = 0;
    std::array<std::uint8_t, 64> head{};
    const std::size_t n = io.Size(h, size, nullptr) ? static_cast<std::size_t>(std::min<std::uint64_t>(size, head.size())) : 0;
    const bool read = n > 0 && io.ReadAt(h, 0, std::span<std::uint8_t>(head.data(), n), nullptr);
    io.Close(h, nullptr);
    if (!read) {
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(head.data()), n);
    if (text.find("PalmSG Database") != std::string_view::npos || text.find("Standard Jet DB") != std::string_view::npos) {
        return true;
    }
    if (n < 4) {
        return false;
    }
    const std::uint32_t tag = static_cast<std::uint32_t>(head[0]) | static_cast<std::uint32_t>(head[1]) << 8 |
                              static_cast<std::uint32_t>(head[2]) << 16 | static_cast<std::uint32_t>(head[3]) << 24;
    for (const std::uint32_t classic : {palm::PmMemoUtil::kVersionTag, palm::PmTodoUtil::kVersionTag,
                                        palm::PmDateUtil::kVersionTag, palm::PmAddrUtil::kVersionTag}) {
        if (tag == classic) {
            return true;
        }
    }
    return false;
}

void RecordExporter::Report(std::size_t done, std::size_t total) const {
    if (m_Progress && (done % kProgressStep == 0 || done == total)) {
        m_Progress(done, total);
    }
}

bool RecordExporter::WriteRecords(const std::vector<std::size_t>& rows, ExportSink& sink) {
    const std::string kind = KindName(m_set);
    const ExportSource source(m_set);
    std::size_t done = 0;
    const auto each = [&](auto&& writeOne) {
        for (const std::size_t i : rows) {
            if (!writeOne(i)) {
                return false;
            }
            Report(++done, rows.size());
        }
        return true;
    };
    switch (m_nFormat) {
        case ExportFormat::kCsv: {
            CsvWriter csv(sink);
            const auto table = m_set.FieldRows();
            std::vector<std::string> cells;
            for (const auto& row : table) {
                cells.push_back(row.name);
            }
            return csv.WriteRow(cells) && each([&](std::size_t i) {
                       cells.clear();
                       for (const auto& row : table) {
                           cells.push_back(ExportSource::Utf8Of(m_set.CommonAt(i).nSource, m_set.WholeFieldText(i, row.key)));
                       }
                       return csv.WriteRow(cells);
                   });
        }
        case ExportFormat::kJson: {
            JsonRecordWriter json(sink, m_set);
            return json.Begin(m_szFile, m_szUser) && each([&](std::size_t i) { return json.Write(i); }) && json.End();
        }
        case ExportFormat::kVCard: {
            VCardWriter vcard(sink);
            ExportContact contact;
            return each([&](std::size_t i) { return source.Contact(i, contact) && vcard.Write(contact); });
        }
        case ExportFormat::kText: {
            MemoTextWriter text(sink);
            ExportMemo memo;
            return each([&](std::size_t i) { return source.Memo(i, memo) && text.Write(memo); });
        }
        case ExportFormat::kICalendar: {
            ICalWriter ical(sink, m_szZone);
            // The zone's VTIMEZONE is written only when an appointment
            // refers to it; tasks are dated, never zoned.
            bool zoned = false;
            ExportEvent event;
            if (kind == "calendar") {
                for (const std::size_t i : rows) {
                    if (source.Event(i, event) && ICalWriter::UsesZone(event)) {
                        zoned = true;
                        break;
                    }
                }
            }
            if (!ical.Begin(zoned)) {
                return false;
            }
            bool ok = false;
            if (kind == "calendar") {
                ok = each([&](std::size_t i) { return source.Event(i, event) && ical.WriteEvent(event); });
            } else {
                ExportTask task;
                ok = each([&](std::size_t i) { return source.Task(i, task) && ical.WriteTask(task); });
            }
            m_Notes.insert(m_Notes.end(), ical.Notes().begin(), ical.Notes().end());
            return ok && ical.End();
        }
    }
    return false;
}

bool RecordExporter::Write(const std::vector<std::size_t>& rows, ExportSink& sink, std::string& error) {
    const auto formats = ExportFormat::ForKind(KindName(m_set));
    bool offered = false;
    for (const auto f : formats) {
        offered = offered || f == m_nFormat;
    }
    if (!offered) {
        error = std::string("the ") + KindName(m_set) + " cannot be exported as " + ExportFormat::Name(m_nFormat);
        return false;
    }
    for (const std::size_t i : rows) {
        if (i >= m_set.CommonCount()) {
            error = "no record at index " + std::to_string(i);
            return false;
        }
    }
    m_Notes.clear();
    if (!WriteRecords(rows, sink) || !sink.Finish()) {
        error = sink.Error().empty() ? "a record could not be converted" : sink.Error();
        return false;
    }
    return true;
}

bool RecordExporter::WriteFile(const std::vector<std::size_t>& rows, const std::string& path, std::string& error) {
    if (IsPalmDataFile(path)) {
        error = path + " is a Palm Desktop data file; an export never writes to one";
        return false;
    }
    std::string exportError;
    const platform::AtomicFile::Producer produce = [&](const platform::AtomicFile::PieceWriter& write,
                                                       std::string& produceError) {
        ExportPieceSink sink(write);
        if (!Write(rows, sink, exportError)) {
            produceError = exportError;
            return false;
        }
        return true;
    };
    m_bOutputInPlace = false;
    platform::IoError failure;
    const auto outcome = platform::AtomicFile::Produce(path, produce, failure);
    if (outcome == platform::AtomicFile::Outcome::kReplacedNotDurable) {
        m_bOutputInPlace = true;
        error = path + " was written, but may not survive a crash: " + failure.szText;
        return false;
    }
    if (outcome != platform::AtomicFile::Outcome::kReplaced) {
        error = exportError.empty() ? failure.szText : exportError;
        return false;
    }
    return true;
}

bool RecordExporter::WriteMemoFolder(const std::vector<std::size_t>& rows, const std::string& folder,
                                     std::size_t& written, std::string& error) {
    written = 0;
    if (KindName(m_set) != "memos") {
        error = "only memos are exported as one file each";
        return false;
    }
    platform::FileIo& io = platform::FileIo::Instance();
    platform::FileIo::Facts facts;
    platform::IoError failure;
    if (!io.Inspect(folder, facts, &failure)) {
        error = failure.szText;
        return false;
    }
    if (facts.nKind != platform::FileIo::Facts::Kind::kDirectory) {
        error = folder + " is not a folder";
        return false;
    }
    std::string base = folder;
    if (base.back() != '/' && base.back() != '\\') {
        base += '/';
    }
    MemoFileNamer namer([&io, &base](const std::string& name) { return io.Exists(base + name); });
    const ExportSource source(m_set);
    ExportMemo memo;
    for (const std::size_t i : rows) {
        if (!source.Memo(i, memo)) {
            error = "no memo at index " + std::to_string(i);
            return false;
        }
        const std::string path = base + namer.Next(memo.szText);
        const platform::AtomicFile::Producer produce = [&memo](const platform::AtomicFile::PieceWriter& write,
                                                              std::string& produceError) {
            const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(memo.szText.data()),
                                                      memo.szText.size());
            return write(bytes, produceError);
        };
        const auto outcome = platform::AtomicFile::Produce(path, produce, failure);
        if (outcome == platform::AtomicFile::Outcome::kReplacedNotDurable) {
            ++written;
            error = path + " was written, but may not survive a crash: " + failure.szText;
            return false;
        }
        if (outcome != platform::AtomicFile::Outcome::kReplaced) {
            error = path + ": " + failure.szText;
            return false;
        }
        Report(++written, rows.size());
    }
    return true;
}

}  // namespace lazrine::exporting
