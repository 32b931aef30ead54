#include "platform/Registry.h"

#include "platform/WinePrefix.h"
#include "platform/WineRegistry.h"

namespace lazrine::platform {

namespace {

WineRegistry::Root WineRoot(Registry::Root root) {
    return root == Registry::Root::kCurrentUser ? WineRegistry::Root::kCurrentUser : WineRegistry::Root::kLocalMachine;
}

}  // namespace

struct Registry::Impl {
    WineRegistry wine{WinePrefix::Locate()};
};

const char* Registry::Name() { return "the Wine registry"; }

Registry::Registry() : m_pImpl(std::make_unique<Impl>()) {}

Registry::~Registry() = default;

bool Registry::OpenKey(Root root, std::string_view key) const {
    return m_pImpl->wine.OpenKey(WineRoot(root), key);
}

bool Registry::QueryValue(Root root, std::string_view key, std::string_view name, std::string& out) const {
    return m_pImpl->wine.QueryValue(WineRoot(root), key, name, out);
}

}  // namespace lazrine::platform
