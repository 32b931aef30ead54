#include "app/TfmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QScreen>
#include <QStringList>
#include <QUrl>
#include <cstdio>

#include "app/TfmBackups.h"
#include "app/TfmOption.h"
#include "app/TfmQuitConfirm.h"
#include "session/BackupList.h"
#include "session/ExportJob.h"
#include "session/WindowActions.h"

namespace lazrine::app {
namespace {

constexpr int kClientWidth = 794;
constexpr int kClientHeight = 594;
// The user guide installed with the program, found from the program's own
// folder; the web site is a build-time setting that defaults to the guide.
QUrl GuideUrl() {
    return QUrl::fromLocalFile(QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(LAZRINE_GUIDE_FROM_BIN))));
}

QString WebSiteUrl() {
    const QString configured = QStringLiteral(LAZRINE_WEB_SITE_URL);
    return configured.isEmpty() ? GuideUrl().toString() : configured;
}

QString FromLocal(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TfmMain::TfmMain(std::string settingsFile, UiServices& ui, session::WorkspaceHooks hooks, QWidget* parent)
    : QWidget(parent),
      m_ui(ui),
      m_Workspace(std::move(settingsFile), std::move(hooks)),
      m_lblUser(QStringLiteral("Select Palm Desktop User:")),
      m_btnOption(QStringLiteral("...")),
      m_btnHelp(QStringLiteral("&Help")),
      m_btnExit(QStringLiteral("E&xit")) {
    FormCreate();
}

TfmMain::~TfmMain() { FormDestroy(); }

void TfmMain::FormCreate() {
    m_Workspace.Open();
    BuildControls();
    FillUserList();
    // A page set to "All Records" switches over now, which disables its
    // Undelete button; the others stay on "Deleted Records".
    for (int page = 0; page < kPageCount; ++page) {
        if (m_Workspace.Options().AllFlag(page) != 0) {
            PageAt(page).rbtnAll().setChecked(true);
        } else {
            PageAt(page).rbtnDel().setChecked(true);
        }
    }
}

void TfmMain::BuildControls() {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Lazrine Utility"));
    setFixedSize(kClientWidth, kClientHeight);

    m_cmbUser.setObjectName(QStringLiteral("cmbUser"));
    m_cmbUser.setEditable(false);
    m_cmbUser.setMinimumWidth(260);
    m_btnOption.setObjectName(QStringLiteral("btnOption"));
    m_btnOption.setFixedWidth(28);
    m_btnOption.setToolTip(QStringLiteral("Options"));
    m_btnOption.setAccessibleName(QStringLiteral("Options"));
    m_btnHelp.setObjectName(QStringLiteral("btnHelp"));
    m_btnExit.setObjectName(QStringLiteral("btnExit"));
    m_spMain.setObjectName(QStringLiteral("spMain"));
    m_sbMain.setObjectName(QStringLiteral("sbMain"));
    m_sbMain.setSizeGripEnabled(false);

    m_topRow.addWidget(&m_lblUser);
    m_topRow.addWidget(&m_cmbUser);
    m_topRow.addWidget(&m_btnOption);
    m_topRow.addStretch(1);
    m_topRow.addWidget(&m_btnHelp);
    m_topRow.addWidget(&m_btnExit);
    m_layout.setContentsMargins(0, 8, 0, 0);
    m_topRow.setContentsMargins(8, 0, 8, 0);
    m_layout.addLayout(&m_topRow);
    m_layout.addWidget(&m_spMain, 1);
    m_layout.addWidget(&m_sbMain);
    setLayout(&m_layout);

    const QString webSite = WebSiteUrl();
    for (int page = 0; page < kPageCount; ++page) {
        const auto index = static_cast<std::size_t>(page);
        const palm::PmKindInfo& kind = palm::PmKindInfo::Of(KindAt(page));
        m_pages[index] = std::make_unique<TfmPage>(kind, QString::fromLatin1(kind.szPrefix), webSite, &m_spMain);
        TfmPage& p = *m_pages[index];
        p.Model().SetSession(&m_Workspace.Session(kind.nKind));
        m_spMain.addTab(&p, QString::fromLatin1(kind.szPageCaption));

        // A radio button acts when it becomes checked, as a click on an
        // unchecked one does.
        connect(&p.rbtnDel(), &QRadioButton::toggled, this, [this, page](bool on) {
            if (on) {
                rbtnDelClick(page);
            }
        });
        connect(&p.rbtnAll(), &QRadioButton::toggled, this, [this, page](bool on) {
            if (on) {
                rbtnAllClick(page);
            }
        });
        connect(&p.btnSel(), &QPushButton::clicked, this, [this, page] { btnSelClick(page); });
        connect(&p.btnClear(), &QPushButton::clicked, this, [this, page] { btnClearClick(page); });
        connect(&p.btnUnDel(), &QPushButton::clicked, this, [this, page] { btnUnDelClick(page); });
        connect(&p.btnExport(), &QPushButton::clicked, this, [this, page] { btnExportClick(page); });
        connect(&p.btnBackups(), &QPushButton::clicked, this, [this, page] { btnBackupsClick(page); });
        connect(&p.lnkWeb(), &QLabel::linkActivated, this, &TfmMain::lnkWebClick);
    }
    m_spMain.setCurrentIndex(kPageMemo);

    connect(&m_cmbUser, &QComboBox::currentIndexChanged, this, [this](int) { cmbUserChange(); });
    connect(&m_btnOption, &QPushButton::clicked, this, &TfmMain::btnOptionClick);
    connect(&m_btnHelp, &QPushButton::clicked, this, &TfmMain::btnHelpClick);
    connect(&m_btnExit, &QPushButton::clicked, this, &TfmMain::btnExitClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
}

void TfmMain::FormDestroy() {
    // At shut-down nobody is left to tell but the log.
    if (!m_Workspace.Close()) {
        std::fprintf(stderr, "lazrine: could not write the settings file %s\n", m_Workspace.SettingsFile().c_str());
    }
    // The lists stop referring to the sessions before these go.
    for (auto& page : m_pages) {
        if (page) {
            page->Model().SetSession(nullptr);
        }
    }
}

void TfmMain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TfmMain::FormCloseQuery() {
    if (m_Workspace.Options().bQuitRemind == 0) {
        return true;
    }
    TfmQuitConfirm confirm(&m_Workspace.Options(), this);
    return m_ui.Exec(confirm) == QDialog::Accepted;
}

void TfmMain::FillUserList() {
    m_bReady = false;
    m_cmbUser.clear();
    m_Workspace.RefreshUsers();
    const auto& users = m_Workspace.Users();
    for (std::size_t i = 0; i < users.size(); ++i) {
        // Each item carries the position of its user in the user list.
        m_cmbUser.addItem(FromLocal(users[i].szName), QVariant::fromValue(static_cast<qulonglong>(i)));
    }
    if (!users.empty()) {
        m_cmbUser.setCurrentIndex(static_cast<int>(m_Workspace.SelectedUser()));
    }
    m_bReady = true;
    cmbUserChange();
}

void TfmMain::cmbUserChange() {
    if (!m_bReady) {
        return;
    }
    const int item = m_cmbUser.currentIndex();
    if (m_Workspace.Users().empty() || item < 0) {
        // Without users, the files the settings name are still data.
        m_Workspace.LoadAll();
    } else {
        m_Workspace.SelectUser(static_cast<std::size_t>(m_cmbUser.itemData(item).toULongLong()));
    }
    for (int page = 0; page < kPageCount; ++page) {
        ShowPage(page);
    }
}

void TfmMain::ShowPage(int page) {
    PageAt(page).Model().Reset();
    ShowStatus();
}

void TfmMain::ShowStatus() { m_sbMain.showMessage(QString::fromStdString(m_Workspace.StatusText())); }

void TfmMain::ReloadChanged(const std::array<bool, kPageCount>& changed) {
    m_Workspace.ReloadChanged(changed);
    for (int page = 0; page < kPageCount; ++page) {
        if (changed[static_cast<std::size_t>(page)]) {
            ShowPage(page);
        }
    }
}

std::optional<std::array<bool, TfmMain::kPageCount>> TfmMain::RunOptionsDialog() {
    TfmOption dialog(&m_Workspace.Options(), m_Workspace.RecordSets(), m_ui, m_Workspace.UserDataFolder(), this);
    if (m_ui.Exec(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.ChangedFlags();
}

void TfmMain::btnOptionClick() {
    const auto changed = RunOptionsDialog();
    if (!changed) {
        return;
    }
    ReloadChanged(*changed);
    session::WindowActions::ReportFailedReloads(m_Workspace, *changed, m_ui);
}

void TfmMain::btnHelpClick() { m_ui.OpenUrl(GuideUrl().toString().toStdString()); }

void TfmMain::lnkWebClick(const QString& link) { m_ui.OpenUrl(link.toStdString()); }

void TfmMain::btnExitClick() { close(); }

void TfmMain::rbtnDelClick(int page) {
    m_Workspace.SetShowAll(KindAt(page), false);
    ShowPage(page);
    PageAt(page).btnUnDel().setEnabled(true);
}

void TfmMain::rbtnAllClick(int page) {
    m_Workspace.SetShowAll(KindAt(page), true);
    ShowPage(page);
    PageAt(page).btnUnDel().setEnabled(false);
}

void TfmMain::btnSelClick(int page) { PageAt(page).Model().SetAllChecked(true); }

void TfmMain::btnClearClick(int page) { PageAt(page).Model().SetAllChecked(false); }

void TfmMain::btnUnDelClick(int page) {
    session::WindowActions::Undelete(m_Workspace, KindAt(page), m_ui);
    ShowPage(page);
}

void TfmMain::btnExportClick(int page) {
    session::WindowActions::Export(m_Workspace, KindAt(page), m_ui, SuggestedExport(page), &TfmMain::ShowBusy);
}

std::string TfmMain::SuggestedExport(int page) {
    const std::string name = session::ExportJob::SuggestedName(palm::PmKindInfo::Of(KindAt(page)));
    return QDir::home().filePath(QString::fromStdString(name)).toStdString();
}

void TfmMain::ShowBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TfmMain::btnBackupsClick(int page) {
    session::BackupList list(m_Workspace, KindAt(page));
    QProgressDialog progress(QStringLiteral("Searching the user's folder…"), QStringLiteral("Cancel"), 0, 0, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const bool scanned = list.ScanOrExplain(m_ui, [&progress](std::size_t seen, const std::string&) {
        if (seen % 20 == 0) {
            progress.setLabelText(QStringLiteral("Searching the user's folder… %1 files").arg(seen));
            QCoreApplication::processEvents();
        }
        return !progress.wasCanceled();
    });
    progress.reset();
    if (!scanned) {
        return;
    }
    TfmBackups dialog(list, m_ui, SuggestedExport(page), &TfmMain::ShowBusy, this);
    m_ui.Exec(dialog);
}

}  // namespace lazrine::app
