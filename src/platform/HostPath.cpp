#include "platform/HostPath.h"

#include "platform/WinePathMapper.h"
#include "platform/WinePrefix.h"

namespace lazrine::platform {

bool HostPath::FromPalmText(std::string_view text, std::string& out, std::string* error) {
    const WinePathMapper mapper(WinePrefix::Locate());
    return mapper.ToHostPath(text, out, error);
}

}  // namespace lazrine::platform
