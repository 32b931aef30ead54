#include "common/palm/handheld/PmPdbFile.h"

#include <algorithm>

namespace lazrine::palm {
namespace {

// A zero-terminated text in a fixed field; the whole field when it has no zero.
std::string FixedText(std::span<const std::uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return {field.begin(), end};
}

}  // namespace

bool PmPdbFile::Parse(std::span<const std::uint8_t> bytes, std::string& error) {
    *this = PmPdbFile();
    if (bytes.size() < kHeaderSize) {
        error = "shorter than the header of a Palm OS database";
        return false;
    }
    m_Bytes = bytes;
    m_szName = FixedText(bytes.first(32));
    m_nAttributes = ReadU16(bytes, 32);
    const std::uint32_t appInfo = ReadU32(bytes, 52);
    const std::uint32_t sortInfo = ReadU32(bytes, 56);
    m_szType.assign(bytes.begin() + 60, bytes.begin() + 64);
    m_szCreator.assign(bytes.begin() + 64, bytes.begin() + 68);
    const std::uint32_t nextList = ReadU32(bytes, 72);
    const std::size_t count = ReadU16(bytes, 76);
    if ((m_nAttributes & kDbResource) != 0) {
        error = "a resource database, which holds no records";
        return false;
    }
    if (nextList != 0) {
        error = "its record list continues in a second list, which is not read";
        return false;
    }
    if (kHeaderSize + count * kEntrySize > bytes.size()) {
        error = "the record list of " + std::to_string(count) + " records is longer than the file";
        return false;
    }
    const std::size_t listEnd = kHeaderSize + count * kEntrySize;
    m_Records.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + i * kEntrySize;
        Record& record = m_Records[i];
        record.nOffset = ReadU32(bytes, at);
        record.nAttributes = bytes[at + 4];
        record.nUniqueId = static_cast<std::uint32_t>(bytes[at + 5]) << 16 |
                           static_cast<std::uint32_t>(bytes[at + 6]) << 8 | bytes[at + 7];
        if (record.nOffset < listEnd || record.nOffset > bytes.size()) {
            error = "record " + std::to_string(i + 1) + " lies outside the file";
            *this = PmPdbFile();
            return false;
        }
    }
    // A record ends where the next record in the list begins (two records
    // at one offset: the first has no data), else, for a list out of file
    // order, where the next data in the file begins; the last at the end.
    std::vector<std::size_t> starts;
    starts.reserve(count);
    for (const Record& record : m_Records) {
        starts.push_back(record.nOffset);
    }
    const bool inOrder = std::is_sorted(starts.begin(), starts.end());
    std::sort(starts.begin(), starts.end());
    for (std::size_t i = 0; i < count; ++i) {
        Record& record = m_Records[i];
        std::size_t end = bytes.size();
        if (inOrder && i + 1 < count) {
            end = m_Records[i + 1].nOffset;
        } else if (!inOrder) {
            const auto next = std::upper_bound(starts.begin(), starts.end(), record.nOffset);
            end = next == starts.end() ? bytes.size() : *next;
        }
        record.nSize = end - record.nOffset;
    }
    if (appInfo != 0) {
        if (appInfo < listEnd || appInfo > bytes.size()) {
            error = "the application info block lies outside the file";
            *this = PmPdbFile();
            return false;
        }
        std::size_t end = bytes.size();
        if (sortInfo > appInfo && sortInfo < end) {
            end = sortInfo;
        }
        if (!starts.empty() && starts.front() > appInfo) {
            end = std::min(end, starts.front());
        }
        m_AppInfo = bytes.subspan(appInfo, end - appInfo);
    }
    return true;
}

bool PmPdbFile::ReadCategories(Categories& out) const {
    // A u16 of renamed categories, 16 names of 16 bytes, 16 ids.
    constexpr std::size_t kSize = 2 + kCategoryCount * kCategoryNameSize + kCategoryCount;
    if (m_AppInfo.size() < kSize) {
        return false;
    }
    for (std::size_t i = 0; i < kCategoryCount; ++i) {
        out.names[i] = FixedText(m_AppInfo.subspan(2 + i * kCategoryNameSize, kCategoryNameSize));
        out.ids[i] = m_AppInfo[2 + kCategoryCount * kCategoryNameSize + i];
    }
    return true;
}

}  // namespace lazrine::palm
