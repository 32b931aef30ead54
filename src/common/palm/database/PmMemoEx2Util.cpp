#include "common/palm/database/PmMemoEx2Util.h"

#include "common/palm/desktop/PmUserDataPath.h"

namespace lazrine::palm {

bool PmMemoEx2Util::Load(const std::string& /*path*/) {
    m_bLoaded = false;
    m_DataMgr.Clear();
    m_szLastError = "Palm Desktop 6 databases are not supported yet";
    return false;
}

bool PmMemoEx2Util::LoadForUser(std::uint32_t userId) {
    std::string path;
    if (!PmUserDataPath::DataFilePath(userId, "MemoPad\\", "MemoPad.mdb", path, m_szLastError)) {
        m_bLoaded = false;
        m_DataMgr.Clear();
        return false;
    }
    return Load(path);
}

bool PmMemoEx2Util::UpdateRecord(std::size_t /*index*/) {
    m_szLastError = "Palm Desktop 6 databases are not supported yet";
    return false;
}

}  // namespace lazrine::palm
