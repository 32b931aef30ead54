#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lazrine::testing {

struct TestMemo {
    std::uint32_t id = 0;
    std::uint32_t status = 0;
    std::string text;
};

// Files the window tests start from and look at afterwards.
class AppTestFiles {
public:
    // Writes an extended memo file holding `memos`, in this order.
    static void WriteMemoFile(const std::string& path, const std::vector<TestMemo>& memos);
    // Status word by record id, as a fresh memo record set reads the file.
    static std::map<std::uint32_t, std::uint32_t> StatusesOnDisk(const std::string& path);
    static void WriteText(const std::string& path, const std::string& text);
    static std::string ReadText(const std::string& path);
    // The "key=value" lines of one section, in file order.
    static std::vector<std::string> SectionLines(const std::string& path, const std::string& section);
};

}  // namespace lazrine::testing
