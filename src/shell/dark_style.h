// The style of the dark colour scheme: Fusion, with the outlines of check
// boxes, option buttons, push buttons, text boxes and lists drawn in a grey
// that keeps 3:1 against the window (Fusion darkens the window colour for
// them, which on a dark window cannot be seen).
#pragma once

class QStyle;

namespace quillet {

QStyle* make_dark_style();

}  // namespace quillet
