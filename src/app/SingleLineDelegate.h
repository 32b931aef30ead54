#pragma once

#include <QStyledItemDelegate>

namespace lazrine::app {

// Draws a cell's text on one line, as a report-style list shows it: every
// line break of a multi-line note is drawn as a space, so rows keep one
// height and the start of the text stays visible. The model's text itself is
// untouched.
class SingleLineDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
};

}  // namespace lazrine::app
