// The options dialog, alone and opened from the main window's "..." button,
// on copies of the Palm Desktop 6 databases of every kind.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <array>
#include <filesystem>

#include "support/AppTestFiles.h"
#include "ChildControl.h"
#include "FakeUiServices.h"
#include "session/OptionRec.h"
#include "app/QtUiServices.h"
#include "app/TfmMain.h"
#include "app/TfmOption.h"
#include "common/palm/PmRecordSetFactory.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

using lazrine::session::OptionRec;
using lazrine::app::TfmMain;
using lazrine::app::TfmOption;
using lazrine::testing::AppTestFiles;
using lazrine::testing::Child;
using lazrine::testing::FakeUiServices;
using lazrine::testing::TempDir;
namespace fs = std::filesystem;

namespace {

const char* const kPrefixes[] = {"Addr", "Date", "Todo", "Memo"};
const char* const kDatabases[] = {"Address.mdb", "DateBook.mdb", "Todolist.mdb", "MemoPad.mdb"};
const char* const kFactoryNames[] = {"contacts", "calendar", "tasks", "memos"};

std::string Copy(const TempDir& dir, const char* database, const std::string& as = "") {
    const std::string path = dir.File(as.empty() ? database : as);
    fs::copy_file(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/" + database, path);
    return path;
}

QCheckBox& Box(QWidget& d, int kind) { return Child<QCheckBox>(d, QStringLiteral("cb%1File").arg(kPrefixes[kind])); }
QLineEdit& Edit(QWidget& d, int kind) { return Child<QLineEdit>(d, QStringLiteral("edt%1File").arg(kPrefixes[kind])); }
QPushButton& Browse(QWidget& d, int kind) {
    return Child<QPushButton>(d, QStringLiteral("btn%1File").arg(kPrefixes[kind]));
}
void ClickOk(QWidget& d) { Child<QPushButton>(d, QStringLiteral("btnOK")).click(); }

// One record set per kind, as the main window holds them, and a copy of
// each kind's database in a fresh folder.
struct Fixture {
    TempDir dir;
    FakeUiServices ui;
    OptionRec option;
    std::array<std::unique_ptr<lazrine::palm::PmRecordSet>, 4> sets;
    std::array<std::string, 4> files;

    Fixture() {
        for (int kind = 0; kind < 4; ++kind) {
            sets[kind] = lazrine::palm::PmRecordSetFactory::Create(kFactoryNames[kind]);
            files[kind] = Copy(dir, kDatabases[kind]);
        }
    }
    std::array<const lazrine::palm::PmRecordSet*, 4> Probes() const {
        return {sets[0].get(), sets[1].get(), sets[2].get(), sets[3].get()};
    }
    std::array<bool, 4> Ok(TfmOption& d) {
        ClickOk(d);
        return d.result() == QDialog::Accepted ? d.ChangedFlags() : std::array<bool, 4>{};
    }
};

std::vector<std::uint32_t> RowIds(TfmMain& window, int page) {
    std::vector<std::uint32_t> ids;
    for (const std::size_t record : window.PageAt(page).Model().ShownRecords()) {
        ids.push_back(window.RecordSetOf(page)->CommonAt(record).nId);
    }
    return ids;
}

}  // namespace

class TfmOptionTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndTexts() {
        Fixture f;
        TfmOption d(&f.option, f.Probes(), f.ui, "");
        QCOMPARE(d.windowTitle(), QString("Lazrine Options"));
        QCOMPARE(d.size(), QSize(477, 218));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QCOMPARE(d.findChild<QLabel*>()->text(), QString("You may also open Palm Desktop database by file name:"));
        auto& pages = Child<QTabWidget>(d, "pFile");
        const QStringList captions{"Contacts", "Calendar", "Tasks", "Memos"};
        QCOMPARE(pages.count(), 4);
        for (int kind = 0; kind < 4; ++kind) {
            QCOMPARE(pages.tabText(kind), captions[kind]);
            QCOMPARE(Box(d, kind).text(), QString("File Name"));
            QCOMPARE(Browse(d, kind).text(), QString("..."));
            // Nothing stored: unchecked, empty and disabled.
            QVERIFY(!Box(d, kind).isChecked());
            QVERIFY(Edit(d, kind).text().isEmpty());
            QVERIFY(!Edit(d, kind).isEnabled());
            QVERIFY(!Browse(d, kind).isEnabled());
        }
        QCOMPARE(pages.currentIndex(), 0);
        QCOMPARE(Child<QPushButton>(d, "btnOK").text(), QString("&OK"));
        QCOMPARE(Child<QPushButton>(d, "btnCancel").text(), QString("&Cancel"));
        QVERIFY(Child<QPushButton>(d, "btnOK").isDefault());
        // The check box alone switches its edit and browse button on.
        Box(d, 2).click();
        QVERIFY(Edit(d, 2).isEnabled() && Browse(d, 2).isEnabled());
        QVERIFY(!Edit(d, 1).isEnabled());
    }

