#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lazrine::platform {

// The system registry, read only, as a 32-bit Windows program such as Palm
// Desktop sees it: on Windows the registry itself (the local machine's keys
// through the 32-bit view); elsewhere the registry of the Wine prefix (see
// WinePrefix and WineRegistry). Values are Windows-1252 text, the way the
// ANSI registry functions return them.
class Registry {
public:
    enum class Root { kCurrentUser, kLocalMachine };

    // Makes the registry of this moment readable; nothing is read later.
    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // What the registry is, for messages: "the registry", or where Wine
    // stands in for Windows, "the Wine registry".
    static const char* Name();

    // True when the key can be opened for reading.
    bool OpenKey(Root root, std::string_view key) const;
    // A text value of the key, up to its first zero character. False when
    // the key or the value is absent.
    bool QueryValue(Root root, std::string_view key, std::string_view name, std::string& out) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace lazrine::platform
