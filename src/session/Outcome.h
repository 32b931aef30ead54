#pragma once

namespace lazrine::session {

// What became of an operation, by kind, so that front ends and tests tell
// outcomes apart without reading message texts.
enum class Outcome {
    kOk,
    kNothingSelected,    // no record was chosen
    kNotDeleted,         // a chosen record is not deleted (nor archived)
    kNoSuchRecord,       // an id names no record
    kNotLoaded,          // the kind has no data loaded
    kInUse,              // another program holds the file
    kNotThisKind,        // not data of this kind (or unreadable)
    kMissing,            // the file does not exist
    kNotRegularFile,     // a folder, a FIFO, a device
    kNoName,             // no file name given
    kBadName,            // a name that cannot be kept (control characters)
    kWriteFailed,        // nothing was written; the file is as it was
    kChangedSinceLoaded, // another program changed the file since it was loaded; nothing was written
    kReplacedNotDurable, // the file was replaced but may not survive a crash
    kRefusedOutput,      // an export would write over a data file
    kCancelled,          // the user said no
};

}  // namespace lazrine::session
