#include "support/AppTestFiles.h"

#include <fstream>
#include <sstream>

#include "common/palm/PmMemoInfo.h"
#include "support/PalmFileBuilder.h"

namespace lazrine::testing {

void AppTestFiles::WriteMemoFile(const std::string& path, const std::vector<TestMemo>& memos) {
    MemoFileLayout spec;
    spec.categories = {{1, 1, 0, "Business", "Business"}};
    for (const TestMemo& m : memos) {
        MemoRecordLayout memo;
        memo.id = m.id;
        memo.status = m.status;
        memo.placement = m.id;
        memo.text = m.text;
        spec.memos.push_back(memo);
    }
    WriteFileBytes(path, BuildExtendedMemoFile(spec));
}

std::map<std::uint32_t, std::uint32_t> AppTestFiles::StatusesOnDisk(const std::string& path) {
    palm::PmMemoInfo info;
    info.SetIncludeDeleted(true);
    std::map<std::uint32_t, std::uint32_t> out;
    if (!info.LoadFile(path)) {
        return out;
    }
    for (const palm::PmRecordEntry* e = info.FirstEntry(); e != nullptr; e = info.NextEntry()) {
        out[e->nRecordId] = e->nStatus;
    }
    return out;
}

void AppTestFiles::WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string AppTestFiles::ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> AppTestFiles::SectionLines(const std::string& path, const std::string& section) {
    std::istringstream in(ReadText(path));
    std::vector<std::string> lines;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace lazrine::testing
