#include "access_keys.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenuBar>
#include <QSet>

namespace quillet {

void settle_access_keys(const QMenuBar& menus, const QList<QAbstractButton*>& buttons_in_tab_order) {
    QSet<QKeySequence> taken;
    for (const QAction* title : menus.actions()) {
        if (title->isVisible()) {
            taken.insert(QKeySequence::mnemonic(title->text()));
        }
    }
    for (QAbstractButton* button : buttons_in_tab_order) {
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        if (key.isEmpty()) {
            continue;
        }
        if (taken.contains(key)) {
            button->setShortcut(QKeySequence());
        } else {
            taken.insert(key);
        }
    }
}

void give_standard_shortcut(QAction& item, QKeySequence::StandardKey key,
                            const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!keys.contains(fallback)) {
        keys.append(fallback);
    }
    item.setShortcuts(keys);
}

}  // namespace quillet
