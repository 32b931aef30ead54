#include "common/palm/PmDataHead.h"

#include <algorithm>
#include <string_view>

#include "common/palm/PmAddrUtil.h"
#include "common/palm/PmDateUtil.h"
#include "common/palm/PmMemoUtil.h"
#include "common/palm/PmTodoUtil.h"
#include "platform/FileIo.h"

namespace lazrine::palm {

bool PmDataHead::Read(const std::string& path, std::vector<std::uint8_t>& head, platform::IoError* error,
                      std::uint64_t* size) {
    head.clear();
    platform::FileIo& io = platform::FileIo::Instance();
    platform::FileIo::Handle h = platform::FileIo::kInvalid;
    if (!io.OpenLocked(path, h, error)) {
        return false;
    }
    std::uint64_t bytes = 0;
    bool ok = io.Size(h, bytes, error);
    if (ok) {
        head.resize(static_cast<std::size_t>(std::min<std::uint64_t>(bytes, kSize)));
        ok = head.empty() || io.ReadAt(h, 0, head, error);
    }
    platform::IoError closeError;
    if (!io.Close(h, &closeError) && ok) {
        if (error != nullptr) {
            *error = closeError;
        }
        ok = false;
    }
    if (!ok) {
        head.clear();
    } else if (size != nullptr) {
        *size = bytes;
    }
    return ok;
}

bool PmDataHead::IsDesktop(std::span<const std::uint8_t> head) {
    const std::string_view text(reinterpret_cast<const char*>(head.data()), std::min<std::size_t>(head.size(), 64));
    if (text.find("PalmSG Database") != std::string_view::npos || text.find("Standard Jet DB") != std::string_view::npos) {
        return true;
    }
    if (head.size() < 4) {
        return false;
    }
    const std::uint32_t tag = static_cast<std::uint32_t>(head[0]) | static_cast<std::uint32_t>(head[1]) << 8 |
                              static_cast<std::uint32_t>(head[2]) << 16 | static_cast<std::uint32_t>(head[3]) << 24;
    return tag == PmMemoUtil::kVersionTag || tag == PmTodoUtil::kVersionTag || tag == PmDateUtil::kVersionTag ||
           tag == PmAddrUtil::kVersionTag;
}

bool PmDataHead::IsHandheld(std::span<const std::uint8_t> head) {
    // Attributes at 32 (bit 0: a resource database), type at 60.
    return head.size() >= 78 && (head[33] & 0x01) == 0 && head[60] == 'D' && head[61] == 'A' && head[62] == 'T' &&
           head[63] == 'A';
}

}  // namespace lazrine::palm
