// What screen readers announce for the controls of Quillet's windows: each
// control's accessible name and description.
#pragma once

#include <QString>

class QWidget;

namespace quillet {

// Gives the controls of window (the main window, the options dialog, the
// folder chooser, the about box or the splash window) their accessible names
// and descriptions. A button is named by its caption without the access-key
// mark, a text box by the label it belongs to, a label by its text as it
// stands; other controls, and buttons whose caption says too little ("..."),
// by a name of their own.
void describe_controls(QWidget& window);

// caption without its access-key marks: "Convert &Orvella Reports" reads
// "Convert Orvella Reports", and "&&" reads "&".
QString without_access_key(const QString& caption);

}  // namespace quillet
