#pragma once

#include "session/UiServices.h"

class QDialog;

namespace lazrine::app {

// The Qt window's seam: the services every window asks of the desktop
// (session::UiServices, which carries no Qt type), and running one of this
// window's own modal dialogs, so that tests answer both without a modal loop.
class UiServices : public session::UiServices {
public:
    // Runs `dialog` modally and returns its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int Exec(QDialog& dialog) = 0;
};

}  // namespace lazrine::app
