#include "report_watcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

#include "sys_vars.h"

namespace quillet {

namespace {

// Everything that can change a report or the folder it lies in. The same
// mask for every watch, so that two watches on one folder never narrow
// each other.
constexpr std::uint32_t kMask = IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_MODIFY |
                                IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR;
constexpr std::uint32_t kSelfGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

const QString kDorrantIni = QStringLiteral("dorrant.ini");

// A folder value without its final separator ("/" stays "/").
QString bare(const QString& folder) {
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    return path.isEmpty() ? QStringLiteral("/") : path;
}

// The name below above on the way down to path, or empty.
QString next_step(const QString& above, const QString& path) {
    const QString start = above.endsWith(QLatin1Char('/')) ? above : above + QLatin1Char('/');
    if (!path.startsWith(start)) {
        return {};
    }
    return path.mid(start.size()).section(QLatin1Char('/'), 0, 0);
}

}  // namespace

ReportWatcher::ReportWatcher(cSys_vars& sys, Options options, QObject* parent)
    : QObject(parent),
      sys_(sys),
      options_(options),
      tracker_(options.settle_ms,
               [&sys](std::int16_t code, const QString& name) {
                   return sys.fn_Source_Code_Of(name) == code;
               }),
      buffer_(64 * 1024) {
    qRegisterMetaType<quillet::Arrival>();
    qRegisterMetaType<QList<quillet::Arrival>>();
    settle_timer_ = new QTimer(this);
    settle_timer_->setSingleShot(true);
    settle_timer_->setTimerType(Qt::PreciseTimer);
    connect(settle_timer_, &QTimer::timeout, this, &ReportWatcher::pr_Hand_Out_Settled);
    dorrant_timer_ = new QTimer(this);
    dorrant_timer_->setSingleShot(true);
    dorrant_timer_->setInterval(
        static_cast<int>(std::clamp<std::int64_t>(options.settle_ms, 1, 60000)));
    connect(dorrant_timer_, &QTimer::timeout, this, &ReportWatcher::reread_dorrant);
}

ReportWatcher::~ReportWatcher() {
    if (fd_ >= 0) {
        ::close(fd_);  // drops every watch
    }
}

std::int64_t ReportWatcher::now_ms() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ReportWatcher::start(QString* failure) {
    if (fd_ < 0) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) {
            if (failure != nullptr) {
                *failure = QString::fromLocal8Bit(std::strerror(errno));
            }
            return false;
        }
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &ReportWatcher::pr_Read_Notices);
    }
    follow_settings();
    return true;
}

void ReportWatcher::follow_settings() {
    retarget(1, sys_.Path_Fennick());
    retarget(2, sys_.Path_Orvella());
    watch_dorrant();
}

QString ReportWatcher::folder(std::int16_t code) const {
    return code == 1 || code == 2 ? folders_[code].folder : QString();
}

bool ReportWatcher::is_present(std::int16_t code) const {
    return (code == 1 || code == 2) && folders_[code].wd >= 0;
}

int ReportWatcher::add_watch(const QString& path) {
    const int wd = ::inotify_add_watch(fd_, QFile::encodeName(path).constData(), kMask);
    if (wd < 0) {
        return wd;
    }
    const auto user = std::find_if(watch_users_.begin(), watch_users_.end(),
                                   [wd](const auto& w) { return w.first == wd; });
    if (user == watch_users_.end()) {
        watch_users_.emplace_back(wd, 1);
    } else {
        ++user->second;
    }
    return wd;
}

void ReportWatcher::release(int& wd) {
    if (wd < 0) {
        return;
    }
    const auto user = std::find_if(watch_users_.begin(), watch_users_.end(),
                                   [wd](const auto& w) { return w.first == wd; });
    if (user != watch_users_.end() && --user->second == 0) {
        watch_users_.erase(user);
        ::inotify_rm_watch(fd_, wd);  // fails harmlessly when the kernel dropped it already
    }
    wd = -1;
}

void ReportWatcher::retarget(std::int16_t code, const QString& folder) {
    FolderWatch& f = folders_[code];
    if (f.folder == folder && (f.wd >= 0 || f.above_wd >= 0)) {
        return;
    }
    const bool moved = !f.folder.isEmpty() && f.folder != folder;
    release(f.wd);
    release(f.above_wd);
    f.folder = folder;
    f.gone = false;
    tracker_.set_folder(code, folder);
    establish(code);
    if (moved && f.wd >= 0) {
        // The reports of a folder watched anew are new to this watcher.
        tracker_.rescan(code, now_ms());
        schedule();
    }
}

void ReportWatcher::establish(std::int16_t code) {
    FolderWatch& f = folders_[code];
    release(f.wd);
    release(f.above_wd);
    f.above.clear();
    if (fd_ < 0 || f.folder.isEmpty()) {
        return;
    }
    const QString path = bare(f.folder);
    // Each round either watches the folder or a folder above it; when the
    // way down grew meanwhile, it tries again.
    for (int round = 0; round < 64; ++round) {
        f.wd = add_watch(path);
        if (f.wd >= 0) {
            if (f.gone) {
                f.gone = false;
                Q_EMIT folderBack(code, f.folder);
                tracker_.rescan(code, now_ms());
                schedule();
            }
            return;
        }
        QString above = path;
        while (f.above_wd < 0 && above != QLatin1String("/") && !above.isEmpty()) {
            above = QFileInfo(above).path();
            f.above_wd = add_watch(above);
        }
        if (f.above_wd < 0) {
            break;
        }
        f.above = above;
        const QString step = next_step(above, path);
        if (step.isEmpty() || !QFileInfo(f.above + QLatin1Char('/') + step).isDir()) {
            break;  // waiting: a notice comes when the next folder down appears
        }
        release(f.above_wd);
    }
    if (!f.gone) {
        f.gone = true;
        tracker_.forget(code);
        Q_EMIT folderGone(code, f.folder);
    }
}

