// The main window's export: which records it writes, the save-file dialog's
// choices, the messages, and that the Palm data is never written.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "support/AppTestFiles.h"
#include "FakeUiServices.h"
#include "app/TfmMain.h"
#include "common/export/MemoTextWriter.h"
#include "support/CsvReader.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

using lazrine::app::TfmMain;
using lazrine::testing::AppTestFiles;
using lazrine::testing::FakeUiServices;
using lazrine::testing::TempDir;
using lazrine::testing::TestMemo;

namespace {

// 1 live, 2 and 3 deleted, 4 archived.
const std::vector<TestMemo> kMemos{
    {1, 0x00, "Live"}, {2, 0x04, "Gift ideas, \"books\"\r\nscarf"}, {3, 0x04, "Caf\xE9"}, {4, 0x80, "Old"}};

struct Fixture {
    TempDir dir;
    std::string ini = dir.File("tamrisk.ini");
    std::string memo = dir.File("memopad.dat");
    std::string out = dir.File("export.txt");
    FakeUiServices ui;
    QStringList offered;
    QString suggested;

    // The dialog answers with `path` and the type at `filter` (-1: none).
    explicit Fixture(int filter = 0, std::string path = {}) {
        AppTestFiles::WriteMemoFile(memo, kMemos);
        AppTestFiles::WriteText(ini, "[Lazrine]\nMemoFile=" + memo + "\n");
        const std::string target = path.empty() ? out : path;
        ui.onSaveFile = [this, filter, target](const QString& proposed, const QStringList& filters, QString& chosen,
                                               QString& type) {
            offered = filters;
            suggested = proposed;
            chosen = QString::fromStdString(target);
            type = filter >= 0 ? filters.at(filter) : QString();
            return true;
        };
    }
};

QPushButton& ExportButton(TfmMain& window) {
    return *window.findChild<QPushButton*>(QStringLiteral("btnMemoExport"));
}

void Check(TfmMain& window, int row) {
    auto& model = window.PageAt(TfmMain::kPageMemo).Model();
    QVERIFY(model.setData(model.index(row, 0), Qt::Checked, Qt::CheckStateRole));
}

}  // namespace

class TfmExportTest : public QObject {
    Q_OBJECT

private slots:
    void buttonStandsBesideUndeleteOnEveryPage() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        for (const char* name : {"btnAddrExport", "btnDateExport", "btnTodoExport", "btnMemoExport"}) {
            auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
            QVERIFY(button != nullptr);
            QCOMPARE(button->text(), QString("&Export…"));
        }
    }

    void checkedRecordsAreWrittenAndCounted() {
        Fixture f;
        const auto before = lazrine::testing::ReadFileBytes(f.memo);
        TfmMain window(f.ini, f.ui);
        Check(window, 0);  // the deleted records 2, 3, 4 are shown; 2 checked
        Check(window, 1);
        ExportButton(window).click();
        QCOMPARE(f.offered, QStringList({"Text (*.txt)", "CSV (*.csv)", "JSON (*.json)"}));
        QVERIFY(f.suggested.endsWith("memos.txt"));
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].error, false);
        QCOMPARE(f.ui.messages[0].text, QString::fromStdString("Palm memopad export successfully, 2 records were "
                                                               "written to " + f.out + "."));
        const std::string sep = std::string("\n") + lazrine::exporting::MemoTextWriter::kSeparator + "\n";
        QCOMPARE(AppTestFiles::ReadText(f.out), "Gift ideas, \"books\"\nscarf" + sep + "Café\n");
        QVERIFY(lazrine::testing::ReadFileBytes(f.memo) == before);
        QVERIFY(f.ui.questions.empty());
    }

    void noneCheckedAsksAndExportsAllShown() {
        Fixture f(1, "");
        TfmMain window(f.ini, f.ui);
        f.ui.answer = false;
        ExportButton(window).click();
        QCOMPARE(f.ui.questions.size(), std::size_t(1));
        QCOMPARE(f.ui.questions[0], QString("No records are checked. Export all 3 shown records?"));
        QVERIFY(f.offered.isEmpty());  // declined: no dialog, nothing written
        QVERIFY(!QFile::exists(QString::fromStdString(f.out)));

        f.ui.answer = true;
        ExportButton(window).click();
        std::vector<std::vector<std::string>> rows;
        std::string error;
        QVERIFY(lazrine::testing::ReadCsv(AppTestFiles::ReadText(f.out), rows, error));
        QCOMPARE(rows.size(), std::size_t(4));  // header and the three deleted memos
    }

    void cancelledDialogWritesNothing() {
        Fixture f;
        f.ui.onSaveFile = nullptr;
        TfmMain window(f.ini, f.ui);
        Check(window, 0);
        ExportButton(window).click();
        QVERIFY(f.ui.messages.empty());
        QVERIFY(!QFile::exists(QString::fromStdString(f.out)));
    }

    // "Find in Backups…" lists what older copies beside the page's file
    // hold and exports the rows from there; the data is never written.
    void backupsButtonListsOtherCopiesAndExportsFromThem() {
        Fixture f;
        const std::filesystem::path folder = f.dir.Path() / "User" / "MemoPad";
        std::filesystem::create_directories(folder);
        const std::string live = (folder / "memopad.dat").string();
        AppTestFiles::WriteMemoFile(live, {{1, 0x00, "Live"}});
        AppTestFiles::WriteMemoFile((folder / "memopad.bak").string(), {{1, 0x00, "Live"}, {7, 0x00, "Only here"}});
        AppTestFiles::WriteText(f.ini, "[Lazrine]\nMemoFile=" + live + "\n");
        const auto before = lazrine::testing::ReadFileBytes(live);
        TfmMain window(f.ini, f.ui);
        int rows = -1;
        f.ui.onExec = [&rows](QDialog& dialog) {
            rows = dialog.findChild<QTreeView*>(QStringLiteral("lvBackups"))->model()->rowCount();
            dialog.findChild<QPushButton*>(QStringLiteral("btnBackupsExport"))->click();
        };
        auto* button = window.findChild<QPushButton*>(QStringLiteral("btnMemoBackups"));
        QVERIFY(button != nullptr);
        QCOMPARE(button->text(), QString("Find in Backups…"));
        button->click();
        QCOMPARE(rows, 1);
        QVERIFY(AppTestFiles::ReadText(f.out).find("Only here") != std::string::npos);
        QVERIFY(lazrine::testing::ReadFileBytes(live) == before);
    }
};

QTEST_MAIN(TfmExportTest)
#include "TfmExportTest.moc"
