#include "wrapping_radio_button.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>

namespace quillet {

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
constexpr int kUnbounded = 1 << 20;

}  // namespace

WrappingRadioButton::WrappingRadioButton(const QString& text, QWidget* parent)
    : QRadioButton(text, parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrappingRadioButton::text_indent() const {
    return style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
}

int WrappingRadioButton::first_line_height() const {
    return std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, this),
                    fontMetrics().height());
}

QRect WrappingRadioButton::text_rect(int width) const {
    const int indent = text_indent();
    const int top = (first_line_height() - fontMetrics().height()) / 2;
    const QRect bounds(indent, top, std::max(1, width - indent), kUnbounded);
    return fontMetrics().boundingRect(bounds, kTextFlags, text());
}

int WrappingRadioButton::heightForWidth(int width) const {
    return std::max(first_line_height(), text_rect(width).bottom() + 1) + 2;
}

QSize WrappingRadioButton::sizeHint() const {
    const int width = text_indent() + fontMetrics().horizontalAdvance(text()) + 2;
    return {width, heightForWidth(width)};
}

QSize WrappingRadioButton::minimumSizeHint() const {
    int widest_word = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        widest_word = std::max(widest_word, fontMetrics().horizontalAdvance(word));
    }
    const int width = text_indent() + widest_word + 2;
    return {width, heightForWidth(width)};
}

void WrappingRadioButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton indicator;
    initStyleOption(&indicator);
    indicator.text.clear();
    indicator.state &= ~QStyle::State_HasFocus;
    indicator.rect.setHeight(first_line_height());
    painter.drawControl(QStyle::CE_RadioButton, indicator);

    const QRect caption = text_rect(width());
    style()->drawItemText(&painter, caption, kTextFlags, palette(), isEnabled(), text(),
                          QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = caption.adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrappingRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

}  // namespace quillet
