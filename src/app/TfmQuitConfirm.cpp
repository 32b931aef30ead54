#include "app/TfmQuitConfirm.h"

#include <cassert>

namespace lazrine::app {

TfmQuitConfirm::TfmQuitConfirm(session::OptionRec* pOption, QWidget* parent)
    : QDialog(parent),
      m_pOption(pOption),
      m_lblText(QStringLiteral("Are you sure to quit the Lazrine program?")),
      m_cbAsk(QStringLiteral("Do not ask me again")),
      m_btnOK(QStringLiteral("OK")),
      m_btnCancel(QStringLiteral("Cancel")) {
    assert(pOption != nullptr && "pOption");
    setObjectName(QStringLiteral("fmQuitConfirm"));
    setWindowTitle(QStringLiteral("Quit Lazrine"));
    m_cbAsk.setObjectName(QStringLiteral("cbAsk"));
    m_btnOK.setObjectName(QStringLiteral("btnOK"));
    m_btnCancel.setObjectName(QStringLiteral("btnCancel"));
    m_btnOK.setDefault(true);

    m_buttons.addStretch(1);
    m_buttons.addWidget(&m_btnOK);
    m_buttons.addWidget(&m_btnCancel);
    m_layout.addWidget(&m_lblText);
    m_layout.addWidget(&m_cbAsk);
    m_layout.addLayout(&m_buttons);
    // Fixed size: the dialog takes exactly the room its texts need.
    m_layout.setSizeConstraint(QLayout::SetFixedSize);
    setLayout(&m_layout);

    m_cbAsk.setChecked(m_pOption->bQuitRemind == 0);
    connect(&m_btnOK, &QPushButton::clicked, this, &TfmQuitConfirm::btnOKClick);
    connect(&m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmQuitConfirm::btnOKClick() {
    m_pOption->bQuitRemind = m_cbAsk.isChecked() ? 0 : 1;
    accept();
}

}  // namespace lazrine::app
