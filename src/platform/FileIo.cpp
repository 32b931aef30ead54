#include "platform/FileIo.h"

namespace lazrine::platform {
namespace {

constexpr const char* kInUse = " is in use by another program (Palm Desktop?)";

}  // namespace

std::string FileIo::InUseText(const std::string& path) { return path + kInUse; }

bool FileIo::IsInUseText(const std::string& message) { return message.find(kInUse) != std::string::npos; }

}  // namespace lazrine::platform
