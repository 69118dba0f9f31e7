// Settings-store access that ignores the letter case of section and key
// names, on top of an INI-format QSettings (which itself compares them
// exactly on this platform).
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "sys_vars.h"

namespace quillet {
namespace {

bool same_name(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Enters a group for the lifetime of the object.
class GroupScope {
public:
    GroupScope(QSettings& store, const QString& group) : store_(store) { store_.beginGroup(group); }
    ~GroupScope() { store_.endGroup(); }
    GroupScope(const GroupScope&) = delete;
    GroupScope& operator=(const GroupScope&) = delete;

private:
    QSettings& store_;
};

// The spellings of section as the store holds it (usually one).
QStringList matching_sections(QSettings& store, const QString& section) {
    QStringList found;
    const QStringList groups = store.childGroups();
    for (const QString& group : groups) {
        if (same_name(group, section)) {
            found.append(group);
        }
    }
    return found;
}

// The spellings of key inside the current group.
QStringList matching_keys(QSettings& store, const QString& key) {
    QStringList found;
    const QStringList keys = store.childKeys();
    for (const QString& name : keys) {
        if (same_name(name, key)) {
            found.append(name);
        }
    }
    return found;
}

// Values are strings. A hand-edited value with unquoted commas comes back
// from the INI reader as a list; join it again.
QString as_text(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

}  // namespace

QString read_setting(QSettings& store, const QString& section, const QString& key,
                     const QString& fallback) {
    for (const QString& group : matching_sections(store, section)) {
        const GroupScope scope(store, group);
        const QStringList keys = matching_keys(store, key);
        if (!keys.isEmpty()) {
            return as_text(store.value(keys.first()));
        }
    }
    return fallback;
}

void write_setting(QSettings& store, const QString& section, const QString& key,
                   const QString& value) {
    const QStringList sections = matching_sections(store, section);
    // Keep the spelling the store already uses, and leave one key only.
    QString target_section = sections.isEmpty() ? section : sections.first();
    QString target_key = key;
    bool have_target = false;
    for (const QString& group : sections) {
        const GroupScope scope(store, group);
        for (const QString& name : matching_keys(store, key)) {
            if (!have_target) {
                target_section = group;
                target_key = name;
                have_target = true;
            } else {
                store.remove(name);
            }
        }
    }
    const GroupScope scope(store, target_section);
    // A value the store holds already is not set again: a store without
    // changes is not written back (and synced to disk) at all.
    if (have_target) {
        const QVariant current = store.value(target_key);
        if (current.typeId() == QMetaType::QString && current.toString() == value) {
            return;
        }
    }
    store.setValue(target_key, value);
}

bool delete_setting(QSettings& store, const QString& section, const QString& key) {
    bool removed = false;
    for (const QString& group : matching_sections(store, section)) {
        const GroupScope scope(store, group);
        for (const QString& name : matching_keys(store, key)) {
            store.remove(name);
            removed = true;
        }
    }
    return removed;
}

}  // namespace quillet
