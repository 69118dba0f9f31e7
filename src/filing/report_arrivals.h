// Which reports of the watched folders have arrived and stopped changing.
// Changes are fed in one name (or one folder) at a time; a report is handed
// out once it has been unchanged for the settle time, and handed out again
// when it changes afterwards. Time is given by the caller, so the same
// sequence of changes always gives the same arrivals.
#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <utility>
#include <vector>

namespace quillet {

// What tells one state of a file from another: size, modification time and
// the file itself (a report replaced by renaming another over it).
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a plain file (links followed); none for anything else or
// when the name leads nowhere.
std::optional<FileStamp> stamp_of(const QString& path);

// A report that has stopped changing: its report source code, its folder
// (ending with the separator) and its name as listed.
struct Arrival {
    std::int16_t code = 0;
    QString folder;
    QString name;
    bool operator==(const Arrival&) const = default;
};

class ArrivalTracker {
public:
    // Whether a listed name is a report of the folder of a code.
    using NameRule = std::function<bool(std::int16_t code, const QString& name)>;

    ArrivalTracker(std::int64_t settle_ms, NameRule rule);

    // The folder (ending with the separator) whose reports count for a code.
    // A different folder forgets what was known of the earlier one.
    void set_folder(std::int16_t code, const QString& folder);
    const QString& folder(std::int16_t code) const;

    // Something happened to one name of the code's folder: the file is
    // looked at and, when it differs from what was known, waits to settle.
    void note(std::int16_t code, const QString& name, std::int64_t now_ms);
    // The whole folder is listed again: every report in it is noted and the
    // ones no longer there are forgotten.
    void rescan(std::int16_t code, std::int64_t now_ms);
    // The reports named are taken as converted in their present state (the
    // reports converted when watching starts).
    void prime(std::int16_t code, const QString& name);
    // Forgets every report of the code (its folder is gone).
    void forget(std::int16_t code);

    // The reports that have been unchanged for the settle time, oldest change
    // first; each is then taken as converted in the state it has now.
    std::vector<Arrival> take_settled(std::int64_t now_ms);
    // When the next report settles; none while nothing is waiting.
    std::optional<std::int64_t> next_due() const;

    std::size_t tracked() const;
    std::size_t waiting() const { return waiting_.size(); }

private:
    using Key = std::pair<std::int16_t, QString>;
    struct Known {
        FileStamp seen;                  // the stamp at the last change
        std::optional<FileStamp> taken;  // the stamp handed out last
        std::int64_t changed_at = 0;
        bool is_waiting = false;
        std::list<Key>::iterator place;  // in waiting_, while is_waiting
    };

    QHash<QString, Known>& known(std::int16_t code);
    void drop(std::int16_t code, QHash<QString, Known>::iterator it);
    void start_waiting(const Key& key, Known& k, std::int64_t now_ms);

    std::int64_t settle_ms_;
    NameRule rule_;
    QString folders_[3];
    QHash<QString, Known> known_[3];
    std::list<Key> waiting_;  // in order of their last change
};

}  // namespace quillet
