// The Win32 main window, created in this process and driven by the messages
// a user's clicks and keys send, on copies of the test data.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "support/AppTestFiles.h"
#include "FakeWinUiServices.h"
#include "common/palm/PmKindInfo.h"
#include "common/palm/PmRecordSetFactory.h"
#include "session/KindSession.h"
#include "session/Messages.h"
#include "session/Workspace.h"
#include "support/ForeignLock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "win/WinBackupsDialog.h"
#include "win/WinMainWindow.h"
#include "win/WinOptionsDialog.h"
#include "win/WinQuitConfirm.h"
#include "win/WinText.h"

namespace lazrine::testing {
namespace {

using palm::PmKind;
using palm::PmKindInfo;
using win::WinMainWindow;
using win::WinText;

std::string DataFile(const std::string& name) { return std::string(LAZRINE_TEST_DATA_DIR) + "/" + name; }

std::string Text(HWND window) { return WinText::Utf8(WinText::Of(window)); }
void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }
int Count(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
bool Checked(HWND list, int row) {
    return (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) >> 12) == 2;
}
std::string Cell(HWND list, int row, int column) {
    std::wstring buffer(4200, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto n = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return WinText::Utf8(std::wstring_view(buffer.data(), static_cast<std::size_t>(n)));
}
std::string Status(HWND bar) {
    std::wstring buffer(static_cast<std::size_t>(LOWORD(::SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0))) + 1, L'\0');
    ::SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer.data()));
    return WinText::Utf8(buffer.c_str());
}
void SetImage(HWND list, int row, int image) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Deleted (and archived) and all records of a kind in a file, as a fresh
// session reads them.
std::pair<int, int> CountsIn(PmKind kind, const std::string& path) {
    session::KindSession fresh(kind, palm::PmRecordSetFactory::Create(kind));
    fresh.LoadFile(path);
    return {static_cast<int>(fresh.Records(false).size()), static_cast<int>(fresh.Records(true).size())};
}

// One file per kind, in page order.
const std::vector<std::string> kFiles{"dat/address-extended.dat", "dat/datebook-classic.dat", "dat/todo-extended.dat",
                                      "dat/memopad-classic.dat"};

class WinMainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS};
        ::InitCommonControlsEx(&controls);
    }

    // Copies `files` (page order; empty: none) and names them in the settings.
    void Settings(const std::vector<std::string>& files, const std::string& extra = "QuitRemind=0\n") {
        std::string text = "[Lazrine]\n";
        for (std::size_t k = 0; k < files.size(); ++k) {
            if (files[k].empty()) {
                continue;
            }
            const PmKindInfo& kind = PmKindInfo::All().at(k);
            paths.at(k) = dir.File(kind.szName + files[k].substr(files[k].rfind('.')));
            WriteFileBytes(paths.at(k), ReadFileBytes(DataFile(files[k])));
            text += std::string(kind.szPrefix) + "File=" + paths.at(k) + "\n";
        }
        AppTestFiles::WriteText(ini, text + extra);
    }
    WinMainWindow& Open(session::WorkspaceHooks hooks = session::WorkspaceHooks::Defaults()) {
        window = std::make_unique<WinMainWindow>(ini, ui, std::move(hooks), "C:\\guide.html", dir.Path().string());
        EXPECT_NE(window->Handle(), nullptr);
        ::ShowWindow(window->Handle(), SW_SHOWNOACTIVATE);
        return *window;
    }
    HWND Named(const std::string& name) const {
        HWND control = window->Control(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    HWND Named(const PmKindInfo& kind, const char* prefix, const char* suffix = "") const {
        return Named(prefix + std::string(kind.szPrefix) + suffix);
    }

    TempDir dir;
    std::string ini = dir.File("tamrisk.ini");
    std::array<std::string, palm::kPmKindCount> paths;
    FakeWinUiServices ui;
    std::unique_ptr<WinMainWindow> window;
};

TEST_F(WinMainWindowTest, PagesShowTheirKindsColumnsAndRecords) {
    Settings(kFiles);
    Open();
    EXPECT_EQ(Text(window->Handle()), "Lazrine Utility");
    RECT client{};
    ::GetClientRect(window->Handle(), &client);
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(client.right, ::MulDiv(794, dpi, 96));
    EXPECT_EQ(client.bottom, ::MulDiv(594, dpi, 96));
    for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
             {"lblUser", "Select Palm Desktop User:"}, {"btnOption", "..."}, {"btnHelp", "&Help"}, {"btnExit", "E&xit"}}) {
        EXPECT_EQ(Text(Named(name)), text);
    }
    HWND tabs = Named("spMain");
    ASSERT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(::IsWindowVisible(Named("lvMemo")));
    EXPECT_FALSE(::IsWindowVisible(Named("lvAddr")));
    ::SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(Named("lvAddr")));
    EXPECT_FALSE(::IsWindowVisible(Named("lvMemo")));

    for (const PmKindInfo& kind : PmKindInfo::All()) {
        SCOPED_TRACE(kind.szName);
        wchar_t caption[64] = {};
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = caption;
        tab.cchTextMax = 64;
        ::SendMessageW(tabs, TCM_GETITEMW, kind.Index(), reinterpret_cast<LPARAM>(&tab));
        EXPECT_EQ(WinText::Utf8(caption), kind.szPageCaption);
        HWND list = Named(kind, "lv");
        EXPECT_TRUE(::GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA);
        const auto extended = static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER),
                  static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER));
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
        ASSERT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(kind.columns.size()));
        for (std::size_t c = 0; c < kind.columns.size(); ++c) {
            wchar_t text[64] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = text;
            column.cchTextMax = 64;
            ::SendMessageW(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
            EXPECT_EQ(WinText::Utf8(text), kind.columns[c].caption);
            EXPECT_EQ(column.cx, ::MulDiv(kind.columns[c].width, dpi, 96));
        }
        for (const auto& [prefix, suffix, text] : std::vector<std::tuple<const char*, const char*, std::string>>{
                 {"rbtn", "Del", "Deleted Records"}, {"rbtn", "All", "All Records"}, {"btn", "Sel", "&Select All"},
                 {"btn", "Clear", "&Clear"}, {"btn", "UnDel", "&Undelete"}, {"btn", "Export", "&Export\xE2\x80\xA6"}}) {
            EXPECT_EQ(Text(Named(kind, prefix, suffix)), text);
        }
        const auto [deleted, all] = CountsIn(kind.nKind, paths.at(kind.Index()));
        EXPECT_GT(deleted, 0);
        EXPECT_EQ(Count(list), deleted);
        EXPECT_FALSE(Cell(list, 0, 0).empty() && Cell(list, 0, 1).empty());
        EXPECT_EQ(Cell(list, 0, 0).find('\n'), std::string::npos);

        // Deleted and All switch the list and whether Undelete is offered.
        for (const auto& [suffix, rows, undelete] :
             std::vector<std::tuple<const char*, int, bool>>{{"All", all, false}, {"Del", deleted, true}}) {
            Click(Named(kind, "rbtn", suffix));
            EXPECT_EQ(Count(list), rows) << suffix;
            EXPECT_EQ(::IsWindowEnabled(Named(kind, "btn", "UnDel")) != FALSE, undelete) << suffix;
        }
    }
    // Help and the web site link open the guide (no web site is configured).
    Click(Named("btnHelp"));
    HWND link = Named("lnkTodoWeb");
    NMLINK click{};
    click.hdr = {link, static_cast<UINT_PTR>(::GetDlgCtrlID(link)), NM_CLICK};
    ::SendMessageW(::GetParent(link), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(ui.urls, (std::vector<std::string>{"C:\\guide.html", "C:\\guide.html"}));
    // Without Palm Desktop users the status bar says why, as the session does.
    session::Workspace same(ini);
    same.Open();
    same.RefreshUsers();
    same.LoadAll();
    EXPECT_FALSE(same.StatusText().empty());
    EXPECT_EQ(Status(Named("sbMain")), same.StatusText());
}

