#include "access_keys.h"

#include <QAction>

namespace quillet {

void give_standard_shortcut(QAction& item, QKeySequence::StandardKey key,
                            const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!keys.contains(fallback)) {
        keys.append(fallback);
    }
    item.setShortcuts(keys);
}

}  // namespace quillet
