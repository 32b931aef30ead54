#include "cli/CliContext.h"

#include <ostream>

#include "common/palm/PmRecordSetFactory.h"
#include "session/Messages.h"

namespace lazrine::cli {

CliContext::CliContext(const CliOptions& options, std::ostream& out, std::ostream& err, bool progress)
    : m_options(options), m_out(out), m_err(err), m_bProgress(progress), m_workspace(options.settings) {}

const palm::PmKindInfo& CliContext::Kind() const {
    const palm::PmKindInfo* kind = palm::PmKindInfo::Find(m_options.kind);
    return kind != nullptr ? *kind : palm::PmKindInfo::Of(palm::PmKind::kMemos);
}

std::unique_ptr<session::KindSession> CliContext::CreateSession() const {
    auto set = palm::PmRecordSetFactory::Create(Kind().nKind);
    set->UseSettingsFile(m_options.settings);
    return std::make_unique<session::KindSession>(Kind().nKind, std::move(set));
}

bool CliContext::FindUser(session::Workspace::ChosenUser& user) {
    std::string why;
    if (!m_workspace.FindUser(m_options.user, user, why)) {
        m_err << why << "\n";
        return false;
    }
    m_user = user;
    return true;
}

void CliContext::CannotLoadUser(const session::Workspace::ChosenUser& user, const std::string& reason) {
    m_err << session::Messages::CannotLoadUser(Kind(), user.szName, user.nUserId, user.szFolder, reason) << "\n";
}

std::unique_ptr<session::KindSession> CliContext::Load() {
    auto session = CreateSession();
    if (!m_options.user.empty()) {
        session::Workspace::ChosenUser user;
        if (!FindUser(user)) {
            return nullptr;
        }
        const auto& load = session->LoadForUser(user.nUserId);
        if (load.nOutcome != session::Outcome::kOk) {
            CannotLoadUser(user, load.szReason);
            return nullptr;
        }
        return session;
    }
    const auto& load = session->LoadFile(m_options.file);
    if (load.nOutcome == session::Outcome::kInUse) {
        m_err << load.szReason << "\n";
        return nullptr;
    }
    if (load.nOutcome != session::Outcome::kOk) {
        m_err << session::Messages::NotAFile(Kind(), m_options.file) << "\n(" << load.szReason << ")\n";
        return nullptr;
    }
    return session;
}

}  // namespace lazrine::cli
