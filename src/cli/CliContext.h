#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "cli/CliOptions.h"
#include "common/palm/PmKindInfo.h"
#include "session/KindSession.h"
#include "session/Workspace.h"

namespace lazrine::cli {

// What every command works with: the parsed options, the two streams, and
// the loading of the kind from a file or a user, with the same words for
// every command when it fails.
class CliContext {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;

    CliContext(const CliOptions& options, std::ostream& out, std::ostream& err, bool progress);

    const CliOptions& Options() const { return m_options; }
    std::ostream& Out() { return m_out; }
    std::ostream& Err() { return m_err; }
    bool Progress() const { return m_bProgress; }
    // The kind the command names; the parser admits known kinds only.
    const palm::PmKindInfo& Kind() const;
    session::Workspace& Workspace() { return m_workspace; }
    // The UTF-8 name of the --user chosen; empty before or without one.
    const std::string& UserName() const { return m_user.szName; }

    // A kind session without data, its record set using the settings file.
    std::unique_ptr<session::KindSession> CreateSession() const;
    // Finds the --user; prints why not.
    bool FindUser(session::Workspace::ChosenUser& user);
    // Loads the kind from --user or the file; prints why not and returns none.
    std::unique_ptr<session::KindSession> Load();
    // Why a user's data did not load; the same words for every command.
    void CannotLoadUser(const session::Workspace::ChosenUser& user, const std::string& reason);

private:
    const CliOptions& m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_bProgress;
    session::Workspace m_workspace;
    session::Workspace::ChosenUser m_user;
};

}  // namespace lazrine::cli
