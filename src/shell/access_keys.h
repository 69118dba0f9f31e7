// The main window's keyboard: access keys that captions share, and the
// standard shortcuts of its commands.
#pragma once

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QAction;
class QMenuBar;

namespace quillet {

// Settles the access keys (Alt and the underlined letter) that captions
// share. The menu bar's titles come first: Alt and a title's letter opens
// that menu at the first press. Among buttons that share a letter, the first
// in the tab order keeps it. A button that gives way keeps its caption as it
// is but no longer answers to Alt and its letter.
void settle_access_keys(const QMenuBar& menus, const QList<QAbstractButton*>& buttons_in_tab_order);

// Gives item the platform's standard shortcuts for key, and fallback as well
// when they do not hold it (some platforms have none for a key).
void give_standard_shortcut(QAction& item, QKeySequence::StandardKey key,
                            const QKeySequence& fallback);

}  // namespace quillet
