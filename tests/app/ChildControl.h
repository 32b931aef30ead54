#pragma once

#include <QString>
#include <QWidget>

namespace lazrine::testing {

// The control named `name` inside `parent`; a test that asks for a control
// the window lacks stops at once, naming it.
template <class W>
W& Child(QWidget& parent, const QString& name) {
    W* w = parent.findChild<W*>(name);
    if (w == nullptr) {
        qFatal("no control %s", qPrintable(name));
    }
    return *w;
}

}  // namespace lazrine::testing
