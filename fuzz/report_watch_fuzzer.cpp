// Feeds the watch mode's change tracking a random sequence of creations,
// writes, renames and removals in a scratch folder, with or without the
// notice of each, then a rescan.
//
// Input: two bytes a step: what happens (low 3 bits), whether it is noticed
// (bit 3), how much time passes (high 4 bits, in tenths of the settle
// time); the second byte picks the names.
// Checks: only reports that exist and match the name rule are handed out,
// each at most once a call, never before the settle time since the last
// change noticed; after a final rescan every report whose state differs
// from the one handed out last is handed out, exactly once, and then
// nothing more. A report that went away and came back (removed, or renamed
// away and back) may be handed out again with the same state: it arrives anew.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "report_arrivals.h"

namespace {

using namespace quillet;

constexpr std::int64_t kSettle = 1000;
constexpr std::int16_t kCode = 2;

// Names the rule takes (two), one it does not, and one hidden.
const char* const kNames[] = {"~drntrpa01.tmp", "~drntrpd02.tmp", "notes.txt", ".~drntrpa03.tmp"};

bool counts(const QString& name) {
    return name.startsWith(QLatin1String("~drntrp")) && name.endsWith(QLatin1String(".tmp"));
}

[[noreturn]] void fail(const char* what, const QString& name = {}) {
    std::fprintf(stderr, "invariant broken: %s %s\n", what, name.toUtf8().constData());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir scratch;
    if (!scratch.isValid()) {
        fail("no scratch folder");
    }
    const QString folder = scratch.path() + QLatin1Char('/');
    for (const char* name : kNames) {
        QFile::remove(folder + QLatin1String(name));
    }

    ArrivalTracker tracker(kSettle, [](std::int16_t, const QString& name) { return counts(name); });
    tracker.set_folder(kCode, folder);
    std::map<QString, std::optional<FileStamp>> handed;  // the state handed out last
    std::map<QString, std::int64_t> noticed;             // the last change noticed
    // Names whose file went away since it was handed out: the tracker forgets
    // such a file, so the same file moved back in arrives anew.
    std::set<QString> gone;
    std::int64_t now = 0;
    int writes = 0;

    const auto take = [&](bool final) {
        std::set<QString> names;
        for (const Arrival& arrival : tracker.take_settled(now)) {
            if (arrival.code != kCode || arrival.folder != folder || !counts(arrival.name)) {
                fail("handed out a report of the wrong folder or name", arrival.name);
            }
            if (!names.insert(arrival.name).second) {
                fail("handed out twice at once", arrival.name);
            }
            const auto stamp = stamp_of(folder + arrival.name);
            if (!stamp) {
                fail("handed out a report that is not there", arrival.name);
            }
            if (noticed.count(arrival.name) != 0 && now - noticed[arrival.name] < kSettle) {
                fail("handed out before it settled", arrival.name);
            }
            if (final && handed[arrival.name] == stamp && gone.count(arrival.name) == 0) {
                fail("handed out again unchanged", arrival.name);
            }
            handed[arrival.name] = stamp;
            gone.erase(arrival.name);
        }
        return names;
    };

    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned what = data[i] & 7U;
        const bool notice = (data[i] & 8U) != 0;
        now += static_cast<std::int64_t>(data[i] >> 4) * kSettle / 10;
        const QString name = QLatin1String(kNames[data[i + 1] & 3U]);
        const QString other = QLatin1String(kNames[(data[i + 1] >> 2) & 3U]);
        const QString path = folder + name;
        switch (what) {
            case 0:
            case 1: {  // a write that makes a new size, or appends
                QFile file(path);
                if (!file.open(what == 0 ? QIODevice::WriteOnly : QIODevice::Append)) {
                    fail("cannot write in the scratch folder", name);
                }
                file.write("@" + QByteArray(++writes % 97 + 1, 'x'));
                break;
            }
            case 2:
                if (name != other) {
                    QFile::remove(folder + other);
                    QFile::rename(path, folder + other);
                    gone.insert(name);
                    gone.insert(other);
                    if (notice) {
                        tracker.note(kCode, other, now);
                        noticed[other] = now;
                    }
                }
                break;
            case 3:
                QFile::remove(path);
                gone.insert(name);
                break;
            case 4:
                take(false);
                continue;
            case 5:
                tracker.rescan(kCode, now);
                for (const char* listed : kNames) {
                    noticed.erase(QLatin1String(listed));  // a rescan may see any change
                }
                continue;
            default:  // a notice without a change
                break;
        }
        if (notice) {
            tracker.note(kCode, name, now);
            noticed[name] = now;
        }
    }

    // The final rescan sees whatever no notice told; once everything has
    // settled, each report whose state was not handed out comes out once.
    now += 1;
    tracker.rescan(kCode, now);
    noticed.clear();
    now += kSettle;
    const std::set<QString> last = take(true);
    for (const char* listed : kNames) {
        const QString name = QLatin1String(listed);
        const auto stamp = stamp_of(folder + name);
        if (counts(name) && stamp && last.count(name) == 0 && handed[name] != stamp) {
            fail("a report that changed was not handed out after the rescan", name);
        }
    }
    now += kSettle;
    if (!tracker.take_settled(now).empty()) {
        fail("handed out again with nothing changed");
    }
    return 0;
}