    void storedMemoFileShownAndOkWithoutChangesReportsNothing() {
        Fixture f;
        f.option.szFile[3] = f.files[3];
        TfmOption d(&f.option, f.Probes(), f.ui, "");
        QVERIFY(Box(d, 3).isChecked());
        QVERIFY(Edit(d, 3).isEnabled() && !Edit(d, 3).isReadOnly());
        QCOMPARE(Edit(d, 3).text().toStdString(), f.files[3]);
        QCOMPARE(f.Ok(d), (std::array<bool, 4>{}));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(f.option.szFile[3], f.files[3]);
        QVERIFY(f.ui.messages.empty());
    }

    // A refusal, browsed or typed: the kind's message, with the caption
    // "Error", the error icon and the reason as the detail; the edit keeps
    // its text and nothing is stored. (Every reason: the options rules' tests.)
    void refusalsSayWhy() {
        Fixture f;
        const QString name = QString::fromStdString(f.files[2]);  // a to-do database
        const QString detail = "Not a Palm Desktop memos file";
        // Chosen with the browse button.
        {
            OptionRec option;
            option.szFile[3] = f.files[3];
            FakeUiServices ui;
            TfmOption d(&option, f.Probes(), ui, "");
            ui.chosenFiles.push_back(name);
            Browse(d, 3).click();
            QCOMPARE(ui.messages.size(), std::size_t(1));
            QVERIFY(ui.messages[0].error);
            QCOMPARE(ui.messages[0].caption, QString("Error"));
            QCOMPARE(ui.messages[0].text, QString("Memos file invalid, please try another one."));
            QVERIFY2(ui.messages[0].detail.startsWith(detail), qPrintable(ui.messages[0].detail));
            QCOMPARE(Edit(d, 3).text().toStdString(), f.files[3]);
            QCOMPARE(d.focusWidget(), &Edit(d, 3));
        }
        // Typed, then OK.
        OptionRec option;
        FakeUiServices ui;
        TfmOption d(&option, f.Probes(), ui, "");
        Box(d, 3).click();
        Edit(d, 3).setText(name);
        ClickOk(d);
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(ui.messages.size(), std::size_t(1));
        QCOMPARE(ui.messages[0].text, QString("Invalid Palm Memos data file."));
        QVERIFY2(ui.messages[0].detail.startsWith(detail), qPrintable(ui.messages[0].detail));
        QVERIFY(option.szFile[3].empty());
        QCOMPARE(d.ChangedFlags(), (std::array<bool, 4>{}));
    }