// Select All and Undelete write every deleted record back, whatever the
// kind and the file's generation; the deleted list is empty afterwards.
TEST_F(WinMainWindowTest, SelectAllAndUndeleteWriteTheFile) {
    const std::vector<std::vector<std::string>> cases{
        kFiles, {"mdb/Address.mdb", "dat/datebook-extended.dat", "mdb/Todolist.mdb", "mdb/MemoPad.mdb"}};
    for (const auto& files : cases) {
        Settings(files);
        Open();
        for (const PmKindInfo& kind : PmKindInfo::All()) {
            SCOPED_TRACE(files.at(kind.Index()));
            HWND list = Named(kind, "lv");
            const int deleted = Count(list);
            Click(Named(kind, "btn", "Sel"));
            Click(Named(kind, "btn", "Clear"));
            EXPECT_FALSE(Checked(list, 0));
            Click(Named(kind, "btn", "Sel"));
            EXPECT_TRUE(Checked(list, 0) && Checked(list, deleted - 1));
            ui.messages.clear();
            Click(Named(kind, "btn", "UnDel"));
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_FALSE(ui.messages[0].error);
            EXPECT_EQ(ui.messages[0].caption, session::Messages::kInformation);
            EXPECT_EQ(ui.messages[0].text, kind.SuccessMessage(deleted));
            EXPECT_EQ(Count(list), 0);
            EXPECT_EQ(CountsIn(kind.nKind, paths.at(kind.Index())).first, 0);
        }
        window.reset();
    }
}

