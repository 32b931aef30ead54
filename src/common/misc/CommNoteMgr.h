#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/misc/CommRecordMgr.h"

namespace lazrine::misc {

// The common note record. The subject is the start of the note (its first
// 255 characters, cut where the first CR LF begins), so it is held as a
// length into `szNote` rather than a second copy of the text.
struct CommNoteRec : CommRecord {
    static constexpr std::size_t kNoteMax = 8191;
    static constexpr std::size_t kSubjectMax = 255;

    std::uint32_t nColor = 0;
    std::uint32_t nPrivate = 0;
    std::string szNote;
    std::size_t nSubjectLength = 0;
    std::string szCategory;
    double dCreationTime = 0;
    double dModificationTime = 0;
    std::string szId;

    std::string_view Subject() const { return std::string_view(szNote).substr(0, nSubjectLength); }
    // Sets the note from a memo text, kept whole (a display shows its first
    // 8191 characters), and the subject as described above.
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
