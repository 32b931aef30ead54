#include "platform/FileIo.h"

namespace lazrine::platform {
namespace {

constexpr const char* kInUse = " is in use by another program (Palm Desktop?)";

FileIo* g_instance = nullptr;

}  // namespace

FileIo& FileIo::Instance() { return g_instance != nullptr ? *g_instance : SystemFileIo(); }

void FileIo::SetInstance(FileIo* io) { g_instance = io; }

std::string FileIo::InUseText(const std::string& path) { return path + kInUse; }

bool FileIo::NamesOpenFile(const std::string& path, Handle h, bool& same, IoError* error) {
    same = false;
    Facts named;
    Facts open;
    std::string target = path;
    if (!Inspect(path, named, error) ||
        (named.nKind == Facts::Kind::kLink && (!ResolveLinks(path, target, error) || !Inspect(target, named, error))) ||
        !InspectOpen(h, open, error)) {
        return false;
    }
    same = named.IsSameFile(open);
    return true;
}

}  // namespace lazrine::platform
