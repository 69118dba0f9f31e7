// Sizing the fixed-size dialogs from their designed sizes in twips.
#pragma once

#include "twips.h"

class QDialog;
class QWidget;

namespace quillet {

// The twips scale of the screen widget is on.
TwipsScale twips_scale(const QWidget& widget);

// Gives a dialog with a layout a fixed size: its designed client size, or more
// where the layout needs more room (fonts wider or taller than designed).
void fix_dialog_size(QDialog& dialog, double width_twips, double height_twips);

}  // namespace quillet
