#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::testing {

// Builds Palm OS record databases (.pdb) byte by byte, big-endian, from
// their documented layout, independently of the reader under test.
struct PdbRecordLayout {
    std::uint8_t attributes = 0;
    std::uint32_t uniqueId = 0;
    std::vector<std::uint8_t> data;
};

struct PdbLayout {
    std::string name = "MemoDB";
    std::uint16_t attributes = 0x0008;  // backup
    std::string type = "DATA";
    std::string creator = "memo";
    std::uint32_t nextRecordList = 0;
    // The standard category block (renamed flags, 16 names, 16 ids, last id)
    // followed by `appInfoTail`; none when `withAppInfo` is false.
    bool withAppInfo = true;
    std::vector<std::string> categories{"Unfiled", "Business", "Personal"};
    std::vector<std::uint8_t> appInfoTail;
    std::vector<PdbRecordLayout> records;
};

std::vector<std::uint8_t> BuildPdb(const PdbLayout& layout);

// Record bytes of the four applications.
std::vector<std::uint8_t> PdbText(const std::string& text);  // with its zero
std::vector<std::uint8_t> PdbTodo(std::uint16_t due, std::uint8_t priority, const std::string& description,
                                  const std::string& note);
std::vector<std::uint8_t> PdbContact(std::uint32_t options, const std::vector<std::pair<int, std::string>>& fields);

}  // namespace lazrine::testing
