#include "dark_style.h"

#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <memory>

#include "colour_scheme.h"

namespace quillet {

namespace {

// Outlines one pixel wide are smoothed into their neighbours (the rings of
// option buttons most): they are drawn with more than the least contrast.
constexpr double kOutlineDrawn = kLeastOutlineContrast + 1.5;

class DarkStyle final : public QProxyStyle {
public:
    DarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        switch (element) {
            case PE_IndicatorCheckBox:
            case PE_IndicatorRadioButton:
            case PE_PanelButtonCommand:
            case PE_FrameLineEdit:
            case PE_PanelLineEdit:
            case PE_Frame:
                break;
            default:
                QProxyStyle::drawPrimitive(element, option, painter, widget);
                return;
        }
        // Fusion draws these outlines in the window colour made 40% darker,
        // and those of the focus control and the default button in the
        // highlight made 25% darker: hand it the colours from which that
        // gives the outlines wanted.
        const QColor window = option->palette.color(QPalette::Window);
        const QColor outline = with_contrast(window.lighter(150), window, kOutlineDrawn);
        const QColor focus =
            with_contrast(option->palette.color(QPalette::Highlight), window, kOutlineDrawn);
        // A copy of the option's own type: the options have no virtual
        // destructor, so none is held through a base pointer.
        const auto draw = [&](auto copy) {
            copy.palette.setColor(QPalette::Window, outline.lighter(140));
            copy.palette.setColor(QPalette::Highlight, focus.lighter(125));
            QProxyStyle::drawPrimitive(element, &copy, painter, widget);
        };
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            draw(*button);
        } else if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
            draw(*frame);
        } else {
            draw(*option);
        }
    }
};

}  // namespace

QStyle* make_dark_style() {
    return new DarkStyle;
}

}  // namespace quillet
