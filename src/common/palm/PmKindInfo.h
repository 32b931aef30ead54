#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::palm {

// One column of a kind's list: the common field it shows, its caption and
// its width in pixels.
struct PmColumn {
    std::uint32_t key;
    const char* caption;
    int width;
};

// What the window and the command line need to know of one kind of data,
// so that they are driven by this table rather than by code per kind.
struct PmKindInfo {
    const char* szName;         // "memos": the command line's name of the kind
    const char* szPalmName;     // "memopad": the name in the messages
    const char* szPageCaption;  // "Note ( Memo Pad )"
    std::vector<PmColumn> columns;
    // The kind's Palm Desktop 6 database in a user's data folder:
    // "MemoPad\" and "MemoPad.mdb" ...
    const char* szDbFolder;
    const char* szDbFile;

    // "Palm memopad undelete successfully, 3 records were undeleted."
    std::string SuccessMessage(int count) const;
    // "No Palm memopad records are selected, undelete action canceled."
    std::string NothingSelectedMessage() const;
};

}  // namespace lazrine::palm
