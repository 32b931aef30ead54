// Writes the seed corpus of every fuzz target, built from the independent
// test-file builder, into <folder>/<target>/.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/PalmFileBuilder.h"

namespace {

using lazrine::testing::BlobSpec;
using lazrine::testing::CategorySpec;
using lazrine::testing::MemoFileSpec;
using lazrine::testing::MemoSpec;
using lazrine::testing::PalmFileBuilder;
using Bytes = std::vector<std::uint8_t>;

std::vector<MemoFileSpec> MemoFiles() {
    std::vector<MemoFileSpec> files;
    files.emplace_back();  // no records, no categories

    MemoFileSpec one;
    one.categories = {{1, 1, 0, "Business", "Business"}, {5, 7, 1, "Work/Home", "x"}};
    one.memos.push_back({.id = 1, .status = 0x04, .category = 7, .text = "Milk\r\n\"eggs\"\r\n\xE9t\xE9"});
    files.push_back(one);

    MemoFileSpec blobs = one;
    MemoSpec m;
    m.id = 2;
    m.status = 0x80;
    m.priv = 1;
    m.text = std::string(300, 'x');
    m.extraTextA = "a";
    m.extraTextB = "b";
    m.blobs = {BlobSpec{64, 0, 0, 0, {}}, BlobSpec{65, 2, 9, 8, {1, 2, 3}}, BlobSpec{66, 1, 0, 0, {}},
               BlobSpec{67, 5, 0, 0, {9, 8, 7, 6, 5}}};
    blobs.memos.push_back(m);
    m.id = 3;
    m.status = 0x01;
    m.intTag = 3;
    m.text = std::string(254, '\xFF');
    blobs.memos.push_back(m);
    files.push_back(blobs);

    MemoFileSpec odd = blobs;
    odd.overrideEntryCount = true;
    odd.entryCount = 13;
    odd.fieldsPerRecord = 6;
    files.push_back(odd);

    MemoFileSpec full;
    for (std::uint32_t i = 1; i <= 15; ++i) {
        full.categories.push_back({i, 100 + i, i % 2, "Cat" + std::to_string(i), ""});
    }
    full.memos.push_back({.id = 9, .category = 105, .text = std::string(9000, 'q')});
    files.push_back(full);
    return files;
}

Bytes CategorySection(const MemoFileSpec& spec) {
    PalmFileBuilder b;
    b.U32(spec.nextCategoryId).U32(static_cast<std::uint32_t>(spec.categories.size()));
    for (const CategorySpec& c : spec.categories) {
        b.U32(c.index).U32(c.id).U32(c.dirty).CString(c.name).CString(c.second);
    }
    return b.Bytes();
}

void Write(const std::filesystem::path& folder, const std::string& target, int n, const Bytes& bytes) {
    std::filesystem::create_directories(folder / target);
    lazrine::testing::WriteFileBytes((folder / target / ("seed-" + std::to_string(n))).string(), bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    int n = 0;
    for (const MemoFileSpec& spec : MemoFiles()) {
        ++n;
        const Bytes extended = lazrine::testing::BuildExtendedMemoFile(spec);
        Write(folder, "extended_memo", n, extended);
        Write(folder, "classic_memo", n, lazrine::testing::BuildClassicMemoFile(spec));
        Write(folder, "category_section", n, CategorySection(spec));
        // A read program over the first bytes of a file: a few primitives,
        // then the typed fields of a record.
        Bytes program = {12, 2, 0, 0, 0, 6, 0x36, 0x49, 0x05, 11, 9, 7, 8, 12};
        program[0] = static_cast<std::uint8_t>(program.size() - 1);
        program.insert(program.end(), extended.begin(), extended.end());
        Write(folder, "record_primitives", n, program);
    }
    return 0;
}
