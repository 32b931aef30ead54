#include "app/SingleLineDelegate.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace lazrine::app {

QString SingleLineDelegate::displayText(const QVariant& value, const QLocale& locale) const {
    const QString text = QStyledItemDelegate::displayText(value, locale);
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // The base class hands LF over as a line separator already; the LF
        // (or separator) after a CR stands for the pair.
        if (c == QLatin1Char('\r') && i + 1 < text.size() &&
            (text[i + 1] == QLatin1Char('\n') || text[i + 1] == QChar::LineSeparator)) {
            continue;
        }
        const bool lineBreak = c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator ||
                               c == QChar::ParagraphSeparator;
        line.append(lineBreak ? QLatin1Char(' ') : c);
    }
    return line;
}

int SingleLineDelegate::MinimumRowHeight(const QStyle& style) {
    return style.pixelMetric(QStyle::PM_IndicatorHeight) + 2 * style.pixelMetric(QStyle::PM_FocusFrameVMargin) + 2;
}

QSize SingleLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    size.setHeight(std::max(size.height(), MinimumRowHeight(*style)));
    return size;
}

}  // namespace lazrine::app
