#pragma once

#include <cstdint>
#include <string>

namespace lazrine::palm {

// The facts of a database's table "Information".
struct PmInfoEx2 {
    std::int32_t m_nLicense = 0;
    std::int32_t m_nVersion = 0;
    std::int32_t m_nMinor = 0;
    std::int32_t m_nCodePage = 0;
    std::int32_t m_nPreSahara = 0;
    std::int32_t m_nFreeRecID = 0;
    std::string m_szTableString;
};

}  // namespace lazrine::palm
