#include "session/UiServices.h"

namespace lazrine::session {

std::string FileFilter::Text() const {
    std::string text = szTitle + " (";
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        text += (i == 0 ? "" : " ") + patterns[i];
    }
    return text + ")";
}

}  // namespace lazrine::session