void ReportWatcher::watch_dorrant() {
    for (auto& [wd, folder] : dorrant_folders_) {
        release(wd);
    }
    dorrant_folders_.clear();
    if (!options_.follow_dorrant || sys_.Gen_FennickChoice() != 1) {
        return;
    }
    for (const QString& candidate : sys_.fn_Dorrant_Ini_Candidates()) {
        const QString folder = QFileInfo(candidate).absolutePath();
        const bool known = std::any_of(dorrant_folders_.begin(), dorrant_folders_.end(),
                                       [&](const auto& d) { return d.second == folder; });
        if (known) {
            continue;
        }
        const int wd = add_watch(folder);
        if (wd >= 0) {
            dorrant_folders_.emplace_back(wd, folder);
        }
    }
}

void ReportWatcher::hold_settings(bool held) {
    settings_held_ = held;
    if (!held && dorrant_changed_) {
        dorrant_changed_ = false;
        reread_dorrant();
    }
}

void ReportWatcher::reread_dorrant() {
    if (sys_.Gen_FennickChoice() != 1) {
        return;
    }
    if (settings_held_) {
        dorrant_changed_ = true;
        return;
    }
    const QString before = sys_.Path_Fennick();
    sys_.pr_Set_FennickPath_to_DorrantDB();
    if (sys_.Path_Fennick() != before) {
        retarget(1, sys_.Path_Fennick());
        Q_EMIT fennickFolderChanged(sys_.Path_Fennick());
    }
}

void ReportWatcher::pr_Read_Notices() {
    if (fd_ < 0) {
        return;
    }
    bool overflow = false;
    while (true) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            break;  // EAGAIN: nothing more queued
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer_.data() + at, sizeof event);
            QString name;
            if (event.len > 0) {
                const char* raw = buffer_.data() + at + sizeof event;
                name = QFile::decodeName(
                    QByteArray(raw, static_cast<qsizetype>(::strnlen(raw, event.len))));
            }
            at += static_cast<ssize_t>(sizeof event + event.len);
            if ((event.mask & IN_Q_OVERFLOW) != 0) {
                overflow = true;
                continue;
            }
            handle_notice(event.wd, event.mask, name);
        }
    }
    if (overflow) {
        // Notices were lost: look at both folders afresh.
        for (std::int16_t code : {std::int16_t{1}, std::int16_t{2}}) {
            if (folders_[code].wd >= 0) {
                tracker_.rescan(code, now_ms());
            } else {
                establish(code);
            }
        }
        dorrant_timer_->start();
    }
    schedule();
}

void ReportWatcher::handle_notice(int wd, std::uint32_t mask, const QString& name) {
    const std::int64_t now = now_ms();
    for (std::int16_t code : {std::int16_t{1}, std::int16_t{2}}) {
        FolderWatch& f = folders_[code];
        if (wd == f.wd) {
            if ((mask & kSelfGone) != 0) {
                establish(code);
            } else if (!name.isEmpty() && (mask & IN_ISDIR) == 0) {
                tracker_.note(code, name, now);
            }
        } else if (wd == f.above_wd) {
            const bool appeared = (mask & (IN_CREATE | IN_MOVED_TO)) != 0 &&
                                  name == next_step(f.above, bare(f.folder));
            if ((mask & kSelfGone) != 0 || appeared) {
                establish(code);
            }
        }
    }
    for (auto& [dorrant_wd, folder] : dorrant_folders_) {
        if (wd != dorrant_wd) {
            continue;
        }
        if ((mask & kSelfGone) != 0) {
            release(dorrant_wd);
        } else if (name == kDorrantIni) {
            dorrant_timer_->start();
        }
    }
}

void ReportWatcher::schedule() {
    const std::optional<std::int64_t> due = tracker_.next_due();
    if (!due) {
        settle_timer_->stop();
        return;
    }
    const std::int64_t wait = std::max<std::int64_t>(*due - now_ms(), 0);
    settle_timer_->start(static_cast<int>(std::min<std::int64_t>(wait, 24 * 3600 * 1000)));
}

void ReportWatcher::pr_Hand_Out_Settled() {
    const std::vector<Arrival> settled = tracker_.take_settled(now_ms());
    schedule();
    if (!settled.empty()) {
        Q_EMIT reportsSettled(QList<Arrival>(settled.begin(), settled.end()));
    }
}

void ReportWatcher::prime_report_list() {
    for (int i = 1; i <= sys_.Rep_FileCount(); ++i) {
        const ReportEntry& entry = sys_.entry(i);
        const std::int16_t code = entry.Rep_ReportType;
        if ((code == 1 || code == 2) &&
            (entry.source_folder.isEmpty() || entry.source_folder == tracker_.folder(code))) {
            tracker_.prime(code, entry.source_listed_name);
        }
    }
}

void pr_Append_Arrivals(cSys_vars& sys, const QList<Arrival>& arrivals) {
    for (const Arrival& arrival : arrivals) {
        sys.pr_Append_Source_Report(arrival.code, arrival.name, arrival.folder);
    }
}

}  // namespace quillet
