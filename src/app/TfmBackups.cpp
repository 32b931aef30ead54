#include "app/TfmBackups.h"

#include <QHeaderView>

namespace lazrine::app {

TfmBackups::TfmBackups(session::BackupList& list, UiServices& ui, std::string suggested,
                       std::function<void(bool)> busy, QWidget* parent)
    : QDialog(parent),
      m_list(list),
      m_ui(ui),
      m_szSuggested(std::move(suggested)),
      m_busy(std::move(busy)),
      m_model(list),
      m_btnSel(QStringLiteral("&Select All")),
      m_btnClear(QStringLiteral("&Clear")),
      m_btnExport(QStringLiteral("&Export…")),
      m_btnClose(QStringLiteral("Close")) {
    setWindowTitle(QString::fromUtf8(session::BackupList::kTitle));
    setObjectName(QStringLiteral("fmBackups"));
    m_lblSummary.setObjectName(QStringLiteral("lblBackups"));
    m_lv.setObjectName(QStringLiteral("lvBackups"));
    m_btnSel.setObjectName(QStringLiteral("btnBackupsSel"));
    m_btnClear.setObjectName(QStringLiteral("btnBackupsClear"));
    m_btnExport.setObjectName(QStringLiteral("btnBackupsExport"));
    m_btnClose.setObjectName(QStringLiteral("btnBackupsClose"));
    m_lblSummary.setText(QString::fromStdString(list.Summary()));
    m_lblSummary.setWordWrap(true);

    m_lv.setModel(&m_model);
    m_lv.setRootIsDecorated(false);
    m_lv.setUniformRowHeights(true);
    m_lv.setAllColumnsShowFocus(true);
    m_lv.header()->resizeSection(0, 240);

    m_buttons.addWidget(&m_btnSel);
    m_buttons.addWidget(&m_btnClear);
    m_buttons.addWidget(&m_btnExport);
    m_buttons.addStretch();
    m_buttons.addWidget(&m_btnClose);
    m_layout.addWidget(&m_lblSummary);
    m_layout.addWidget(&m_lv);
    m_layout.addLayout(&m_buttons);
    setLayout(&m_layout);
    resize(760, 420);

    connect(&m_btnSel, &QPushButton::clicked, this, [this] { m_model.SetAllChecked(true); });
    connect(&m_btnClear, &QPushButton::clicked, this, [this] { m_model.SetAllChecked(false); });
    connect(&m_btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_btnExport, &QPushButton::clicked, this, [this] { m_list.Export(m_ui, m_szSuggested, m_busy); });
}

}  // namespace lazrine::app
