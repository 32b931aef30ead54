#pragma once

#include <string>
#include <string_view>

namespace lazrine::exporting {

// Where an export's text goes, piece by piece, so that an export of any
// length is never held whole in memory. Once a write fails every later one
// fails too, and Error() says why.
class ExportSink {
public:
    virtual ~ExportSink() = default;

    bool Write(std::string_view text) {
        if (!m_szError.empty()) {
            return false;
        }
        return Put(text);
    }
    // Hands on whatever is still buffered.
    virtual bool Finish() { return m_szError.empty(); }
    const std::string& Error() const { return m_szError; }

protected:
    virtual bool Put(std::string_view text) = 0;
    bool Fail(std::string reason) {
        m_szError = reason.empty() ? std::string("write failed") : std::move(reason);
        return false;
    }

private:
    std::string m_szError;
};

}  // namespace lazrine::exporting
