#include "colour_scheme.h"

#include <cmath>

namespace quillet {

namespace {

double linear(double channel) {
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// The designed colours of a light scheme.
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);

}  // namespace

double relative_luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double contrast_ratio(const QColor& a, const QColor& b) {
    const double la = relative_luminance(a);
    const double lb = relative_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool is_dark(const QPalette& palette) {
    return relative_luminance(palette.color(QPalette::WindowText)) >
           relative_luminance(palette.color(QPalette::Window));
}

QColor with_contrast(const QColor& colour, const QColor& other, double least) {
    const bool darken = relative_luminance(other) >= relative_luminance(colour);
    QColor adjusted = colour.toRgb();
    adjusted = QColor(adjusted.red(), adjusted.green(), adjusted.blue(), adjusted.alpha());
    // Steps of lightness keep the hue; 100 steps cover the whole range.
    for (int step = 0; step < 100 && contrast_ratio(adjusted, other) < least; ++step) {
        float hue = 0;
        float saturation = 0;
        float lightness = 0;
        float alpha = 0;
        adjusted.getHslF(&hue, &saturation, &lightness, &alpha);
        lightness = darken ? std::max(0.0F, lightness - 0.01F) : std::min(1.0F, lightness + 0.01F);
        // Rounded to whole channels, as it will be painted.
        const QColor step_colour = QColor::fromHslF(hue, saturation, lightness, alpha).toRgb();
        adjusted =
            QColor(step_colour.red(), step_colour.green(), step_colour.blue(), step_colour.alpha());
    }
    return adjusted;
}

RowColours report_row_colours(const QPalette& palette, bool converted) {
    if (converted) {
        if (!is_dark(palette)) {
            return {kWhite, kBlack};
        }
        const QColor base = palette.color(QPalette::Base);
        return {base, with_contrast(palette.color(QPalette::Text), base)};
    }
    const QColor grey = palette.color(QPalette::Disabled, QPalette::Text);
    return {with_contrast(grey, kWhite), kWhite};
}

QColor selection_colour(const QPalette& palette, QPalette::ColorGroup group) {
    return with_contrast(palette.color(group, QPalette::Highlight),
                         palette.color(group, QPalette::HighlightedText));
}

QColor label_text_colour(const QPalette& palette) {
    if (!is_dark(palette)) {
        return kBlack;
    }
    return with_contrast(palette.color(QPalette::WindowText), palette.color(QPalette::Window));
}

QColor link_colour(const QPalette& palette) {
    if (!is_dark(palette)) {
        return kBlue;
    }
    return with_contrast(palette.color(QPalette::Link), palette.color(QPalette::Window));
}

QPalette dark_palette() {
    const QColor window(0x2d, 0x2d, 0x2d);
    const QColor text(0xee, 0xee, 0xee);
    const QColor button(0x3a, 0x3a, 0x3a);
    const QColor disabled(0x80, 0x80, 0x80);
    QPalette palette(text, button, button.lighter(140), button.darker(160), button.darker(120),
                     text, QColor(0xff, 0xff, 0xff), QColor(0x1e, 0x1e, 0x1e), window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3f, 0x3f, 0x3f));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x6f, 0xb5));
    palette.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    palette.setColor(QPalette::Link, QColor(0x3d, 0x8e, 0xe6));
    palette.setColor(QPalette::LinkVisited, QColor(0xa0, 0x7a, 0xe0));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabled);
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0x3c, 0x55, 0x70));
    return palette;
}

}  // namespace quillet