// A check changes by Space on the focused row, by a click on its box and by
// a state image set from outside, each exactly once; Undelete takes exactly
// the checked rows. Nothing checked says so and writes nothing.
TEST_F(WinMainWindowTest, ChecksFollowKeysClicksAndStateAndUndeleteOnlyThem) {
    paths[3] = dir.File("memopad.dat");
    AppTestFiles::WriteMemoFile(paths[3], {{1, 0x00, "Live"}, {2, 0x04, "Gift ideas\r\nBook"}, {4, 0x80, "Archived"},
                                           {5, 0x84, "Locker"}, {7, 0x06, "Call the plumber"}});
    AppTestFiles::WriteText(ini, "[Lazrine]\nQuitRemind=0\nMemoFile=" + paths[3] + "\n");
    Open();
    const PmKindInfo& memos = PmKindInfo::Of(PmKind::kMemos);
    HWND list = Named("lvMemo");
    const int deleted = Count(list);
    ASSERT_EQ(deleted, 4);
    EXPECT_EQ(Cell(list, 0, 0), "Gift ideas Book");
    const std::vector<std::uint8_t> before = ReadFileBytes(paths[3]);
    Click(Named("btnMemoUnDel"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, memos.NothingSelectedMessage());
    EXPECT_EQ(ReadFileBytes(paths[3]), before);

    // Space on row 1.
    LVITEMW focus{};
    focus.stateMask = focus.state = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(Checked(list, 1));
    // A state image set on row 0, twice the same, and a click on row 2's box.
    SetImage(list, 0, 2);
    SetImage(list, 0, 2);
    EXPECT_TRUE(Checked(list, 0));
    RECT row{};
    row.left = LVIR_BOUNDS;
    ::SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    LVHITTESTINFO hit{};
    hit.pt.y = (row.top + row.bottom) / 2;
    for (hit.pt.x = row.left; hit.pt.x < row.left + 40; ++hit.pt.x) {
        hit.flags = 0;
        ::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if ((hit.flags & LVHT_ONITEMSTATEICON) != 0) {
            break;
        }
    }
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_TRUE(Checked(list, 2));
    // The same click again unchecks it; row 2 stays deleted.
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_FALSE(Checked(list, 2));

    const std::string third = Cell(list, 2, 0);
    ui.messages.clear();
    Click(Named("btnMemoUnDel"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, memos.SuccessMessage(2));
    EXPECT_EQ(Count(list), deleted - 2);
    EXPECT_EQ(CountsIn(PmKind::kMemos, paths[3]).first, deleted - 2);
    EXPECT_EQ(Cell(list, 0, 0), third);
}

// Another program holds the file while undeleting: the error says so,
// nothing is claimed, the file stays as it was and the list shows it again.
TEST_F(WinMainWindowTest, AFailedSaveClaimsNothing) {
    Settings({"", "", "", "dat/memopad-classic.dat"});
    Open();
    HWND list = Named("lvMemo");
    const int deleted = Count(list);
    const std::vector<std::uint8_t> before = ReadFileBytes(paths[3]);
    Click(Named("btnMemoSel"));
    auto lock = std::make_unique<ForeignLock>(paths[3], ForeignLock::Kind::kWholeFile);
    ASSERT_TRUE(lock->Held());
    // The other program lets go while the error is on screen.
    ui.onMessage = [&] { lock.reset(); };
    Click(Named("btnMemoUnDel"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].caption, session::Messages::kError);
    EXPECT_EQ(ReadFileBytes(paths[3]), before);
    EXPECT_EQ(Count(list), deleted);
    EXPECT_FALSE(Checked(list, 0));
}

// Export writes the checked records (all shown ones once agreed) to the
// file chosen, in the kind's default format.
TEST_F(WinMainWindowTest, ExportWritesTheChosenFile) {
    Settings(kFiles);
    Open();
    const PmKindInfo& contacts = PmKindInfo::Of(PmKind::kContacts);
    const std::string vcf = dir.File("out.vcf");
    ui.saveAnswer = vcf;
    Click(Named("btnAddrExport"));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.suggested, dir.Path().string() + "\\" + session::ExportJob::SuggestedName(contacts));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(ui.messages[0].error) << ui.messages[0].text;
    const std::string written = AppTestFiles::ReadText(vcf);
    EXPECT_EQ(written.rfind("BEGIN:VCARD", 0), 0u);
}

// "Find in Backups…" lists the records only an older copy beside the page's
// file holds, and exports the checked ones.
TEST_F(WinMainWindowTest, FindInBackupsListsAndExportsWhatOnlyACopyHolds) {
    const std::filesystem::path folder = dir.Path() / "User" / "memopad";
    std::filesystem::create_directories(folder);
    const std::string live = (folder / "memopad.dat").string();
    AppTestFiles::WriteMemoFile(live, {{1, 0x00, "Live"}});
    AppTestFiles::WriteMemoFile((folder / "memopad.bak").string(), {{1, 0x00, "Live"}, {7, 0x00, "Only here"}});
    AppTestFiles::WriteText(ini, "[Lazrine]\nQuitRemind=0\nMemoFile=" + live + "\n");
    Open();
    ui.saveAnswer = dir.File("found.txt");
    int rows = -1;
    ui.onDialog = [&rows](HWND dialog) {
        rows = Count(::GetDlgItem(dialog, win::WinBackupsDialog::kList));
        Click(::GetDlgItem(dialog, win::WinBackupsDialog::kSel));
        Click(::GetDlgItem(dialog, win::WinBackupsDialog::kExport));
    };
    Click(Named("btnMemoBackups"));
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(ui.questions.empty()) << "the row was checked";
    EXPECT_NE(AppTestFiles::ReadText(ui.saveAnswer).find("Only here"), std::string::npos);
}

// The options dialog names a data file: a browsed file of another kind is
// refused, a good one accepted and loaded; a wrong name refuses OK.
TEST_F(WinMainWindowTest, OptionsAcceptAGoodFileAndRefuseAWrongOne) {
    Settings({});
    Open();
    const std::string memo = dir.File("named-memopad.dat");
    WriteFileBytes(memo, ReadFileBytes(DataFile("dat/memopad-classic.dat")));
    const std::string other = DataFile("mdb/NotPalm.mdb");
    using win::WinOptionsDialog;
    const int check = WinOptionsDialog::IdOf(WinOptionsDialog::kFileCheck, PmKind::kMemos);
    const int edit = WinOptionsDialog::IdOf(WinOptionsDialog::kFileEdit, PmKind::kMemos);
    const int browse = WinOptionsDialog::IdOf(WinOptionsDialog::kFileBrowse, PmKind::kMemos);
    const PmKindInfo& memos = PmKindInfo::Of(PmKind::kMemos);

    // A wrong name typed in: OK is refused and the dialog stays; Cancel.
    ui.onDialog = [&](HWND dialog) {
        EXPECT_EQ(Text(dialog), "Lazrine Options");
        EXPECT_EQ(Text(::GetDlgItem(dialog, WinOptionsDialog::kLabel)),
                  "You may also open Palm Desktop database by file name:");
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, browse)));
        Click(::GetDlgItem(dialog, check));
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, browse)));
        ::SetWindowTextW(::GetDlgItem(dialog, edit), WinText::Wide(other).c_str());
        Click(::GetDlgItem(dialog, IDOK));
        EXPECT_TRUE(::IsWindow(dialog));
    };
    Click(Named("btnOption"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, session::Messages::InvalidDataFile(memos));
    EXPECT_TRUE(window->Options().FileOf(PmKind::kMemos).empty());

    // Browsing: a database that is not Palm's is refused, the memo file taken.
    ui.messages.clear();
    ui.openAnswers = {other, memo};
    ui.onDialog = [&](HWND dialog) {
        Click(::GetDlgItem(dialog, check));
        Click(::GetDlgItem(dialog, browse));
        EXPECT_EQ(ui.messages.size(), 1u);
        Click(::GetDlgItem(dialog, browse));
        EXPECT_EQ(Text(::GetDlgItem(dialog, edit)), memo);
        Click(::GetDlgItem(dialog, IDOK));
    };
    Click(Named("btnOption"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, session::Messages::InvalidBrowsedFile(memos));
    EXPECT_EQ(window->Options().FileOf(PmKind::kMemos), memo);
    EXPECT_EQ(Count(Named("lvMemo")), CountsIn(PmKind::kMemos, memo).first);
    EXPECT_EQ(ui.dialogs, 2);
}

// Closing asks when the settings say so; "Do not ask me again" and OK
// close and store QuitRemind=0, Cancel keeps the window and the setting.
TEST_F(WinMainWindowTest, QuitConfirmation) {
    struct Case {
        bool doNotAsk;
        int button;
        bool closed;
        const char* stored;
    };
    for (const Case& c : {Case{true, IDCANCEL, false, "QuitRemind=1"}, Case{false, IDOK, true, "QuitRemind=1"},
                          Case{true, IDOK, true, "QuitRemind=0"}}) {
        Settings({}, "QuitRemind=1\n");
        Open();
        ui.onDialog = [&](HWND dialog) {
            EXPECT_EQ(Text(dialog), "Quit Lazrine");
            EXPECT_EQ(Text(::GetDlgItem(dialog, win::WinQuitConfirm::kText)), "Are you sure to quit the Lazrine program?");
            HWND ask = ::GetDlgItem(dialog, win::WinQuitConfirm::kAsk);
            EXPECT_EQ(Text(ask), "Do not ask me again");
            EXPECT_EQ(::SendMessageW(ask, BM_GETCHECK, 0, 0), BST_UNCHECKED);
            if (c.doNotAsk) {
                Click(ask);
            }
            Click(::GetDlgItem(dialog, c.button));
        };
        Click(Named("btnExit"));
        EXPECT_EQ(window->Handle() == nullptr, c.closed);
        window.reset();
        EXPECT_NE(AppTestFiles::ReadText(ini).find(c.stored), std::string::npos) << c.stored;
    }
    // Once told not to ask, closing asks nothing.
    const int asked = ui.dialogs;
    Open();
    ::SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window->Handle(), nullptr);
    EXPECT_EQ(ui.dialogs, asked);
}

