#include "common/export/RecordExporter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <span>

#include "common/export/CsvWriter.h"
#include "common/export/ExportPieceSink.h"
#include "common/export/ExportSource.h"
#include "common/export/ICalLibrary.h"
#include "common/export/ICalWriter.h"
#include "common/export/JsonRecordWriter.h"
#include "common/export/MemoFileNamer.h"
#include "common/export/MemoTextWriter.h"
#include "common/export/VCardWriter.h"
#include "common/palm/PmDataHead.h"
#include "platform/AtomicFile.h"
#include "platform/FileIo.h"

namespace lazrine::exporting {
namespace {

std::string KindName(const palm::PmRecordSet& set) { return set.Kind().szName; }

}  // namespace

bool RecordExporter::IsPalmDataFile(const std::string& path) {
    platform::FileIo::Facts facts;
    if (!platform::FileIo::Instance().Inspect(path, facts, nullptr) ||
        facts.nKind == platform::FileIo::Facts::Kind::kMissing) {
        return false;
    }
    // Only the head is read: every generation names itself in its first
    // bytes, and reading a large earlier export whole just to replace it
    // would cost as much memory as the export itself. A file that cannot be
    // read meets, and reports, the same when it is replaced.
    std::vector<std::uint8_t> head;
    return palm::PmDataHead::Read(path, head) && (palm::PmDataHead::IsDesktop(head) || palm::PmDataHead::IsHandheld(head));
}

void RecordExporter::Report(std::size_t done, std::size_t total) const {
    if (m_Progress && (done % kProgressStep == 0 || done == total)) {
        m_Progress(done, total);
    }
}

bool RecordExporter::WriteRecords(const std::vector<Part>& parts, ExportSink& sink) {
    const std::string kind = KindName(m_set);
    std::size_t total = 0;
    for (const Part& part : parts) {
        total += part.rows.size();
    }
    std::size_t done = 0;
    // Calls writeOne(set, source, i, part) for every record of every part.
    const auto each = [&](auto&& writeOne) {
        for (const Part& part : parts) {
            const ExportSource source(*part.pSet);
            for (const std::size_t i : part.rows) {
                if (!writeOne(*part.pSet, source, i, part)) {
                    return false;
                }
                Report(++done, total);
            }
        }
        return true;
    };
    using Set = palm::PmRecordSet;
    switch (m_nFormat) {
        case ExportFormat::kCsv: {
            CsvWriter csv(sink);
            const auto table = m_set.FieldRows();
            std::vector<std::string> cells;
            for (const auto& row : table) {
                cells.push_back(row.name);
            }
            return csv.WriteRow(cells) && each([&](const Set& set, const ExportSource&, std::size_t i, const Part&) {
                       cells.clear();
                       for (const auto& row : table) {
                           cells.push_back(ExportSource::Utf8Of(set.CommonAt(i).nSource, set.WholeFieldText(i, row.key)));
                       }
                       return csv.WriteRow(cells);
                   });
        }
        case ExportFormat::kJson: {
            JsonRecordWriter json(sink, m_set);
            return json.Begin(m_szFile, m_szUser) &&
                   each([&](const Set& set, const ExportSource&, std::size_t i, const Part& part) {
                       return json.Write(set, i, part.szSource.empty() ? nullptr : &part.szSource);
                   }) &&
                   json.End();
        }
        case ExportFormat::kVCard: {
            VCardWriter vcard(sink);
            ExportContact contact;
            return each([&](const Set&, const ExportSource& source, std::size_t i, const Part&) {
                return source.Contact(i, contact) && vcard.Write(contact);
            });
        }
        case ExportFormat::kText: {
            MemoTextWriter text(sink);
            ExportMemo memo;
            return each([&](const Set&, const ExportSource& source, std::size_t i, const Part&) {
                return source.Memo(i, memo) && text.Write(memo);
            });
        }
        case ExportFormat::kICalendar: {
            ICalWriter ical(sink, m_szZone);
            // The zone's VTIMEZONE is written only when an appointment
            // refers to it; tasks are dated, never zoned.
            bool zoned = false;
            ExportEvent event;
            for (const Part& part : parts) {
                const ExportSource source(*part.pSet);
                for (const std::size_t i : part.rows) {
                    if (kind == "calendar" && !zoned && source.Event(i, event) && ICalWriter::UsesZone(event)) {
                        zoned = true;
                    }
                }
            }
            if (!ical.Begin(zoned)) {
                return false;
            }
            bool ok = false;
            if (kind == "calendar") {
                ok = each([&](const Set&, const ExportSource& source, std::size_t i, const Part&) {
                    return source.Event(i, event) && ical.WriteEvent(event);
                });
            } else {
                ExportTask task;
                ok = each([&](const Set&, const ExportSource& source, std::size_t i, const Part&) {
                    return source.Task(i, task) && ical.WriteTask(task);
                });
            }
            m_Notes.insert(m_Notes.end(), ical.Notes().begin(), ical.Notes().end());
            return ok && ical.End();
        }
    }
    return false;
}

bool RecordExporter::WriteParts(const std::vector<Part>& parts, ExportSink& sink, std::string& error) {
    const auto formats = ExportFormat::ForKind(KindName(m_set));
    bool offered = false;
    for (const auto f : formats) {
        offered = offered || f == m_nFormat;
    }
    if (!offered) {
        error = std::string("the ") + KindName(m_set) + " cannot be exported as " + ExportFormat::Name(m_nFormat);
        return false;
    }
    for (const Part& part : parts) {
        if (part.pSet == nullptr || std::string_view(KindName(*part.pSet)) != KindName(m_set)) {
            error = "records of another kind cannot be exported together";
            return false;
        }
        for (const std::size_t i : part.rows) {
            if (i >= part.pSet->CommonCount()) {
                error = "no record at index " + std::to_string(i);
                return false;
            }
        }
    }
    // libical is loaded only now, by the first iCalendar export; without it
    // nothing is written, not even a head.
    if (m_nFormat == ExportFormat::kICalendar && ICalLibrary::Get(error) == nullptr) {
        return false;
    }
    m_Notes.clear();
    if (!WriteRecords(parts, sink) || !sink.Finish()) {
        error = sink.Error().empty() ? "a record could not be converted" : sink.Error();
        return false;
    }
    return true;
}

bool RecordExporter::WritePartsFile(const std::vector<Part>& parts, const std::string& path, std::string& error) {
    if (IsPalmDataFile(path)) {
        error = path + " is a Palm Desktop data file; an export never writes to one";
        return false;
    }
    std::string exportError;
    const platform::AtomicFile::Producer produce = [&](const platform::AtomicFile::PieceWriter& write,
                                                       std::string& produceError) {
        ExportPieceSink sink(write);
        if (!WriteParts(parts, sink, exportError)) {
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