    // A valid contacts file and an invalid memos file: OK refuses both,
    // shows the memos page and puts the cursor into its edit (what is stored
    // when: the options rules' tests).
    void oneInvalidKindStoresNothing() {
        Fixture f;
        TfmOption d(&f.option, f.Probes(), f.ui, "");
        Box(d, 0).click();
        Edit(d, 0).setText(QString::fromStdString(f.files[0]));
        Box(d, 3).click();
        Edit(d, 3).setText(QString::fromStdString(f.files[2]));
        ClickOk(d);
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, QString("Invalid Palm Memos data file."));
        QVERIFY(f.option.szFile[0].empty() && f.option.szFile[3].empty());
        QCOMPARE(Child<QTabWidget>(d, "pFile").currentIndex(), 3);
        QCOMPARE(d.focusWidget(), &Edit(d, 3));
    }

    // The file dialog: the kind's title, the data file filters and the start
    // folder the options rules give (which folder when: their tests).
    void theFileDialogShowsTheFilesAUserHas() {
        Fixture f;
        OptionRec option;
        option.szFile[1] = f.files[1];
        FakeUiServices ui;
        TfmOption d(&option, f.Probes(), ui, f.dir.File("user"));
        Browse(d, 1).click();
        QCOMPARE(ui.fileRequests.size(), std::size_t(1));
        QCOMPARE(ui.fileRequests[0].title, QString("Open Palm Desktop Calendar data file"));
        QCOMPARE(ui.fileRequests[0].filters, (QStringList{"Palm Desktop Database File (*.dat *.mdb)", "All Files (*)"}));
        QCOMPARE(ui.fileRequests[0].folder, QString::fromStdString(f.dir.Path().string()));
        // Cancelled: nothing happens.
        QVERIFY(ui.messages.empty());
        QCOMPARE(Edit(d, 1).text().toStdString(), f.files[1]);
    }

    // The real dialog behind the seam: Qt's own, one existing file, and
    // patterns that match in any letter case ("MemoPad.MDB" under "*.mdb").
    void theRealFileDialogMatchesPatternsInAnyCase() {
        TempDir dir;
        QFileDialog dialog;
        const QStringList filters{"Palm Desktop Database File (*.dat *.mdb)", "All Files (*)"};
        lazrine::app::QtUiServices::SetUpOpenDialog(dialog, "Open Palm Desktop Memos data file",
                                                    QString::fromStdString(dir.Path().string()), filters);
        QCOMPARE(dialog.windowTitle(), QString("Open Palm Desktop Memos data file"));
        QCOMPARE(dialog.nameFilters(), filters);
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(!(dialog.filter() & QDir::CaseSensitive));
        QCOMPARE(QDir::cleanPath(dialog.directory().absolutePath()).toStdString(), dir.Path().string());
    }

    void aKindWithoutRecordSetIsShownReadOnlyAndNeverChanges() {
        Fixture f;
        f.option.szFile[1] = "/some/where/datebook.dat";
        auto probes = f.Probes();
        probes[1] = nullptr;
        TfmOption d(&f.option, probes, f.ui, "");
        QVERIFY(Box(d, 1).isChecked());
        QVERIFY(!Box(d, 1).isEnabled());
        QVERIFY(Edit(d, 1).isReadOnly());
        QVERIFY(!Browse(d, 1).isEnabled());
        QCOMPARE(Edit(d, 1).text(), QString("/some/where/datebook.dat"));
        QCOMPARE(f.Ok(d), (std::array<bool, 4>{}));
        QCOMPARE(f.option.szFile[1], std::string("/some/where/datebook.dat"));
    }

    void escapeCancelsAndEnterPressesOk() {
        const struct {
            Qt::Key key;
            int result;
            bool stored;
        } cases[] = {{Qt::Key_Escape, QDialog::Rejected, false}, {Qt::Key_Return, QDialog::Accepted, true}};
        for (const auto& c : cases) {
            Fixture f;
            TfmOption d(&f.option, f.Probes(), f.ui, "");
            d.show();
            Box(d, 3).click();
            Edit(d, 3).setText(QString::fromStdString(f.files[3]));
            QTest::keyClick(&Edit(d, 3), c.key);
            QCOMPARE(d.result(), c.result);
            QCOMPARE(f.option.szFile[3] == f.files[3], c.stored);
        }
    }

    // From the main window: "..." opens the dialog modally; OK reloads
    // exactly the kinds whose file changed; the names reach the settings
    // file, CR LF line ends kept, only when the window closes.
    void theWindowReloadsOnlyTheChangedKinds() {
        Fixture f;
        const std::string ini = f.dir.File("tamrisk.ini");
        AppTestFiles::WriteText(ini, "[Lazrine]\r\nTodoFile=" + f.files[2] + "\r\nQuitRemind=0\r\n");
        {
            TfmMain window(ini, f.ui);
            auto& option = Child<QPushButton>(window, "btnOption");
            QCOMPARE(option.toolTip(), QString("Options"));
            QCOMPARE(option.accessibleName(), QString("Options"));
            const auto tasksBefore = RowIds(window, 2);
            QVERIFY(!tasksBefore.empty());
            QVERIFY(RowIds(window, 3).empty());
            f.ui.onExec = [&](QDialog& dialog) {
                QCOMPARE(dialog.windowTitle(), QString("Lazrine Options"));
                QCOMPARE(dialog.parentWidget(), &window);
                // Another to-do file takes the tasks file's place: still a
                // to-do file, under the same name, so not reloaded.
                lazrine::testing::TodoFileLayout spec;
                lazrine::testing::TodoRecordLayout todo;
                todo.id = 77;
                todo.status = 0x04;
                todo.description = "replaced";
                spec.todos.push_back(todo);
                fs::remove(f.files[2]);
                lazrine::testing::WriteFileBytes(f.files[2], lazrine::testing::BuildExtendedTodoFile(spec));
                Box(dialog, 3).click();
                Edit(dialog, 3).setText(QString::fromStdString(f.files[3]));
                ClickOk(dialog);
            };
            option.click();
            QCOMPARE(f.ui.execCount, 1);
            QVERIFY(f.ui.messages.empty());
            QCOMPARE(window.Options().szFile[3], f.files[3]);
            QVERIFY(!RowIds(window, 3).empty());
            QCOMPARE(RowIds(window, 2), tasksBefore);
            QVERIFY(RowIds(window, 0).empty() && RowIds(window, 1).empty());
            // Nothing is written while the window lives.
            QVERIFY(AppTestFiles::ReadText(ini).find("MemoFile") == std::string::npos);
        }
        const std::string text = AppTestFiles::ReadText(ini);
        QVERIFY(text.find("MemoFile=" + f.files[3] + "\r\n") != std::string::npos);
        QVERIFY(text.find("TodoFile=" + f.files[2] + "\r\n") != std::string::npos);
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
            QVERIFY(at > 0 && text[at - 1] == '\r');
        }
    }

    void cancelReloadsNothing() {
        Fixture f;
        const std::string ini = f.dir.File("tamrisk.ini");
        AppTestFiles::WriteText(ini, "[Lazrine]\nMemoFile=" + f.files[3] + "\nQuitRemind=0\n");
        TfmMain window(ini, f.ui);
        const auto rows = RowIds(window, 3);
        f.ui.onExec = [&](QDialog& dialog) {
            Box(dialog, 3).click();
            Box(dialog, 0).click();
            Edit(dialog, 0).setText(QString::fromStdString(f.files[0]));
            Child<QPushButton>(dialog, "btnCancel").click();
        };
        Child<QPushButton>(window, "btnOption").click();
        QCOMPARE(window.Options().szFile[3], f.files[3]);
        QVERIFY(window.Options().szFile[0].empty());
        QCOMPARE(RowIds(window, 3), rows);
        QVERIFY(RowIds(window, 0).empty());
    }

    // The file named at OK is gone by the time it is loaded: the window says
    // so, with the reason, instead of showing an empty page.
    void aFailedReloadIsShown() {
        Fixture f;
        const std::string ini = f.dir.File("tamrisk.ini");
        AppTestFiles::WriteText(ini, "[Lazrine]\nQuitRemind=0\n");
        TfmMain window(ini, f.ui);
        f.ui.onExec = [&](QDialog& dialog) {
            Box(dialog, 3).click();
            Edit(dialog, 3).setText(QString::fromStdString(f.files[3]));
            ClickOk(dialog);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            fs::remove(f.files[3]);
        };
        Child<QPushButton>(window, "btnOption").click();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(f.ui.messages[0].error);
        QCOMPARE(f.ui.messages[0].caption, QString("Error"));
        QCOMPARE(f.ui.messages[0].text,
                 QString("Palm memopad data could not be loaded from %1.").arg(QString::fromStdString(f.files[3])));
        QVERIFY(!f.ui.messages[0].detail.isEmpty());

        // Going back to the user's data, with no users, is no failure to
        // report: the status bar already says there are no users.
        f.ui.onExec = [&](QDialog& dialog) {
            Box(dialog, 3).click();
            ClickOk(dialog);
        };
        Child<QPushButton>(window, "btnOption").click();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(window.Options().szFile[3].empty());
    }
};

QTEST_MAIN(TfmOptionTest)
#include "TfmOptionTest.moc"
