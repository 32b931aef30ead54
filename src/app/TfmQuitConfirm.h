#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/OptionRec.h"

namespace lazrine::app {

// Asks before Lazrine quits. It opens with "Do not ask me again" checked
// exactly when the options say not to ask; "OK" stores the opposite of that
// box in the options' QuitRemind and accepts, "Cancel" rejects and changes
// nothing.
class TfmQuitConfirm final : public QDialog {
    Q_OBJECT

public:
    // `pOption` must outlive the dialog.
    TfmQuitConfirm(session::OptionRec* pOption, QWidget* parent);

private:
    void btnOKClick();

    session::OptionRec* m_pOption;
    QVBoxLayout m_layout;
    QHBoxLayout m_buttons;
    QLabel m_lblText;
    QCheckBox m_cbAsk;
    QPushButton m_btnOK;
    QPushButton m_btnCancel;
};

}  // namespace lazrine::app
