#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lazrine::palm {

// The four kinds of Palm Desktop data, in the order the window shows their
// pages. Every layer names a kind by this value and finds everything else
// about it in the kind table (PmKindInfo::Of).
enum class PmKind : int { kContacts = 0, kCalendar = 1, kTasks = 2, kMemos = 3 };
inline constexpr std::size_t kPmKindCount = 4;

// One column of a kind's list: the common field it shows, its caption and
// its width in pixels.
struct PmColumn {
    std::uint32_t key;
    const char* caption;
    int width;
};

// What the front ends need to know of one kind of data, so that they are
// driven by this table rather than by code per kind.
struct PmKindInfo {
    PmKind nKind;
    const char* szName;         // "memos": the command line's name of the kind
    const char* szPalmName;     // "memopad": the name in the messages
    const char* szPageCaption;  // "Note ( Memo Pad )"
    const char* szCaption;      // "Memos": the options dialog's page
    // "Memo": the prefix of the kind's control names (lvMemo, edtMemoFile)
    // and of its settings keys (MemoAll, MemoFile).
    const char* szPrefix;
    std::vector<PmColumn> columns;
    // The kind's Palm Desktop 6 database in a user's data folder:
    // "MemoPad\" and "MemoPad.mdb" ...
    const char* szDbFolder;
    const char* szDbFile;
    // The record file of earlier Palm Desktops in the same folder.
    const char* szDataFile;

    // Every kind, in page order.
    static const std::array<PmKindInfo, kPmKindCount>& All();
    static const PmKindInfo& Of(PmKind kind);
    // The kind with that command-line name; none for any other name.
    static const PmKindInfo* Find(std::string_view name);
    // The kind's position in page order.
    std::size_t Index() const { return static_cast<std::size_t>(nKind); }

    // "Palm memopad undelete successfully, 3 records were undeleted."
    std::string SuccessMessage(int count) const;
    // "No Palm memopad records are selected, undelete action canceled."
    std::string NothingSelectedMessage() const;
};

}  // namespace lazrine::palm
