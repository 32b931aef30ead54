#include "app/TfmOption.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <cassert>

namespace lazrine::app {
namespace {

constexpr int kClientWidth = 477;
constexpr int kClientHeight = 218;

// Per kind, in page order: the page caption, which names the kind in every
// text of the page, and the prefix of the page's control names.
struct KindRow {
    const char* szCaption;
    const char* szPrefix;
};

constexpr std::array<KindRow, TfmOption::kKindCount> kKinds{{
    {"Contacts", "Addr"},
    {"Calendar", "Date"},
    {"Tasks", "Todo"},
    {"Memos", "Memo"},
}};

QString CaptionOf(int kind) { return QString::fromLatin1(kKinds.at(static_cast<std::size_t>(kind)).szCaption); }

QString OkMessage(int kind) { return QStringLiteral("Invalid Palm %1 data file.").arg(CaptionOf(kind)); }

QString BrowseMessage(int kind) {
    return QStringLiteral("%1 file invalid, please try another one.").arg(CaptionOf(kind));
}

// Names are kept as the file system's bytes.
QString FromName(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
std::string ToName(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace

TfmOption::TfmOption(OptionRec* pOption, const std::array<const palm::PmRecordSet*, kKindCount>& recordSets,
                     UiServices& ui, std::string userDataFolder, QWidget* parent)
    : QDialog(parent),
      m_pOption(pOption),
      m_RecordSets(recordSets),
      m_ui(ui),
      m_szUserDataFolder(std::move(userDataFolder)),
      m_lblFile(QStringLiteral("You may also open Palm Desktop database by file name:")),
      m_btnOK(QStringLiteral("&OK")),
      m_btnCancel(QStringLiteral("&Cancel")) {
    assert(m_pOption != nullptr && "pOption");
    FormCreate();
}

TfmOption::~TfmOption() = default;

void TfmOption::FormCreate() {
    m_bChanged.fill(false);
    BuildControls();
    ShowOptions();
    for (int kind = 0; kind < kKindCount; ++kind) {
        cbFileClick(kind);
    }
}

void TfmOption::BuildControls() {
    setObjectName(QStringLiteral("fmOption"));
    setWindowTitle(QStringLiteral("Lazrine Options"));
    setFixedSize(kClientWidth, kClientHeight);
    m_pFile.setObjectName(QStringLiteral("pFile"));
    m_btnOK.setObjectName(QStringLiteral("btnOK"));
    m_btnCancel.setObjectName(QStringLiteral("btnCancel"));

    for (int kind = 0; kind < kKindCount; ++kind) {
        const auto index = static_cast<std::size_t>(kind);
        const QString prefix = QString::fromLatin1(kKinds[index].szPrefix);
        m_pages[index] = std::make_unique<KindPage>();
        KindPage& p = *m_pages[index];
        p.page.setObjectName(QStringLiteral("t") + prefix);
        p.cbFile.setObjectName(QStringLiteral("cb") + prefix + QStringLiteral("File"));
        p.edtFile.setObjectName(QStringLiteral("edt") + prefix + QStringLiteral("File"));
        p.btnFile.setObjectName(QStringLiteral("btn") + prefix + QStringLiteral("File"));
        p.cbFile.setText(QStringLiteral("File Name"));
        p.btnFile.setText(QStringLiteral("..."));
        p.btnFile.setFixedWidth(28);
        // Browsing is reached by the button, not by Enter in the edit.
        p.btnFile.setAutoDefault(false);
        p.row.addWidget(&p.cbFile);
        p.row.addWidget(&p.edtFile, 1);
        p.row.addWidget(&p.btnFile);
        p.page.setLayout(&p.row);
        m_pFile.addTab(&p.page, CaptionOf(kind));

        connect(&p.cbFile, &QCheckBox::toggled, this, [this, kind](bool) { cbFileClick(kind); });
        connect(&p.btnFile, &QPushButton::clicked, this, [this, kind] { btnFileClick(kind); });
    }
    m_pFile.setCurrentIndex(kAddr);

    // Enter presses OK; Escape cancels, as in every dialog.
    m_btnOK.setDefault(true);
    m_btnCancel.setAutoDefault(false);
    m_buttonRow.addStretch(1);
    m_buttonRow.addWidget(&m_btnOK);
    m_buttonRow.addWidget(&m_btnCancel);
    m_layout.addWidget(&m_lblFile);
    m_layout.addWidget(&m_pFile, 1);
    m_layout.addLayout(&m_buttonRow);
    setLayout(&m_layout);

    connect(&m_btnOK, &QPushButton::clicked, this, &TfmOption::btnOKClick);
    connect(&m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
}

void TfmOption::ShowOptions() {
    for (int kind = 0; kind < kKindCount; ++kind) {
        KindPage& p = PageOf(kind);
        const std::string& stored = m_pOption->FileOf(kind);
        p.cbFile.setChecked(!stored.empty());
        p.edtFile.setText(FromName(stored));
    }
}

void TfmOption::cbFileClick(int kind) {
    KindPage& p = PageOf(kind);
    const bool available = m_RecordSets.at(static_cast<std::size_t>(kind)) != nullptr;
    p.cbFile.setEnabled(available);
    p.edtFile.setEnabled(p.cbFile.isChecked());
    p.edtFile.setReadOnly(!available);
    p.btnFile.setEnabled(available && p.cbFile.isChecked());
}

QString TfmOption::StartFolder(int kind) const {
    const QString current = m_pages.at(static_cast<std::size_t>(kind))->edtFile.text().trimmed();
    if (!current.isEmpty()) {
        const QFileInfo info(QDir::current().absoluteFilePath(current));
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    const QString userFolder = FromName(m_szUserDataFolder);
    if (!userFolder.isEmpty() && QFileInfo(userFolder).isDir()) {
        return userFolder;
    }
    return QDir::homePath();
}

bool TfmOption::ChooseDataFile(int kind, std::string& path) {
    const QStringList filters{QStringLiteral("Palm Desktop Database File (*.dat *.mdb)"),
                              QStringLiteral("All Files (*)")};
    QString chosen;
    if (!m_ui.ChooseOpenFile(this, QStringLiteral("Open Palm Desktop %1 data file").arg(CaptionOf(kind)),
                             StartFolder(kind), filters, chosen)) {
        return false;
    }
    path = ToName(chosen);
    return true;
}

void TfmOption::btnFileClick(int kind) {
    std::string chosen;
    if (!ChooseDataFile(kind, chosen)) {
        return;
    }
    std::string accepted;
    if (Accept(kind, FromName(chosen), BrowseMessage(kind), accepted)) {
        PageOf(kind).edtFile.setText(FromName(accepted));
    }
}

void TfmOption::Refuse(int kind, const QString& message, const QString& reason) {
    m_ui.ErrorWithDetail(this, QStringLiteral("Error"), message, reason);
    KindPage& p = PageOf(kind);
    m_pFile.setCurrentIndex(kind);
    p.edtFile.setFocus(Qt::OtherFocusReason);
    p.edtFile.selectAll();
}

bool TfmOption::Accept(int kind, const QString& name, const QString& message, std::string& path) {
    if (!OptionRec::IsStorableFileName(ToName(name))) {
        Refuse(kind, message, QStringLiteral("The name holds a line break or another control character."));
        return false;
    }
    // A relative name means the file the probe finds from here, and is kept
    // as that file's absolute name, so that the next start finds it again.
    path = name.isEmpty() ? std::string() : ToName(QDir::current().absoluteFilePath(name));
    const palm::PmRecordSet::ProbeResult probe = m_RecordSets.at(static_cast<std::size_t>(kind))->ProbeWithReason(path);
    if (probe.nKind == palm::PM_STORE_FAILED) {
        QString reason = QString::fromStdString(probe.szReason);
        if (!reason.isEmpty()) {
            reason[0] = reason[0].toUpper();
        }
        Refuse(kind, message, reason + QLatin1Char('.'));
        return false;
    }
    return true;
}

void TfmOption::btnOKClick() {
    if (ApplyOptions()) {
        accept();
    }
}

bool TfmOption::ApplyOptions() {
    std::array<std::string, kKindCount> names;
    for (int kind = 0; kind < kKindCount; ++kind) {
        KindPage& p = PageOf(kind);
        if (m_RecordSets.at(static_cast<std::size_t>(kind)) == nullptr || !p.cbFile.isChecked()) {
            continue;
        }
        if (!Accept(kind, p.edtFile.text(), OkMessage(kind), names.at(static_cast<std::size_t>(kind)))) {
            return false;
        }
    }
    for (int kind = 0; kind < kKindCount; ++kind) {
        const auto index = static_cast<std::size_t>(kind);
        if (m_RecordSets.at(index) == nullptr) {
            continue;
        }
        std::string& stored = m_pOption->FileOf(kind);
        const std::string wanted = PageOf(kind).cbFile.isChecked() ? names[index] : std::string();
        if (wanted != stored) {
            stored = wanted;
            m_bChanged[index] = true;
        }
    }
    return true;
}

}  // namespace lazrine::app
