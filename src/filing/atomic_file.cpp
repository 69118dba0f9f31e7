#include "atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// A name beside the document that no one else uses; it is hidden so that a
// folder listing never shows it as a document.
QString sibling_name(const QString& path) {
    const QFileInfo info(path);
    return info.path() + QLatin1String("/.") + info.fileName() + QLatin1String(".") +
           QString::number(QRandomGenerator::global()->generate64(), 36) + QLatin1String(".part");
}

#ifdef AT_EMPTY_PATH
std::atomic<bool> from_descriptor{true};
#endif

// Links the unnamed file open as fd at path. Straight from the descriptor
// where the process may (that needs the right to read any file, as root has);
// else through its name in /proc, which costs the kernel a lookup more.
bool link_unnamed(int fd, const QByteArray& path) {
#ifdef AT_EMPTY_PATH
    if (from_descriptor.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", AT_FDCWD, path.constData(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        if (errno != ENOENT && errno != EPERM) {
            return false;
        }
    }
#endif
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, path.constData(), AT_SYMLINK_FOLLOW) != 0) {
        return false;
    }
#ifdef AT_EMPTY_PATH
    // The descriptor was refused where the name in /proc was not: this
    // process may not link from a descriptor.
    from_descriptor.store(false, std::memory_order_relaxed);
#endif
    return true;
}

}  // namespace

std::optional<unsigned> existing_mode(const QString& path) {
    struct stat info {};
    if (::stat(native(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return info.st_mode;
}

AtomicFile::AtomicFile(QString path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail_with_errno() {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool AtomicFile::open() {
    return open(existing_mode(path_));
}

bool AtomicFile::open(std::optional<unsigned> mode_there) {
    discard();
    const QString folder = QFileInfo(path_).path();
    // An existing document keeps its permissions.
    const bool replacing = mode_there.has_value();
    const mode_t mode = replacing ? (*mode_there & 07777) : 0666;

#ifdef O_TMPFILE
    // An unnamed file: when the process dies before commit nothing remains.
    fd_ = ::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#endif
    if (fd_ < 0) {
        // The file system has no unnamed files: use a hidden named one.
        for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
            temporary_path_ = sibling_name(path_);
            fd_ = ::open(native(temporary_path_).constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST) {
                break;
            }
        }
        if (fd_ < 0) {
            temporary_path_.clear();
            return fail_with_errno();
        }
    }
    if (replacing) {
        // The creation mode was masked by the umask; give the old bits back.
        ::fchmod(fd_, mode);
    }
    return true;
}

bool AtomicFile::write(std::string_view bytes) {
    if (fd_ < 0) {
        error_ = QStringLiteral("the file is not open");
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail_with_errno();
        }
        if (written == 0) {
            errno = ENOSPC;
            return fail_with_errno();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) {
        error_ = QStringLiteral("the file is not open");
        return false;
    }
    struct stat written {};
    if (::fstat(fd_, &written) != 0) {
        const bool ok = fail_with_errno();
        discard();
        return ok;
    }
    modified_ = QDateTime::fromMSecsSinceEpoch(
        static_cast<qint64>(written.st_mtim.tv_sec) * 1000 + written.st_mtim.tv_nsec / 1000000,
        Qt::UTC);

    if (temporary_path_.isEmpty()) {
        // Give the unnamed file a name: the document's own when it is new,
        // else a hidden one that then replaces the document.
        if (link_unnamed(fd_, native(path_))) {
            return close_committed();
        }
        if (errno != EEXIST) {
            const bool ok = fail_with_errno();
            discard();
            return ok;
        }
        for (int attempt = 0; attempt < 16; ++attempt) {
            temporary_path_ = sibling_name(path_);
            if (link_unnamed(fd_, native(temporary_path_))) {
                break;
            }
            temporary_path_.clear();
            if (errno != EEXIST) {
                break;
            }
        }
        if (temporary_path_.isEmpty()) {
            const bool ok = fail_with_errno();
            discard();
            return ok;
        }
    }
    if (::rename(native(temporary_path_).constData(), native(path_).constData()) != 0) {
        const bool ok = fail_with_errno();
        discard();
        return ok;
    }
    temporary_path_.clear();
    return close_committed();
}

bool AtomicFile::close_committed() {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) {
        return fail_with_errno();
    }
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_path_.isEmpty()) {
        ::unlink(native(temporary_path_).constData());
        temporary_path_.clear();
    }
}

}  // namespace quillet
