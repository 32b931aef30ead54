#pragma once

#include <string>
#include <utility>

namespace lazrine::platform {

// What kind of failure a file operation met, so that a caller decides by the
// kind and never by the words of a message.
enum class IoFailure {
    kNone,
    kInUse,               // another program holds a lock on the file
    kMissing,             // the file (or its folder) does not exist
    kNotRegular,          // the name holds a folder, device, FIFO or the like
    kChangedSinceLoaded,  // another program changed the file since it was loaded
    kReplacedNotDurable,  // the new file is in place, but may not survive a crash
    kWriteFailed,         // a write or flush failed (a full disk among others)
    kOther,
};

// A failure's kind with the reason shown to the user.
struct IoError {
    IoFailure nCode = IoFailure::kNone;
    std::string szText;

    // Records a failure and returns false, for `return error.Fail(...)`.
    bool Fail(IoFailure code, std::string text) {
        nCode = code;
        szText = std::move(text);
        return false;
    }
    // The same for an optional error.
    static bool Fail(IoError* error, IoFailure code, std::string text) {
        if (error != nullptr) {
            error->Fail(code, std::move(text));
        }
        return false;
    }
    void Clear() { *this = IoError{}; }
};

}  // namespace lazrine::platform
