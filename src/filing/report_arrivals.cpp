#include "report_arrivals.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>

#include <sys/stat.h>

namespace quillet {

std::optional<FileStamp> stamp_of(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified_ns = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                        static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    return stamp;
}

namespace {

bool valid_code(std::int16_t code) {
    return code == 1 || code == 2;
}

bool is_hidden(const QString& name) {
    return name.startsWith(QLatin1Char('.'));
}

}  // namespace

ArrivalTracker::ArrivalTracker(std::int64_t settle_ms, NameRule rule)
    : settle_ms_(std::max<std::int64_t>(settle_ms, 1)), rule_(std::move(rule)) {}

QHash<QString, ArrivalTracker::Known>& ArrivalTracker::known(std::int16_t code) {
    return known_[code];
}

void ArrivalTracker::set_folder(std::int16_t code, const QString& folder) {
    if (!valid_code(code) || folders_[code] == folder) {
        return;
    }
    forget(code);
    folders_[code] = folder;
}

const QString& ArrivalTracker::folder(std::int16_t code) const {
    static const QString none;
    return valid_code(code) ? folders_[code] : none;
}

void ArrivalTracker::drop(std::int16_t code, QHash<QString, Known>::iterator it) {
    if (it->is_waiting) {
        waiting_.erase(it->place);
    }
    known(code).erase(it);
}

void ArrivalTracker::start_waiting(const Key& key, Known& k, std::int64_t now_ms) {
    if (k.is_waiting) {
        waiting_.erase(k.place);
    }
    k.changed_at = now_ms;
    k.place = waiting_.insert(waiting_.end(), key);
    k.is_waiting = true;
}

void ArrivalTracker::note(std::int16_t code, const QString& name, std::int64_t now_ms) {
    if (!valid_code(code) || folders_[code].isEmpty() || name.isEmpty() || is_hidden(name) ||
        !rule_(code, name)) {
        return;
    }
    auto& files = known(code);
    auto it = files.find(name);
    const std::optional<FileStamp> stamp = stamp_of(folders_[code] + name);
    if (!stamp) {
        if (it != files.end()) {
            drop(code, it);
        }
        return;
    }
    if (it == files.end()) {
        it = files.insert(name, Known{});
    } else if (!it->is_waiting && it->taken == stamp) {
        return;  // as it was converted: nothing new (a touch without change, a reader)
    }
    // Any change while waiting starts the wait again, even one that a
    // coarse clock leaves with the same stamp.
    it->seen = *stamp;
    start_waiting({code, name}, *it, now_ms);
}

void ArrivalTracker::rescan(std::int16_t code, std::int64_t now_ms) {
    if (!valid_code(code) || folders_[code].isEmpty()) {
        return;
    }
    auto& files = known(code);
    const QStringList names = QDir(folders_[code]).entryList(QDir::Files);
    QSet<QString> listed;
    listed.reserve(names.size());
    for (const QString& name : names) {
        if (is_hidden(name) || !rule_(code, name)) {
            continue;
        }
        listed.insert(name);
        const auto it = files.find(name);
        const std::optional<FileStamp> stamp = stamp_of(folders_[code] + name);
        if (it != files.end() && stamp == (it->is_waiting ? it->seen : it->taken)) {
            continue;  // unchanged since it was last seen
        }
        note(code, name, now_ms);
    }
    for (auto it = files.begin(); it != files.end();) {
        if (listed.contains(it.key())) {
            ++it;
            continue;
        }
        if (it->is_waiting) {
            waiting_.erase(it->place);
        }
        it = files.erase(it);
    }
}

void ArrivalTracker::prime(std::int16_t code, const QString& name) {
    if (!valid_code(code) || folders_[code].isEmpty()) {
        return;
    }
    const std::optional<FileStamp> stamp = stamp_of(folders_[code] + name);
    if (!stamp) {
        return;
    }
    auto& files = known(code);
    auto it = files.find(name);
    if (it == files.end()) {
        it = files.insert(name, Known{});
    } else if (it->is_waiting) {
        waiting_.erase(it->place);
        it->is_waiting = false;
    }
    it->seen = *stamp;
    it->taken = *stamp;
}

void ArrivalTracker::forget(std::int16_t code) {
    if (!valid_code(code)) {
        return;
    }
    waiting_.remove_if([code](const Key& key) { return key.first == code; });
    known(code).clear();
}

std::vector<Arrival> ArrivalTracker::take_settled(std::int64_t now_ms) {
    std::vector<Arrival> settled;
    while (!waiting_.empty()) {
        const Key key = waiting_.front();
        auto& files = known(key.first);
        const auto it = files.find(key.second);
        if (it->changed_at + settle_ms_ > now_ms) {
            break;
        }
        waiting_.pop_front();
        it->is_waiting = false;
        // A change that brought no notice (a full notice queue) is caught here.
        const std::optional<FileStamp> stamp = stamp_of(folders_[key.first] + key.second);
        if (!stamp) {
            files.erase(it);
            continue;
        }
        if (*stamp != it->seen) {
            it->seen = *stamp;
            start_waiting(key, *it, now_ms);
            continue;
        }
        it->taken = *stamp;
        settled.push_back({key.first, folders_[key.first], key.second});
    }
    return settled;
}

std::optional<std::int64_t> ArrivalTracker::next_due() const {
    if (waiting_.empty()) {
        return std::nullopt;
    }
    const Key& key = waiting_.front();
    return known_[key.first].value(key.second).changed_at + settle_ms_;
}

std::size_t ArrivalTracker::tracked() const {
    return static_cast<std::size_t>(known_[1].size() + known_[2].size());
}

}  // namespace quillet
