#include "common/misc/CommNoteMgr.h"

#include <array>
#include <cstdio>

#include "common/misc/WinUtil.h"

namespace lazrine::misc {

void CommNoteRec::SetText(std::string_view text) {
    szNote = text;
    std::string_view subject = szNote.substr(0, kSubjectMax);
    const auto crlf = szNote.find("\r\n");
    if (crlf != std::string_view::npos && crlf < subject.size()) {
        subject = subject.substr(0, crlf);
    }
    nSubjectLength = subject.size();
}

std::span<const CommFieldInfo> CommNoteMgr::FieldTable() const {
    static const std::array<CommFieldInfo, 11> table{{
        {kColor, "Color", 4},
        {kPrivate, "Private", 4},
        {kSubject, "Subject", 256},
        {kNote, "Note", 8192},
        {kCategory, "Category", 64},
        {kCreationTime, "Creation Time", 8},
        {kModificationTime, "Last Modification Time", 8},
        {kSource, "Source", 4},
        {kStatus, "Status", 4},
        {kIdInteger, "ID(Integer)", 4},
        {kIdString, "ID(String)", 32},
    }};
    return table;
}

std::string CommNoteMgr::FieldText(const CommNoteRec& rec, std::uint32_t key, bool whole) const {
    switch (key) {
        case kColor: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "#%06x", rec.nColor);
            return buf;
        }
        case kPrivate:
            return rec.nPrivate != 0 ? "Yes" : "No";
        case kSubject:
            return std::string(rec.Subject());
        case kNote:
            return std::string(whole ? rec.szNote : rec.szNote.substr(0, CommNoteRec::kNoteMax));
        case kCategory:
            return rec.szCategory;
        case kCreationTime:
        case kModificationTime: {
            // No store fills these times: the window shows the zero date, an
            // export leaves a time it does not know empty.
            const double date = key == kCreationTime ? rec.dCreationTime : rec.dModificationTime;
            return whole && date == 0 ? std::string() : WinUtil::VariantTimeToText(date);
        }
        default:
            return {};
    }
}

}  // namespace lazrine::misc
