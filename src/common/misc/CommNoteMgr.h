#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/misc/CommRecordMgr.h"

namespace lazrine::misc {

// The common note record. Its note is the native record's text itself (see
// CommRecord: one copy of every text). The subject is the start of the note
// (its first 255 characters, cut where the first CR LF begins), so it is held
// as a length into `szNote` rather than a second copy of the text.
struct CommNoteRec : CommRecord {
    static constexpr std::size_t kNoteMax = 8191;
    static constexpr std::size_t kSubjectMax = 255;

    std::uint32_t nColor = 0;
    std::uint32_t nPrivate = 0;
    std::string_view szNote;
    std::size_t nSubjectLength = 0;
    std::string szCategory;  // the category's whole name; empty when uncategorised
    double dCreationTime = 0;
    double dModificationTime = 0;
    std::string szId;

    std::string_view Subject() const { return szNote.substr(0, nSubjectLength); }
    // Makes the note refer to a native record's memo text, whole (a display
    // shows its first 8191 characters), and sets the subject as described
    // above. The text must outlive the record: a temporary is refused.
    void SetText(const std::string& text) { SetText(std::string_view(text)); }
    void SetText(std::string&&) = delete;
    // The same for a text held elsewhere, such as the loaded file's bytes.
    void SetText(std::string_view text);
};

class CommNoteMgr : public CommRecordMgr<CommNoteRec> {
public:
    enum Key : std::uint32_t {
        kColor = 0,
        kPrivate = 1,
        kSubject = 2,
        kNote = 3,
        kCategory = 4,
        kCreationTime = 5,
        kModificationTime = 6,
        kSource = 7,
        kStatus = 8,
        kIdInteger = 9,
        kIdString = 10,
    };

    std::span<const CommFieldInfo> FieldTable() const override;

protected:
    std::string FieldText(const CommNoteRec& rec, std::uint32_t key, bool whole) const override;
};

}  // namespace lazrine::misc
