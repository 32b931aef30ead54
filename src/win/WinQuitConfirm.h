#pragma once

#include "session/OptionRec.h"
#include "win/WinDialog.h"

namespace lazrine::win {

// Asks before Lazrine quits. It opens with "Do not ask me again" checked
// exactly when the options say not to ask; OK stores the opposite of that
// box in the options' QuitRemind and ends with IDOK, Cancel ends with
// IDCANCEL and changes nothing.
class WinQuitConfirm final : public WinDialog {
public:
    static constexpr int kText = 1001;
    static constexpr int kAsk = 1002;

    // `option` must outlive the dialog.
    explicit WinQuitConfirm(session::OptionRec& option);

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;

    session::OptionRec& m_Option;
};

}  // namespace lazrine::win
