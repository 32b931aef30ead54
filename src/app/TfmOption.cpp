#include "app/TfmOption.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <cassert>

#include "session/Messages.h"

namespace lazrine::app {
namespace {

constexpr int kClientWidth = 477;
constexpr int kClientHeight = 218;

QString CaptionOf(int kind) {
    return QString::fromLatin1(palm::PmKindInfo::Of(static_cast<palm::PmKind>(kind)).szCaption);
}

// Names are kept as the file system's bytes.
QString FromName(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
std::string ToName(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace

TfmOption::TfmOption(session::OptionRec* pOption, const session::OptionsFlow::RecordSets& recordSets,
                     UiServices& ui, std::string userDataFolder, QWidget* parent)
    : QDialog(parent),
      m_pOption(pOption),
      m_Flow(recordSets),
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
        const QString prefix = QString::fromLatin1(palm::PmKindInfo::Of(KindAt(kind)).szPrefix);
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
    m_pFile.setCurrentIndex(0);

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
    const bool available = m_Flow.Available(KindAt(kind));
    p.cbFile.setEnabled(available);
    p.edtFile.setEnabled(p.cbFile.isChecked());
    p.edtFile.setReadOnly(!available);
    p.btnFile.setEnabled(available && p.cbFile.isChecked());
}

void TfmOption::btnFileClick(int kind) {
    const session::OptionsFlow::Verdict verdict =
        m_Flow.Browse(KindAt(kind), ToName(PageOf(kind).edtFile.text().trimmed()), m_szUserDataFolder,
                      ToName(QDir::homePath()), m_ui);
    if (verdict.nOutcome == session::Outcome::kOk) {
        PageOf(kind).edtFile.setText(FromName(verdict.szPath));
    } else if (verdict.nOutcome != session::Outcome::kCancelled) {
        Refuse(kind, session::Messages::InvalidBrowsedFile(palm::PmKindInfo::Of(KindAt(kind))), verdict.szReason);
    }
}

void TfmOption::Refuse(int kind, const std::string& message, const std::string& reason) {
    m_ui.ErrorWithDetail(session::Messages::kError, message, reason);
    KindPage& p = PageOf(kind);
    m_pFile.setCurrentIndex(kind);
    p.edtFile.setFocus(Qt::OtherFocusReason);
    p.edtFile.selectAll();
}

void TfmOption::btnOKClick() {
    if (ApplyOptions()) {
        accept();
    }
}

bool TfmOption::ApplyOptions() {
    std::array<session::OptionsFlow::Choice, palm::kPmKindCount> choices;
    for (int kind = 0; kind < kKindCount; ++kind) {
        const KindPage& p = PageOf(kind);
        choices.at(static_cast<std::size_t>(kind)) = {p.cbFile.isChecked(), ToName(p.edtFile.text())};
    }
    const session::OptionsFlow::ApplyReport report = m_Flow.Apply(choices, *m_pOption);
    if (report.nOutcome != session::Outcome::kOk) {
        Refuse(static_cast<int>(report.nRefused), session::Messages::InvalidDataFile(palm::PmKindInfo::Of(report.nRefused)),
               report.szReason);
        return false;
    }
    m_bChanged = report.changed;
    return true;
}

}  // namespace lazrine::app
