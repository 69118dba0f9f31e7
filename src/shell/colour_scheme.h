// Colours taken from the palette, so that every window reads well in the
// desktop's light and dark colour schemes. In a light palette the colours
// are those the windows were designed with; in a dark one they come from the
// palette. Every text keeps a contrast of at least 4.5:1 with its background.
#pragma once

#include <QColor>
#include <QPalette>

namespace quillet {

// The least contrast ratio between a text and its background.
inline constexpr double kLeastTextContrast = 4.5;

// Relative luminance, from 0 (black) to 1 (white), and the contrast ratio of
// two colours, from 1 to 21, as the web content accessibility guidelines
// define them.
double relative_luminance(const QColor& colour);
double contrast_ratio(const QColor& a, const QColor& b);

// The least contrast ratio between a control's outline and its background.
inline constexpr double kLeastOutlineContrast = 3.0;

// Whether palette is a dark one: its window text is lighter than its window.
bool is_dark(const QPalette& palette);

// colour made lighter or darker, away from other, until the two have the
// contrast least (or colour has become black or white).
QColor with_contrast(const QColor& colour, const QColor& other, double least = kLeastTextContrast);

struct RowColours {
    QColor background;
    QColor text;
};
// A report's grid row: black on white (the palette's text and base in a dark
// scheme) when the report was converted; otherwise white text on the grey of
// disabled text, darkened as far as the white text needs.
RowColours report_row_colours(const QPalette& palette, bool converted);

// The grid's selection colour in group: the palette's highlight, adjusted
// until its highlighted text reads on it.
QColor selection_colour(const QPalette& palette, QPalette::ColorGroup group);

// Label text designed black: black, or the window text of a dark palette.
QColor label_text_colour(const QPalette& palette);
// The about box's link, designed blue: blue, or the link colour of a dark
// palette made light enough to read on the window.
QColor link_colour(const QPalette& palette);

// A dark palette in the manner of the desktop's dark schemes, for pictures of
// the windows and for tests.
QPalette dark_palette();

}  // namespace quillet
