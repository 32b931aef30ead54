#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/palm/PmRecordSet.h"
#include "session/Outcome.h"

namespace lazrine::session {

// Brings chosen records back, the same way for every front end.
//
// The policy is all or nothing: every chosen record is tried, and when any
// of them cannot be undeleted (it is not deleted, or its store refuses it)
// the undeletes already made are taken back and nothing is written. Only
// when all of them are accepted is the data saved, in one write (a record
// file replaced crash-safely, a database in one journalled batch). A failed
// save leaves the file as it was, except when the new file is in place but
// its folder could not be made durable, which the report says.
class Undeleter {
public:
    enum class FileState { kUnchanged, kWritten, kReplacedMaybeNotDurable };

    struct Report {
        Outcome nOutcome = Outcome::kOk;
        std::size_t nRequested = 0;
        std::size_t nUndeleted = 0;  // written to the file
        std::size_t nRefused = 0;    // records that could not be undeleted
        // The first refusal's or the save's reason; empty on success.
        std::string szReason;
        FileState nFile = FileState::kUnchanged;
    };

    static Report Run(palm::PmRecordSet& set, const std::vector<std::size_t>& records);
};

}  // namespace lazrine::session
