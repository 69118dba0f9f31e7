// A group of menu items of which exactly one carries a check mark. Qt draws
// the items of an exclusive action group with radio dots; this group is not
// exclusive to Qt, so its items show check marks, and keeps one checked item
// itself.
#pragma once

class QActionGroup;
class QObject;

namespace quillet {

// An empty group: the item chosen last is checked and the others are not,
// also when the chosen item was checked already.
QActionGroup* make_check_mark_group(QObject* parent);

}  // namespace quillet
