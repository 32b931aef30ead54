#include "app/TfmMainHooks.h"

#include "common/palm/PmRecordSetFactory.h"

namespace lazrine::app {

TfmMainHooks TfmMainHooks::Defaults() {
    TfmMainHooks hooks;
    hooks.createRecordSet = [](std::string_view name) { return palm::PmRecordSetFactory::Create(name); };
    hooks.enumerateUsers = [] { return palm::PmDesktop::PmEnumerateUsers(); };
    return hooks;
}

}  // namespace lazrine::app
