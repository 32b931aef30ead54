// The main window, driven headless through its controls, on memo files
// built for each test.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QtTest>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "support/AppTestFiles.h"
#include "ChildControl.h"
#include "FakeUiServices.h"
#include "app/TfmMain.h"
#include "common/palm/PmDateUtil.h"
#include "platform/LocalClock.h"
#include "support/FakeWinePrefix.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

using lazrine::app::TfmMain;
using lazrine::testing::AppTestFiles;
using lazrine::testing::Child;
using lazrine::testing::FakeUiServices;
using lazrine::testing::TempDir;
using lazrine::testing::TestMemo;

namespace {

// Ids 1..7: 1 live, 2 deleted, 3 undeleted before, 4 archived, 5 deleted and
// archived, 6 live, 7 deleted.
const std::vector<TestMemo> kMemos{
    {1, 0x00, "Quarterly report\r\nDue Friday"}, {2, 0x04, "Gift ideas\r\nBook"}, {3, 0x01, "Gate code"},
    {4, 0x80, "Archived tax papers"},          {5, 0x84, "Locker 12-34-56"},    {6, 0x02, "Shopping"},
    {7, 0x06, "Call the plumber"},
};
const std::vector<std::uint32_t> kDeletedIds{2, 4, 5, 7};

// A settings file and a memo file in a fresh folder; the settings name the
// memo file.
struct Fixture {
    TempDir dir;
    std::string ini = dir.File("tamrisk.ini");
    std::string memo = dir.File("memopad.dat");
    FakeUiServices ui;

    explicit Fixture(const std::string& extraSettings = "", const std::vector<TestMemo>& memos = kMemos) {
        AppTestFiles::WriteMemoFile(memo, memos);
        AppTestFiles::WriteText(ini, "[Lazrine]\nMemoFile=" + memo + "\n" + extraSettings);
    }
};

QAbstractItemModel& ListOf(TfmMain& window, const char* name) { return *Child<QTreeView>(window, name).model(); }

std::vector<std::uint32_t> ListedIds(TfmMain& window) {
    std::vector<std::uint32_t> ids;
    for (const std::size_t record : window.PageAt(TfmMain::kPageMemo).Model().ShownRecords()) {
        ids.push_back(window.RecordSetOf(TfmMain::kPageMemo)->CommonAt(record).nId);
    }
    return ids;
}

void Check(QAbstractItemModel& model, int row) { QVERIFY(model.setData(model.index(row, 0), Qt::Checked, Qt::CheckStateRole)); }

}  // namespace

class TfmMainTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsThePageTable() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        QCOMPARE(window.windowTitle(), QString("Lazrine Utility"));
        QCOMPARE(window.size(), QSize(794, 594));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QStringList labels;
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            labels << label->text();
        }
        QVERIFY(labels.contains("Select Palm Desktop User:"));
        QVERIFY(labels.contains("Show:"));
        auto& tabs = Child<QTabWidget>(window, "spMain");
        const QStringList captions{"Contact ( Address Book )", "Calendar ( Date Book )", "Task ( Todo List )",
                                   "Note ( Memo Pad )"};
        QCOMPARE(tabs.count(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(tabs.tabText(i), captions[i]);
        }
        QCOMPARE(tabs.currentIndex(), 3);

        const std::vector<std::pair<const char*, QStringList>> columns{
            {"lvAddr",
             {"First Name", "Last Name", "Email Address", "Work Phone", "Mobile Phone", "Home Phone", "Company",
              "Title"}},
            {"lvDate", {"Description", "Date", "Start Time", "End Time"}},
            {"lvTodo", {"Description", "Due Date", "Completed", "Priority"}},
            {"lvMemo", {"Memo"}}};
        const std::vector<std::vector<int>> widths{
            {100, 100, 160, 100, 100, 100, 100, 100}, {240, 80, 100, 100}, {240, 120, 70, 70}, {700}};
        for (std::size_t p = 0; p < columns.size(); ++p) {
            auto& view = Child<QTreeView>(window, columns[p].first);
            QCOMPARE(view.model()->columnCount(), columns[p].second.size());
            for (int c = 0; c < columns[p].second.size(); ++c) {
                QCOMPARE(view.model()->headerData(c, Qt::Horizontal).toString(), columns[p].second[c]);
                QCOMPARE(view.header()->sectionSize(c), widths[p][static_cast<std::size_t>(c)]);
            }
            QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        }
        QVERIFY(!Child<QComboBox>(window, "cmbUser").isEditable());
        QCOMPARE(Child<QPushButton>(window, "btnOption").text(), QString("..."));
        QCOMPARE(Child<QPushButton>(window, "btnHelp").text(), QString("&Help"));
        QCOMPARE(Child<QPushButton>(window, "btnExit").text(), QString("E&xit"));
        QCOMPARE(Child<QPushButton>(window, "btnMemoSel").text(), QString("&Select All"));
        QCOMPARE(Child<QPushButton>(window, "btnMemoClear").text(), QString("&Clear"));
        QCOMPARE(Child<QPushButton>(window, "btnMemoUnDel").text(), QString("&Undelete"));
        QCOMPARE(Child<QRadioButton>(window, "rbtnAddrDel").text(), QString("Deleted Records"));
        QCOMPARE(Child<QRadioButton>(window, "rbtnAddrAll").text(), QString("All Records"));
        QVERIFY(Child<QLabel>(window, "lnkTodoWeb").text().contains("Visit Lazrine Web Site"));
    }

    void memoAllDisablesUndeleteUntilDeletedIsChosen() {
        Fixture f("MemoAll=1\n");
        {
            TfmMain window(f.ini, f.ui);
            QVERIFY(Child<QRadioButton>(window, "rbtnMemoAll").isChecked());
            QVERIFY(!Child<QPushButton>(window, "btnMemoUnDel").isEnabled());
            QCOMPARE(ListOf(window, "lvMemo").rowCount(), int(kMemos.size()));
            // Other pages keep their "Deleted Records" setting.
            QVERIFY(Child<QPushButton>(window, "btnAddrUnDel").isEnabled());

            Child<QRadioButton>(window, "rbtnMemoDel").click();
            QVERIFY(Child<QPushButton>(window, "btnMemoUnDel").isEnabled());
            QCOMPARE(ListedIds(window), kDeletedIds);
        }
        QVERIFY(AppTestFiles::ReadText(f.ini).find("MemoAll=0") != std::string::npos);
    }

    void nothingCheckedShowsMessageAndChangesNothing() {
        Fixture f;
        const std::string before = AppTestFiles::ReadText(f.memo);
        TfmMain window(f.ini, f.ui);
        Child<QPushButton>(window, "btnMemoUnDel").click();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].error, false);
        QCOMPARE(f.ui.messages[0].caption, QString("Information"));
        QCOMPARE(f.ui.messages[0].text, QString("No Palm memopad records are selected, undelete action canceled."));
        QCOMPARE(ListedIds(window), kDeletedIds);
        QCOMPARE(AppTestFiles::ReadText(f.memo), before);
    }

    void threeCheckedNotesAreUndeletedAndWritten() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvMemo");
        // Rows 0, 1 and 3: ids 2, 4 and 7; id 5 stays deleted.
        Check(model, 0);
        Check(model, 1);
        Check(model, 3);
        // The list is refilled only after the message is closed.
        std::size_t rowsWhileShown = 0;
        f.ui.onMessage = [&](const FakeUiServices::Message&) { rowsWhileShown = static_cast<std::size_t>(model.rowCount()); };
        Child<QPushButton>(window, "btnMemoUnDel").click();

        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].caption, QString("Information"));
        QCOMPARE(f.ui.messages[0].text, QString("Palm memopad undelete successfully, 3 records were undeleted."));
        QCOMPARE(rowsWhileShown, std::size_t(4));
        QCOMPARE(ListedIds(window), std::vector<std::uint32_t>{5});

        QCOMPARE(AppTestFiles::StatusesOnDisk(f.memo).at(7), 0x03u);
    }

    // The contact page on a database with UTF-8 texts and on a file read
    // with the settings file's name order.
    void contactPageListsEightColumnsAndUndeletes() {
        Fixture f;
        const std::string db = f.dir.File("Address.mdb");
        lazrine::testing::WriteFileBytes(
            db, lazrine::testing::ReadFileBytes(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/Address.mdb"));
        AppTestFiles::WriteText(f.ini, "[Lazrine]\nMemoFile=" + f.memo + "\nAddrFile=" + db + "\n");
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvAddr");
        QCOMPARE(model.rowCount(), 10);
        // Rows in table order: 4010 Sean O'Brien first, 4024 Renée Müller ninth.
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("sean.obrien@example.com"));
        QCOMPARE(model.data(model.index(8, 6)).toString(), QString::fromUtf8("Café Müller € 漢"));
        Check(model, 0);
        Check(model, 9);  // 4025, a contact known only by its company
        Child<QPushButton>(window, "btnAddrUnDel").click();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, QString("Palm address book undelete successfully, 2 records were undeleted."));
        QCOMPARE(model.rowCount(), 8);
    }

    // A date book file named in the settings fills the calendar page, and
    // checked appointments are undeleted into that file.
    void calendarPageListsAndUndeletesADateBookFile() {
        lazrine::platform::LocalClock::UseTimeZone("UTC");
        TempDir other;
        const std::string dates = other.File("datebook.dat");
        lazrine::testing::WriteFileBytes(dates,
                                         lazrine::testing::BuildClassicDateFile(lazrine::testing::RichDateFileLayout()));
        Fixture f("DateFile=" + dates + "\n");
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvDate");
        QCOMPARE(model.rowCount(), 7);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("Repeat kind 1"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("05/05/2009"));
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("09:30:00"));
        QCOMPARE(model.data(model.index(0, 3)).toString(), QString("10:15:00"));
        QCOMPARE(model.data(model.index(6, 1)).toString(), QString("00/00/0000"));  // no time
        Check(model, 0);
        Check(model, 6);
        Child<QPushButton>(window, "btnDateUnDel").click();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, QString("Palm date book undelete successfully, 2 records were undeleted."));
        QCOMPARE(model.rowCount(), 5);
        lazrine::palm::PmDateUtil disk(dates);
        QVERIFY(disk.IsLoaded());
        QCOMPARE(disk.GetDataMgr().At(1).nStatus, 0x01u);   // id 101, was 0x84
        QCOMPARE(disk.GetDataMgr().At(10).nStatus, 0x01u);  // id 150, no time, was 0x04
        QCOMPARE(disk.GetDataMgr().At(3).nStatus, 0x84u);
        lazrine::platform::LocalClock::UseTimeZone("");
    }

    void selectAllAndClear() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvMemo");
        Child<QPushButton>(window, "btnMemoSel").click();
        for (int row = 0; row < model.rowCount(); ++row) {
            QCOMPARE(model.data(model.index(row, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        }
        Child<QPushButton>(window, "btnMemoClear").click();
        for (int row = 0; row < model.rowCount(); ++row) {
            QCOMPARE(model.data(model.index(row, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        }
        // Select All then Undelete brings back every deleted note.
        Child<QPushButton>(window, "btnMemoSel").click();
        Child<QPushButton>(window, "btnMemoUnDel").click();
        QCOMPARE(f.ui.messages.back().text, QString("Palm memopad undelete successfully, 4 records were undeleted."));
        QCOMPARE(model.rowCount(), 0);
    }

    void doNotAskAgainWritesQuitRemindZero() {
        Fixture f;
        {
            TfmMain window(f.ini, f.ui);
            window.show();
            f.ui.onExec = [](QDialog& dialog) {
                QCOMPARE(dialog.windowTitle(), QString("Quit Lazrine"));
                QVERIFY(dialog.findChild<QLabel*>() != nullptr);
                QCOMPARE(dialog.findChild<QLabel*>()->text(), QString("Are you sure to quit the Lazrine program?"));
                auto& ask = Child<QCheckBox>(dialog, "cbAsk");
                QCOMPARE(ask.text(), QString("Do not ask me again"));
                QVERIFY(!ask.isChecked());
                ask.setChecked(true);
                Child<QPushButton>(dialog, "btnOK").click();
            };
            Child<QPushButton>(window, "btnExit").click();
            QCOMPARE(f.ui.execCount, 1);
            QVERIFY(!window.isVisible());
        }
        QVERIFY(AppTestFiles::ReadText(f.ini).find("QuitRemind=0") != std::string::npos);

        // The next run closes without asking.
        FakeUiServices ui;
        TfmMain again(f.ini, ui);
        again.show();
        QVERIFY(again.close());
        QCOMPARE(ui.execCount, 0);
    }

    void cancelKeepsTheWindowAndTheSetting() {
        Fixture f;
        {
            TfmMain window(f.ini, f.ui);
            window.show();
            f.ui.onExec = [](QDialog& dialog) {
                Child<QCheckBox>(dialog, "cbAsk").setChecked(true);
                Child<QPushButton>(dialog, "btnCancel").click();
            };
            QVERIFY(!window.close());
            QVERIFY(window.isVisible());
            // OK with the box left unchecked keeps asking.
            f.ui.onExec = [](QDialog& dialog) { Child<QPushButton>(dialog, "btnOK").click(); };
            QVERIFY(window.close());
        }
        QVERIFY(AppTestFiles::ReadText(f.ini).find("QuitRemind=1") != std::string::npos);
    }

    void longNoteIsCutTo4095Characters() {
        std::string text;
        for (int i = 0; i < 5000; ++i) {
            text += static_cast<char>('a' + i % 26);
        }
        Fixture f("", {{1, 0x04, text}});
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvMemo");
        QCOMPARE(model.rowCount(), 1);
        const QString shown = model.data(model.index(0, 0)).toString();
        QCOMPARE(shown.size(), 4095);
        QCOMPARE(shown, QString::fromLatin1(text.substr(0, 4095)));
    }

    void codePageTextIsShownAsUnicode() {
        Fixture f("", {{1, 0x04, "caf\xe9 \x80"}});
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvMemo");
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac"));
    }

    // The save fails (another program holds the file): no success is
    // claimed, the file stays as it was and the list shows it again.
    void failedSaveIsReportedAndNothingClaimed() {
        Fixture f;
        const std::string before = AppTestFiles::ReadText(f.memo);
        TfmMain window(f.ini, f.ui);
        auto& model = ListOf(window, "lvMemo");
        Check(model, 0);
        Check(model, 2);

        const int fd = ::open(f.memo.c_str(), O_RDONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        // The other program lets go while the error is on screen.
        f.ui.onMessage = [fd](const FakeUiServices::Message&) { ::close(fd); };
        Child<QPushButton>(window, "btnMemoUnDel").click();

        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(f.ui.messages[0].error);
        QCOMPARE(f.ui.messages[0].caption, QString("Error"));
        QCOMPARE(AppTestFiles::ReadText(f.memo), before);
        QCOMPARE(ListedIds(window), kDeletedIds);
    }

    // Palm Desktop found in a Wine prefix: its users fill the list, the first
    // is loaded at start-up, and choosing another loads that user's memos.
    void palmDesktopUsersFillTheListAndAChoiceLoadsThatUser() {
        lazrine::testing::FakeWinePrefix prefix;
        prefix.InstallAll();
        FakeUiServices ui;
        TfmMain window(prefix.Settings(), ui);
        auto& users = Child<QComboBox>(window, "cmbUser");
        QCOMPARE(users.count(), 2);
        QCOMPARE(users.itemText(0), QString("John Doe"));
        QCOMPARE(users.itemText(1), QString("Mary S"));
        QCOMPARE(ListOf(window, "lvMemo").rowCount(), 1);
        QCOMPARE(ListOf(window, "lvMemo").data(ListOf(window, "lvMemo").index(0, 0)).toString(),
                 QString("john deleted"));
        users.setCurrentIndex(1);
        QCOMPARE(ListOf(window, "lvMemo").rowCount(), 1);
        QCOMPARE(ListOf(window, "lvMemo").data(ListOf(window, "lvMemo").index(0, 0)).toString(),
                 QString("mary deleted"));
    }

    // Help opens the user guide installed with the program; the web site
    // links lead to the same guide unless the build names a site.
    void helpAndWebSiteGoThroughTheSeam() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        Child<QPushButton>(window, "btnHelp").click();
        QCOMPARE(f.ui.urls.size(), std::size_t(1));
        QVERIFY(f.ui.urls[0].isLocalFile());
        QVERIFY(f.ui.urls[0].toLocalFile().endsWith("/user-guide.html"));
        auto& web = Child<QLabel>(window, "lnkMemoWeb");
        QVERIFY(web.text().contains(f.ui.urls[0].toString().toHtmlEscaped()));
        // Reachable with Tab, opened with the keyboard.
        QVERIFY(web.focusPolicy() & Qt::TabFocus);
        QVERIFY(web.textInteractionFlags() & Qt::LinksAccessibleByKeyboard);
        auto& link = Child<QLabel>(window, "lnkMemoWeb");
        emit link.linkActivated(QStringLiteral("https://lazrine.example/"));
        QCOMPARE(f.ui.urls.size(), std::size_t(2));
        // The options dialog, cancelled, changes nothing.
        Child<QPushButton>(window, "btnOption").click();
        QCOMPARE(f.ui.execCount, 1);
        QCOMPARE(ListedIds(window), kDeletedIds);
    }

    // The guide holds the README's sections for users, not those for
    // developers, under a title naming the programs' version.
    void theBuiltUserGuideHoldsTheUserSections() {
        const std::string guide = AppTestFiles::ReadText(LAZRINE_BUILT_GUIDE);
        QVERIFY(guide.find("Lazrine " LAZRINE_VERSION " User Guide") != std::string::npos);
        for (const char* kept : {"What it is", "The window", "Command line", "Safety of the user"}) {
            QVERIFY2(guide.find(kept) != std::string::npos, kept);
        }
        for (const char* left : {"Benchmarks, fuzzing", "Dependencies (Debian packages)", "The two commands"}) {
            QVERIFY2(guide.find(left) == std::string::npos, left);
        }
    }

    // A note's line breaks show as one space each, CR LF included.
    void lineBreaksShowAsOneSpace() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        auto& view = Child<QTreeView>(window, "lvMemo");
        const struct {
            const char* text;
            const char* shown;
        } cases[] = {
            {"Gift ideas\r\nBook", "Gift ideas Book"},
            {"a\nb", "a b"},
            {"a\rb", "a b"},
            {"a\r\n\r\nb", "a  b"},
            {"a\n\rb", "a  b"},
        };
        for (const auto& c : cases) {
            const auto* delegate = qobject_cast<QStyledItemDelegate*>(view.itemDelegate());
            QVERIFY(delegate != nullptr);
            QCOMPARE(delegate->displayText(QString(c.text), QLocale()), QString(c.shown));
        }
    }

    // Space toggles the current item's check box, from any column; rows
    // are tall enough that neighbouring check boxes do not touch.
    void spaceTogglesTheCurrentItemAndRowsKeepTheirCheckBoxesApart() {
        Fixture f;
        TfmMain window(f.ini, f.ui);
        window.show();
        window.PageAt(TfmMain::kPageMemo).setVisible(true);
        auto& view = Child<QTreeView>(window, "lvMemo");
        auto& model = *view.model();
        view.setCurrentIndex(model.index(1, 0));
        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(window.PageAt(TfmMain::kPageMemo).Model().CheckedRecords().size(), std::size_t(1));

        const QStyle* style = view.style();
        const int least = style->pixelMetric(QStyle::PM_IndicatorHeight) + 4;
        QVERIFY2(view.visualRect(model.index(0, 0)).height() >= least,
                 qPrintable(QString::number(view.visualRect(model.index(0, 0)).height())));
    }

    // The status bar shows the session's reason why pages are empty (what
    // it says: the workspace's tests).
    void theStatusBarSaysWhyPagesAreEmpty() {
        Fixture f;
        AppTestFiles::WriteText(f.ini, "[Lazrine]\nMemoFile=" + f.dir.File("gone.dat") + "\n");
        TfmMain window(f.ini, f.ui);
        const QString status = Child<QStatusBar>(window, "sbMain").currentMessage();
        QVERIFY2(status.contains("Palm memopad data could not be loaded: "), qPrintable(status));
    }
};

QTEST_MAIN(TfmMainTest)
#include "TfmMainTest.moc"
