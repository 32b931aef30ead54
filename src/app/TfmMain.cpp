#include "app/TfmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QUrl>
#include <cstdio>

#include "app/TfmOption.h"
#include "app/TfmQuitConfirm.h"
#include "common/export/ExportFormat.h"
#include "common/export/RecordExporter.h"

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

TfmMain::TfmMain(std::string settingsFile, UiServices& ui, TfmMainHooks hooks, QWidget* parent)
    : QWidget(parent),
      m_szSettingsFile(std::move(settingsFile)),
      m_ui(ui),
      m_hooks(std::move(hooks)),
      m_lblUser(QStringLiteral("Select Palm Desktop User:")),
      m_btnOption(QStringLiteral("...")),
      m_btnHelp(QStringLiteral("&Help")),
      m_btnExit(QStringLiteral("E&xit")) {
    FormCreate();
}

TfmMain::~TfmMain() { FormDestroy(); }

const palm::PmKindInfo& TfmMain::KindOf(int page) const {
    return palm::PmKindInfo::All().at(static_cast<std::size_t>(page));
}

void TfmMain::FormCreate() {
    // Which libraries were found makes no difference here: without them
    // there are no users, and named files still load.
    palm::PmDesktop::PmLoadDesktopLibraries(m_szSettingsFile);
    ReadSettings();
    // Every record set keeps all records; the window does the filtering.
    for (std::size_t page = 0; page < m_RecordSets.size(); ++page) {
        if (m_hooks.createRecordSet) {
            m_RecordSets[page] = m_hooks.createRecordSet(palm::PmKindInfo::All()[page].szName);
        }
        if (m_RecordSets[page]) {
            m_RecordSets[page]->SetIncludeDeleted(true);
            m_RecordSets[page]->UseSettingsFile(m_szSettingsFile);
        }
    }
    BuildControls();
    FillUserList();
    // A page set to "All Records" switches over now, which refills it and
    // disables its Undelete button; the others stay on "Deleted Records".
    for (int page = 0; page < kPageCount; ++page) {
        if (m_Option.AllFlag(page) != 0) {
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
        const palm::PmKindInfo& kind = KindOf(page);
        m_pages[index] =
            std::make_unique<TfmPage>(kind, QString::fromLatin1(kind.szPrefix), webSite, &m_spMain);
        TfmPage& p = *m_pages[index];
        p.Model().SetRecordSet(m_RecordSets[index].get());
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
    FreeUserList();
    WriteSettings();
    palm::PmDesktop::PmUnloadDesktopLibraries();
    // The lists stop referring to the record sets before these go.
    for (std::size_t page = 0; page < m_RecordSets.size(); ++page) {
        if (m_pages[page]) {
            m_pages[page]->Model().SetRecordSet(nullptr);
        }
        m_RecordSets[page].reset();
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
    if (m_Option.bQuitRemind == 0) {
        return true;
    }
    TfmQuitConfirm confirm(&m_Option, this);
    return m_ui.Exec(confirm) == QDialog::Accepted;
}

void TfmMain::ReadSettings() { m_Option = OptionRec::Read(m_szSettingsFile); }

void TfmMain::WriteSettings() {
    // At shut-down nobody is left to tell but the log.
    if (!m_Option.Write(m_szSettingsFile)) {
        std::fprintf(stderr, "lazrine: could not write the settings file %s\n", m_szSettingsFile.c_str());
    }
}

void TfmMain::FreeUserList() { m_Users.clear(); }

void TfmMain::FillUserList() {
    m_bReady = false;
    FreeUserList();
    m_cmbUser.clear();
    if (m_hooks.enumerateUsers) {
        m_Users = m_hooks.enumerateUsers();
    }
    m_szUsersProblem.clear();
    if (m_Users.empty()) {
        m_szUsersProblem = QStringLiteral("No Palm Desktop users were found: %1.")
                               .arg(QString::fromStdString(palm::PmDesktop::PmNoUsersReason(m_szSettingsFile)));
    }
    ShowStatus();
    int selected = 0;
    bool found = false;
    for (std::size_t i = 0; i < m_Users.size(); ++i) {
        // Each item carries the position of its user in m_Users.
        m_cmbUser.addItem(FromLocal(m_Users[i].szName), QVariant::fromValue(static_cast<qulonglong>(i)));
        if (!found && m_Users[i].nUserId == m_Option.nUserId) {
            selected = static_cast<int>(i);
            found = true;
        }
    }
    if (!m_Users.empty()) {
        m_cmbUser.setCurrentIndex(selected);
        // A saved user that is gone is replaced by the one now shown.
        if (!found || m_Option.nUserId == 0) {
            m_Option.nUserId = m_Users[static_cast<std::size_t>(selected)].nUserId;
        }
    }
    m_bReady = true;
    cmbUserChange();
}

void TfmMain::cmbUserChange() {
    if (!m_bReady) {
        return;
    }
    const int item = m_cmbUser.currentIndex();
    if (m_Users.empty() || item < 0) {
        // Without users, the files the settings name are still data.
        for (int page = 0; page < kPageCount; ++page) {
            if (!m_Option.FileOf(page).empty()) {
                RefillPage(page, true);
            }
        }
        return;
    }
    const auto user = m_cmbUser.itemData(item).toULongLong();
    if (user < m_Users.size()) {
        m_Option.nUserId = m_Users[user].nUserId;
    }
    for (int page = 0; page < kPageCount; ++page) {
        RefillPage(page, true);
    }
}

void TfmMain::RefillPage(int page, bool reload) {
    TfmPage& p = PageAt(page);
    p.Model().Clear();
    palm::PmRecordSet* rs = m_RecordSets.at(static_cast<std::size_t>(page)).get();
    if (rs == nullptr) {
        return;
    }
    if (reload) {
        // A failed load leaves the record set, and so the page, empty; the
        // status bar says why.
        const std::string& file = m_Option.FileOf(page);
        const bool loaded = !file.empty() ? rs->LoadFile(file) : rs->LoadForUser(m_Option.nUserId);
        QString& problem = m_LoadProblems.at(static_cast<std::size_t>(page));
        problem.clear();
        if (!loaded) {
            problem = QStringLiteral("Palm %1 data could not be loaded: %2.")
                          .arg(QString::fromLatin1(KindOf(page).szPalmName), QString::fromStdString(rs->LastError()));
        }
        ShowStatus();
    }
    p.Model().Refill(m_Option.AllFlag(page) != 0);
}

void TfmMain::ShowStatus() {
    QStringList parts;
    if (!m_szUsersProblem.isEmpty()) {
        parts << m_szUsersProblem;
    }
    for (const QString& problem : m_LoadProblems) {
        if (!problem.isEmpty()) {
            parts << problem;
        }
    }
    m_sbMain.showMessage(parts.join(QStringLiteral("  ")));
}

void TfmMain::ReloadChanged(const std::array<bool, kPageCount>& changed) {
    for (int page = 0; page < kPageCount; ++page) {
        if (changed[static_cast<std::size_t>(page)]) {
            RefillPage(page, true);
        }
    }
}

std::optional<std::array<bool, TfmMain::kPageCount>> TfmMain::RunOptionsDialog() {
    std::array<const palm::PmRecordSet*, kPageCount> recordSets{};
    for (std::size_t page = 0; page < recordSets.size(); ++page) {
        recordSets[page] = m_RecordSets[page].get();
    }
    std::string userFolder;
    if (!m_Users.empty() && !palm::PmDesktop::PmGetUserDataPath(m_Option.nUserId, userFolder)) {
        userFolder.clear();
    }
    TfmOption dialog(&m_Option, recordSets, m_ui, userFolder, this);
    if (m_ui.Exec(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.ChangedFlags();
}

void TfmMain::btnOptionClick() {
    if (const auto changed = RunOptionsDialog()) {
        ReloadChanged(*changed);
        // A name accepted a moment ago may fail to load now (changed, locked
        // or gone since): say so rather than show an empty page.
        for (int page = 0; page < kPageCount; ++page) {
            const auto index = static_cast<std::size_t>(page);
            const palm::PmRecordSet* rs = m_RecordSets[index].get();
            const std::string& file = m_Option.FileOf(page);
            if (!(*changed)[index] || rs == nullptr || file.empty() || rs->LoadedKind() != palm::PM_STORE_FAILED) {
                continue;
            }
            m_ui.ErrorWithDetail(this, QStringLiteral("Error"),
                                 QStringLiteral("Palm %1 data could not be loaded from %2.")
                                     .arg(QString::fromLatin1(KindOf(page).szPalmName),
                                          QFile::decodeName(QByteArray::fromStdString(file))),
                                 QString::fromStdString(rs->LastError()));
        }
    }
}

void TfmMain::btnHelpClick() { m_ui.OpenUrl(GuideUrl()); }

void TfmMain::lnkWebClick(const QString& link) { m_ui.OpenUrl(QUrl(link)); }

void TfmMain::btnExitClick() { close(); }

void TfmMain::rbtnDelClick(int page) {
    m_Option.AllFlag(page) = 0;
    RefillPage(page, false);
    PageAt(page).btnUnDel().setEnabled(true);
}

void TfmMain::rbtnAllClick(int page) {
    m_Option.AllFlag(page) = 1;
    RefillPage(page, false);
    PageAt(page).btnUnDel().setEnabled(false);
}

void TfmMain::btnSelClick(int page) { PageAt(page).Model().SetAllChecked(true); }

void TfmMain::btnClearClick(int page) { PageAt(page).Model().SetAllChecked(false); }

void TfmMain::btnUnDelClick(int page) { UndeleteChecked(page); }

void TfmMain::UndeleteChecked(int page) {
    const palm::PmKindInfo& kind = KindOf(page);
    const QString palmName = QString::fromLatin1(kind.szPalmName);
    palm::PmRecordSet* rs = m_RecordSets.at(static_cast<std::size_t>(page)).get();
    const std::vector<std::size_t> checked = PageAt(page).Model().CheckedRecords();
    if (rs == nullptr || checked.empty()) {
        m_ui.Information(this, QStringLiteral("Information"), QString::fromStdString(kind.NothingSelectedMessage()));
        return;
    }

    int undone = 0;
    int failed = 0;
    std::string reason;
    for (const std::size_t index : checked) {
        if (rs->Undelete(rs->CommonAt(index))) {
            ++undone;
        } else {
            ++failed;
            if (reason.empty()) {
                reason = rs->LastError();
            }
        }
    }
    if (failed > 0) {
        // The undeletes that succeeded only waited for the save.
        rs->RevertPending();
        const QString text =
            QStringLiteral("Palm %1 undelete failed: %2 of %3 selected records could not be undeleted (%4).")
                .arg(palmName)
                .arg(failed)
                .arg(static_cast<int>(checked.size()))
                .arg(QString::fromStdString(reason)) +
            QStringLiteral(" Nothing was written; the file was left unchanged.");
        m_ui.Error(this, QStringLiteral("Error"), text);
        // Show what the data holds, not what memory was changed to.
        RefillPage(page, true);
        return;
    }

    const bool saved = rs->Save();
    if (!saved && rs->SaveReplacedFile()) {
        // The undeleted records are in the file; only its durability is in doubt.
        m_ui.Error(this, QStringLiteral("Error"),
                   QStringLiteral("Palm %1 undelete: the file was replaced, but the change may not survive a crash "
                                  "(%2).")
                       .arg(palmName, QString::fromStdString(rs->LastError())));
        RefillPage(page, false);
        return;
    }
    if (!saved) {
        m_ui.Error(this, QStringLiteral("Error"),
                   QStringLiteral("Palm %1 undelete failed: the data could not be written (%2). The file was left "
                                  "unchanged; no records were undeleted.")
                       .arg(palmName, QString::fromStdString(rs->LastError())));
        RefillPage(page, true);
        return;
    }
    m_ui.Information(this, QStringLiteral("Information"), QString::fromStdString(kind.SuccessMessage(undone)));
    RefillPage(page, false);
}

void TfmMain::btnExportClick(int page) {
    const palm::PmKindInfo& kind = KindOf(page);
    const QString palmName = QString::fromLatin1(kind.szPalmName);
    palm::PmRecordSet* rs = m_RecordSets.at(static_cast<std::size_t>(page)).get();
    const RecordTableModel& model = PageAt(page).Model();
    std::vector<std::size_t> rows = model.CheckedRecords();
    if (rows.empty()) {
        if (rs == nullptr || model.ShownRecords().empty()) {
            m_ui.Information(this, QStringLiteral("Information"),
                             QStringLiteral("No Palm %1 records are shown, export canceled.").arg(palmName));
            return;
        }
        const std::size_t shown = model.ShownRecords().size();
        if (!m_ui.Ask(this, QStringLiteral("Export"),
                      QStringLiteral("No records are checked. Export all %1 shown record%2?")
                          .arg(static_cast<qulonglong>(shown))
                          .arg(shown == 1 ? QString() : QStringLiteral("s")))) {
            return;
        }
        rows = model.ShownRecords();
    }

    const std::vector<exporting::ExportFormat::Id> formats = exporting::ExportFormat::ForKind(kind.szName);
    QStringList filters;
    for (const auto format : formats) {
        filters << QStringLiteral("%1 (*%2)").arg(QString::fromLatin1(exporting::ExportFormat::Title(format)),
                                                  QString::fromLatin1(exporting::ExportFormat::Extension(format)));
    }
    QString chosen;
    QString filter;
    const QString suggested = QDir::home().filePath(QString::fromLatin1(kind.szName) +
                                                    QString::fromLatin1(exporting::ExportFormat::Extension(formats.front())));
    if (!m_ui.ChooseSaveFile(this, QStringLiteral("Export"), suggested, filters, chosen, filter)) {
        return;
    }
    // The type picked in the dialog, else the one the file name ends with,
    // else the kind's first.
    exporting::ExportFormat::Id format = formats.front();
    const auto picked = filters.indexOf(filter);
    if (picked >= 0) {
        format = formats.at(static_cast<std::size_t>(picked));
    } else {
        for (const auto f : formats) {
            if (chosen.endsWith(QString::fromLatin1(exporting::ExportFormat::Extension(f)), Qt::CaseInsensitive)) {
                format = f;
            }
        }
    }

    exporting::RecordExporter exporter(*rs, format);
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = exporter.WriteFile(rows, chosen.toStdString(), error);
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_ui.Error(this, QStringLiteral("Error"),
                   QStringLiteral("Palm %1 export failed: %2.%3")
                       .arg(palmName, QString::fromStdString(error),
                            exporter.OutputInPlace() ? QString() : QStringLiteral(" Nothing was written.")));
        return;
    }
    // What the format could not hold follows the report, one line each.
    QString notes;
    for (const std::string& note : exporter.Notes()) {
        notes += QStringLiteral("\n") + QString::fromStdString(note) + QStringLiteral(".");
    }
    m_ui.Information(this, QStringLiteral("Information"),
                     QStringLiteral("Palm %1 export successfully, %2 record%3 written to %4.")
                         .arg(palmName)
                         .arg(static_cast<qulonglong>(rows.size()))
                         .arg(rows.size() == 1 ? QStringLiteral(" was") : QStringLiteral("s were"))
                         .arg(chosen) +
                         notes);
}

}  // namespace lazrine::app
