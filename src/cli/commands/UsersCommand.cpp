#include "cli/commands/UsersCommand.h"

#include <iomanip>
#include <ostream>

#include "common/palm/desktop/PmDesktop.h"
#include "platform/TextCodec.h"
#include "session/Messages.h"

namespace lazrine::cli {

int UsersCommand::Run(CliContext& context) {
    const std::string& settings = context.Options().settings;
    palm::PmDesktop::PmLoadDesktopLibraries(settings);
    const auto users = palm::PmDesktop::PmEnumerateUsers();
    if (users.empty()) {
        context.Err() << session::Messages::NoUsers(palm::PmDesktop::PmNoUsersReason(settings)) << "\n";
        return CliContext::kExitFailed;
    }
    std::ostream& out = context.Out();
    out << std::left << std::setw(12) << "ID" << std::setw(24) << "Name" << "Data folder\n";
    for (const auto& user : users) {
        std::string folder;
        if (!palm::PmDesktop::PmGetUserDataPath(user.nUserId, folder)) {
            folder = "(" + palm::PmDesktop::PmLastError() + ")";
        }
        out << std::left << std::setw(12) << user.nUserId << std::setw(24)
            << platform::TextCodec::Cp1252ToUtf8(user.szName) << folder << "\n";
    }
    out << users.size() << (users.size() == 1 ? " user" : " users") << "\n";
    return CliContext::kExitOk;
}

}  // namespace lazrine::cli
