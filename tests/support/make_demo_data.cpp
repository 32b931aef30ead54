// Writes the demo Palm Desktop user folder that the README's first command
// shows: <folder>/memopad/memopad.dat, an extended memo file with live and
// deleted memos.
#include <filesystem>
#include <iostream>

#include "support/PalmFileBuilder.h"

using namespace lazrine::testing;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: lazrine-make-demo-data <user folder>\n";
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "memopad";
    std::filesystem::create_directories(folder);

    MemoFileLayout spec;
    spec.recordedName = "C:\\Program Files\\Palm\\DemoUser\\memopad\\memopad.dat";
    spec.headerBlock[12] = 7;
    spec.headerBlock[13] = 0x10;
    spec.categories = {{1, 1, 0, "Business", "Business"}, {2, 2, 0, "Personal", "Personal"}};
    const auto memo = [](std::uint32_t id, std::uint32_t status, std::uint32_t category, std::string text) {
        MemoRecordLayout m;
        m.id = id;
        m.status = status;
        m.placement = id;
        m.category = category;
        m.text = std::move(text);
        return m;
    };
    spec.memos = {
        memo(8388609, 0x00, 1, "Quarterly report\r\nDue Friday, send to Anna."),
        memo(8388610, 0x04, 2, "Gift ideas\r\nBook for Dad, scarf for Mum, caf\xe9 voucher."),
        memo(8388611, 0x01, 2, "Gate code 4711"),
        memo(8388612, 0x80, 1, "Archived: 2008 tax papers are in the blue folder."),
        memo(8388613, 0x84, 0, "Old locker combination 12-34-56"),
        memo(8388614, 0x02, 0, "Shopping list\r\nmilk, bread, apples"),
        memo(8388615, 0x06, 1, "Call the plumber about the kitchen tap."),
    };
    WriteFileBytes((folder / "memopad.dat").string(), BuildExtendedMemoFile(spec));
    std::cout << "wrote " << (folder / "memopad.dat").string() << "\n";
    return 0;
}