// Users are listed and chosen through the combo box; 100,000 records open
// at once, as a count, without an item inserted.
TEST_F(WinMainWindowTest, UsersAndAHundredThousandRecords) {
    std::vector<TestMemo> many;
    for (std::uint32_t id = 1; id <= 100000; ++id) {
        many.push_back({id, 0x04, "note " + std::to_string(id)});
    }
    const std::string memo = dir.File("many.dat");
    AppTestFiles::WriteMemoFile(memo, many);
    AppTestFiles::WriteText(ini, "[Lazrine]\nQuitRemind=0\nUserID=9\nMemoFile=" + memo + "\n");
    session::WorkspaceHooks hooks = session::WorkspaceHooks::Defaults();
    hooks.enumerateUsers = [] {
        return std::vector<palm::PmUserInfo>{{7, "Jo", "Jo"}, {9, "Ren\xe9", "Rene"}};
    };
    const auto start = std::chrono::steady_clock::now();
    Open(hooks);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    HWND list = Named("lvMemo");
    EXPECT_EQ(Count(list), 100000);
    EXPECT_EQ(Cell(list, 99999, 0), "note 100000");

    HWND users = Named("cmbUser");
    ASSERT_EQ(::SendMessageW(users, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageW(users, CB_GETCURSEL, 0, 0), 1);
    wchar_t name[16] = {};
    ::SendMessageW(users, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(WinText::Utf8(name), "Ren\xC3\xA9");
    ::SendMessageW(users, CB_SETCURSEL, 0, 0);
    ::SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(WinMainWindow::kUser, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(users));
    EXPECT_EQ(window->Options().nUserId, 7u);
    EXPECT_EQ(Count(list), 100000);
}

}  // namespace
}  // namespace lazrine::testing
