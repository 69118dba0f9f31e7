// The main window's keyboard: the standard shortcuts of its commands. (The
// access keys are in the captions: no two controls of a window, nor two
// items of a menu, underline the same letter.)
#pragma once

#include <QKeySequence>

class QAction;

namespace quillet {

// Gives item the platform's standard shortcuts for key, and fallback as well
// when they do not hold it (some platforms have none for a key).
void give_standard_shortcut(QAction& item, QKeySequence::StandardKey key,
                            const QKeySequence& fallback);

}  // namespace quillet
