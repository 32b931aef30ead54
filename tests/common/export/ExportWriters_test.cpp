// The hand-written parts of the exports on their own: vCard escaping and
// folding, CSV quoting, memo file names, and what a failed export leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/export/CsvWriter.h"
#include "common/export/ExportStreamSink.h"
#include "common/export/MemoFileNamer.h"
#include "common/export/RecordExporter.h"
#include "common/export/VCardWriter.h"
#include "common/palm/PmRecordSetFactory.h"
#include "support/FaultInjectingFileIo.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"
#include "support/VCardReader.h"

namespace lazrine::exporting {
namespace {

using namespace lazrine::testing;

// Every physical line of a folded text fits 75 octets, never starts inside
// a UTF-8 character, and unfolds to the original.
TEST(VCardWriter, FoldsAt75OctetsOnCharacterBoundaries) {
    const std::string euro = "\xE2\x82\xAC";  // three octets
    const std::vector<std::string> lines{
        "NOTE:" + std::string(70, 'a'),                // exactly 75
        "NOTE:" + std::string(71, 'a'),                // one over
        "NOTE:" + std::string(69, 'a') + euro,         // the euro would straddle 75
        "NOTE:" + [&] { std::string s; for (int i = 0; i < 200; ++i) s += euro; return s; }(),
        "NOTE:" + std::string(9000, 'x'),
    };
    for (const std::string& line : lines) {
        const std::string folded = VCardWriter::Fold(line);
        std::string unfolded;
        std::size_t at = 0;
        bool first = true;
        while (at < folded.size()) {
            const auto end = folded.find("\r\n", at);
            ASSERT_NE(end, std::string::npos);
            const std::string physical = folded.substr(at, end - at);
            EXPECT_LE(physical.size(), VCardWriter::kLineOctets);
            if (!first) {
                ASSERT_EQ(physical[0], ' ');
                EXPECT_NE(static_cast<unsigned char>(physical[1]) & 0xC0, 0x80);
            }
            unfolded += first ? physical : physical.substr(1);
            first = false;
            at = end + 2;
        }
        EXPECT_EQ(unfolded, line);
    }
    EXPECT_EQ(VCardWriter::Fold("NOTE:" + std::string(70, 'a')).find("\r\n "), std::string::npos);
}

TEST(VCardWriter, EscapesWhatVCardReservesAndDropsWhatItCannotCarry) {
    struct Case {
        std::string in;
        std::string out;
    };
    for (const Case& c : std::vector<Case>{{"a,b;c\\d", "a\\,b\\;c\\\\d"},
                                            {"one\r\ntwo\rthree\nfour", "one\\ntwo\\nthree\\nfour"},
                                            {std::string("nul\0bell\a tab\t", 15), "nulbell tab\t"},
                                            {"caf\xC3\xA9", "caf\xC3\xA9"}}) {
        EXPECT_EQ(VCardWriter::EscapeText(c.in), c.out) << c.in;
        EXPECT_EQ(VCardReader::Unescape(VCardWriter::EscapeText(c.in)).find('\r'), std::string::npos);
    }
}

TEST(CsvWriter, QuotesOnlyWhatNeedsIt) {
    struct Case {
        std::string in;
        std::string out;
    };
    for (const Case& c : std::vector<Case>{{"plain", "plain"},
                                            {"", ""},
                                            {"a,b", "\"a,b\""},
                                            {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                            {"two\r\nlines", "\"two\r\nlines\""},
                                            {"lone\nlf", "\"lone\nlf\""},
                                            {" padded ", "\" padded \""},
                                            {"caf\xC3\xA9;x", "caf\xC3\xA9;x"}}) {
        EXPECT_EQ(CsvWriter::Field(c.in), c.out) << c.in;
    }
}

TEST(MemoFileNamer, NamesAreSafeAndNeverRepeat) {
    struct Case {
        std::string text;
        std::string name;
    };
    std::set<std::string> existing{"taken.txt"};
    MemoFileNamer namer([&existing](const std::string& name) { return existing.count(name) != 0; });
    for (const Case& c : std::vector<Case>{
             {"Shopping\r\nmilk", "Shopping.txt"},
             {"shopping", "shopping (2).txt"},  // case-insensitive file systems
             {"Shopping", "Shopping (3).txt"},
             {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j.txt"},
             {"../../etc/passwd", "_.._etc_passwd.txt"},
             {"...", "Memo.txt"},
             {"", "Memo (2).txt"},
             {"  trailing dots.. ", "trailing dots.txt"},
             {"CON", "_CON.txt"},
             {"lpt1.notes", "_lpt1.notes.txt"},
             {"COM10", "COM10.txt"},
             {"taken", "taken (2).txt"},
             {"tab\there", "tab_here.txt"},
             {std::string(98, 'a') + "\xC3\xA9\xC3\xA9", std::string(98, 'a') + "\xC3\xA9.txt"},
         }) {
        EXPECT_EQ(namer.Next(c.text), c.name) << c.text;
    }
}

class ExportFileTest : public TempDirTest {};

// A failure at any step of writing the output leaves no file at the target
// (or the earlier one unchanged) and no temporary file beside it.
TEST_F(ExportFileTest, AFailedExportLeavesNothingBehind) {
    MemoFileLayout spec;
    for (std::uint32_t i = 1; i <= 3000; ++i) {
        spec.memos.push_back(MakeMemo(i, 0x04, "memo " + std::to_string(i) + std::string(100, 'x')));
    }
    auto set = palm::PmRecordSetFactory::Create("memos");
    set->SetIncludeDeleted(true);
    ASSERT_TRUE(set->LoadFile(Put(BuildExtendedMemoFile(spec))));
    std::vector<std::size_t> rows(set->CommonCount());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    for (const bool earlier : {false, true}) {
        const std::string out = dir.File(earlier ? "earlier.csv" : "new.csv");
        if (earlier) {
            WriteFileBytes(out, {'o', 'l', 'd'});
        }
        FaultInjectingFileIo io;
        std::size_t steps = 0;
        {
            ScopedFileIo scope(io);
            io.Arm(0);
            std::string error;
            ASSERT_TRUE(RecordExporter(*set, ExportFormat::kCsv).WriteFile(rows, dir.File("probe.csv"), error)) << error;
            steps = io.Steps();
        }
        ASSERT_GT(steps, 3u);
        for (std::size_t failAt = 1; failAt <= steps; ++failAt) {
            ScopedFileIo scope(io);
            io.Arm(failAt, failAt % 2 == 0 ? FaultInjectingFileIo::Fault::kDiskFull : FaultInjectingFileIo::Fault::kError);
            std::string error;
            RecordExporter exporter(*set, ExportFormat::kCsv);
            const bool ok = exporter.WriteFile(rows, out, error);
            if (!ok && exporter.OutputInPlace()) {
                // Only the folder flush after the rename failed: the new
                // file is whole.
                EXPECT_GT(ReadFileBytes(out).size(), 3000u * 100) << failAt;
                WriteFileBytes(out, {'o', 'l', 'd'});
                if (!earlier) {
                    std::filesystem::remove(out);
                }
            } else if (!ok) {
                EXPECT_FALSE(error.empty());
                if (earlier) {
                    EXPECT_EQ(ReadFileBytes(out), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << failAt;
                } else {
                    EXPECT_FALSE(std::filesystem::exists(out)) << failAt;
                }
            }
            EXPECT_FALSE(std::filesystem::exists(out + ".lazrine-new")) << failAt;
            EXPECT_FALSE(std::filesystem::exists(out + ".lazrine.bak")) << failAt;
            if (ok && !earlier) {
                std::filesystem::remove(out);
            }
            if (ok && earlier) {
                WriteFileBytes(out, {'o', 'l', 'd'});
            }
        }
    }
}

// Every generation of every kind is recognised by its first bytes and never
// replaced by an export; other files are.
TEST_F(ExportFileTest, PalmDataFilesAreRecognisedByTheirHead) {
    struct Case {
        std::string path;
        bool palm;
    };
    const std::vector<Case> cases{
        {Put(BuildExtendedMemoFile({}), "m1.dat"), true},
        {Put(BuildClassicMemoFile({}), "m2.dat"), true},
        {Put(BuildExtendedTodoFile({}), "t1.dat"), true},
        {Put(BuildClassicTodoFile({}), "t2.dat"), true},
        {Put(BuildExtendedDateFile({}), "d1.dat"), true},
        {Put(BuildClassicDateFile({}), "d2.dat"), true},
        {Put(BuildExtendedAddressFile({}), "a1.dat"), true},
        {Put(BuildClassicAddressFile({}), "a2.dat"), true},
        {TestDataCopy("mdb/MemoPad.mdb"), true},
        {Put({'B', 'E', 'G', 'I', 'N'}, "x.ics"), false},
        {Put({}, "empty.csv"), false},
        {dir.File("missing.csv"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordExporter::IsPalmDataFile(c.path), c.palm) << c.path;
    }
}

}  // namespace
}  // namespace lazrine::exporting
