#include "check_mark_group.h"

#include <QAction>
#include <QActionGroup>

namespace quillet {

QActionGroup* make_check_mark_group(QObject* parent) {
    auto* group = new QActionGroup(parent);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    QObject::connect(group, &QActionGroup::triggered, group, [group](QAction* chosen) {
        for (QAction* item : group->actions()) {
            item->setChecked(item == chosen);
        }
    });
    return group;
}

}  // namespace quillet
