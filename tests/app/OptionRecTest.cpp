// The settings file: defaults, read semantics, write order and formats, and
// that everything else in the file survives the window's shut-down.
#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <QtTest>

#include "AppTestFiles.h"
#include "FakeUiServices.h"
#include "session/OptionRec.h"
#include "app/TfmMain.h"
#include "platform/ProfileFile.h"
#include "support/TempDir.h"

using lazrine::session::OptionRec;
using lazrine::app::TfmMain;
using lazrine::testing::AppTestFiles;
using lazrine::testing::FakeUiServices;
using lazrine::testing::TempDir;

class OptionRecTest : public QObject {
    Q_OBJECT

private slots:
    void missingFileGivesDefaults() {
        TempDir dir;
        const OptionRec rec = OptionRec::Read(dir.File("none.ini"));
        QCOMPARE(rec.nUserId, 0u);
        QCOMPARE(int(rec.bAll[0] + rec.bAll[1] + rec.bAll[2] + rec.bAll[3]), 0);
        QCOMPARE(int(rec.bQuitRemind), 1);
        QVERIFY(rec.szFile[0].empty() && rec.szFile[1].empty() && rec.szFile[2].empty() && rec.szFile[3].empty());
    }

    void readsCaseInsensitivelyAndNormalisesFlags() {
        TempDir dir;
        const std::string ini = dir.File("t.ini");
        AppTestFiles::WriteText(ini,
                                "[lazrine]\nuserid=-2\nADDRALL=7\nDateAll=0\nTodoAll=x\nMemoAll=-1\n"
                                "QuitRemind=0\nMemoFile=C:\\data\\memopad.dat\n");
        const OptionRec rec = OptionRec::Read(ini);
        QCOMPARE(rec.nUserId, 0xFFFFFFFEu);
        QCOMPARE(int(rec.bAll[0]), 1);
        QCOMPARE(int(rec.bAll[1]), 0);
        QCOMPARE(int(rec.bAll[2]), 0);
        QCOMPARE(int(rec.bAll[3]), 1);
        QCOMPARE(int(rec.bQuitRemind), 0);
        QCOMPARE(rec.szFile[3], std::string("C:\\data\\memopad.dat"));
    }

    // A name longer than 259 characters is read whole: cut, it would name
    // another file or none.
    void longFileNameIsReadWhole() {
        TempDir dir;
        const std::string ini = dir.File("t.ini");
        const std::string name = "/" + std::string(100, 'd') + "/" + std::string(200, 'f') + "/todo.dat";
        AppTestFiles::WriteText(ini, "[Lazrine]\nTodoFile=" + name + "\n");
        QCOMPARE(OptionRec::Read(ini).szFile[2], name);
    }

    // Only names without control characters are kept: written to the file,
    // a line break would read back as keys of its own.
    void namesWithControlCharactersAreNotStorable() {
        const struct {
            const char* name;
            bool storable;
        } cases[] = {
            {"/tmp/memopad.dat", true},
            {"C:\\Palm\\Caf\xe9\\memopad.dat", true},
            {"/tmp/a\n[Path]\nPDPath=/evil", false},
            {"/tmp/a\r", false},
            {"/tmp/a\tb", false},
            {"/tmp/a\x7f", false},
        };
        for (const auto& c : cases) {
            QCOMPARE(OptionRec::IsStorableFileName(c.name), c.storable);
        }
        // The settings file refuses such a name rather than inject keys.
        TempDir dir;
        const std::string ini = dir.File("t.ini");
        OptionRec rec;
        rec.szFile[3] = "/tmp/a\n[Path]\nPDPath=/evil";
        QVERIFY(!rec.Write(ini));
        QCOMPARE(lazrine::platform::ProfileFile::ReadString(ini, "Path", "PDPath", "none"), std::string("none"));
    }

    void writesKeysInOrderWithTheirFormats() {
        TempDir dir;
        const std::string ini = dir.File("t.ini");
        OptionRec rec;
        rec.nUserId = 0x80000001u;
        rec.bAll[1] = 1;
        rec.szFile[3] = "/tmp/memopad.dat";
        rec.bQuitRemind = 1;
        QVERIFY(rec.Write(ini));
        const std::vector<std::string> expected{
            "UserID=-2147483647", "AddrAll=0", "DateAll=1", "TodoAll=0",  "MemoAll=0",
            "AddrFile=",          "DateFile=", "TodoFile=", "MemoFile=/tmp/memopad.dat", "QuitRemind=1"};
        QCOMPARE(AppTestFiles::SectionLines(ini, "Lazrine"), expected);
        const OptionRec back = OptionRec::Read(ini);
        QCOMPARE(back.nUserId, rec.nUserId);
        QCOMPARE(int(back.bAll[1]), 1);
        QCOMPARE(back.szFile[3], rec.szFile[3]);
    }

    // A run that changes nothing writes back what it read, and leaves every
    // other section and key of the file alone.
    void windowRoundTripKeepsOtherSettings() {
        TempDir dir;
        const std::string ini = dir.File("tamrisk.ini");
        AppTestFiles::WriteText(ini,
                                "[Path]\nPDPath=C:\\Palm\n\n[Lazrine]\nUserID=4294967295\nTodoAll=3\n"
                                "Extra=kept\nQuitRemind=0\nAddrFile=/nowhere/address.dat\n\n"
                                "[ContactMirror]\nSwapName=1\n");
        {
            FakeUiServices ui;
            TfmMain window(ini, ui);
        }
        QCOMPARE(AppTestFiles::SectionLines(ini, "Path"), std::vector<std::string>{"PDPath=C:\\Palm"});
        QCOMPARE(AppTestFiles::SectionLines(ini, "ContactMirror"), std::vector<std::string>{"SwapName=1"});
        const std::vector<std::string> lazrine = AppTestFiles::SectionLines(ini, "Lazrine");
        QVERIFY(std::find(lazrine.begin(), lazrine.end(), "Extra=kept") != lazrine.end());
        QVERIFY(std::find(lazrine.begin(), lazrine.end(), "UserID=-1") != lazrine.end());
        QVERIFY(std::find(lazrine.begin(), lazrine.end(), "TodoAll=1") != lazrine.end());
        QVERIFY(std::find(lazrine.begin(), lazrine.end(), "QuitRemind=0") != lazrine.end());
        QVERIFY(std::find(lazrine.begin(), lazrine.end(), "AddrFile=/nowhere/address.dat") != lazrine.end());

        // A second run reads what the first one wrote and writes it again.
        const std::string first = AppTestFiles::ReadText(ini);
        {
            FakeUiServices ui;
            TfmMain window(ini, ui);
        }
        QCOMPARE(AppTestFiles::ReadText(ini), first);
    }

    void windowWritesFreshFileOnce() {
        TempDir dir;
        const std::string ini = dir.File("tamrisk.ini");
        {
            FakeUiServices ui;
            TfmMain window(ini, ui);
            // Nothing is written while the window lives.
            QVERIFY(!std::filesystem::exists(ini));
        }
        const std::vector<std::string> expected{"UserID=0",  "AddrAll=0",  "DateAll=0", "TodoAll=0", "MemoAll=0",
                                                "AddrFile=", "DateFile=", "TodoFile=", "MemoFile=", "QuitRemind=1"};
        QCOMPARE(AppTestFiles::SectionLines(ini, "Lazrine"), expected);
    }
};

QTEST_MAIN(OptionRecTest)
#include "OptionRecTest.moc"
