#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/export/ExportRecord.h"
#include "common/palm/PmRecordSet.h"

namespace lazrine::exporting {

// Makes the export view of one record of a loaded record set, from its
// common record and the native record behind it in the store that loaded it.
// Each call fills one view; nothing is kept between calls.
class ExportSource {
public:
    explicit ExportSource(palm::PmRecordSet& set) : m_set(set) {}

    // False when record `i` is not of the view's kind or does not exist.
    bool Event(std::size_t i, ExportEvent& out) const;
    bool Task(std::size_t i, ExportTask& out) const;
    bool Contact(std::size_t i, ExportContact& out) const;
    bool Memo(std::size_t i, ExportMemo& out) const;

    // The export identifier of record `i`: "lazrine-<kind>-<record id>-<8
    // hex digits>", the digits a hash of the kind and of what names the data
    // file (the path Palm Desktop recorded inside it, else the path loaded),
    // so that records of different files and users never share one while
    // the same record of the same file always gets the same one. Empty for
    // a record that does not exist.
    std::string Uid(std::size_t i) const;

    // A text of a record of `source` in UTF-8: the record files hold
    // Windows-1252, the database holds UTF-8 already.
    static std::string Utf8Of(std::uint32_t source, const std::string& text);
    static std::string Utf8Of(std::uint32_t source, std::string_view text) {
        return Utf8Of(source, std::string(text));
    }

private:
    palm::PmRecordSet& m_set;
};

}  // namespace lazrine::exporting
