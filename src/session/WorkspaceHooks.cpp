#include "session/WorkspaceHooks.h"

#include "common/palm/PmRecordSetFactory.h"

namespace lazrine::session {

WorkspaceHooks WorkspaceHooks::Defaults() {
    WorkspaceHooks hooks;
    hooks.createRecordSet = [](palm::PmKind kind) { return palm::PmRecordSetFactory::Create(kind); };
    hooks.enumerateUsers = [] { return palm::PmDesktop::PmEnumerateUsers(); };
    return hooks;
}

}  // namespace lazrine::session
