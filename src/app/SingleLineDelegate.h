#pragma once

#include <QStyledItemDelegate>

namespace lazrine::app {

// Draws a cell's text on one line, as a report-style list shows it: every
// line break of a multi-line note (CR LF, CR or LF alike) is drawn as one
// space, so rows keep one height and the start of the text stays visible.
// The model's text itself is untouched.
//
// Rows are at least as tall as the style's check box indicator with the
// style's focus margins above and below it, so that the check boxes of
// neighbouring rows never touch and a click lands on the row it aims at.
class SingleLineDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The least row height for a list drawn with `style`.
    static int MinimumRowHeight(const QStyle& style);
};

}  // namespace lazrine::app
