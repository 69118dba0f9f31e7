#include "atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

}  // namespace

AtomicFile::AtomicFile(QString path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail_with_errno() {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool AtomicFile::open() {
    discard();
    const QString folder = QFileInfo(path_).path();
    // An existing document keeps its permissions.
    struct stat existing {};
    const bool replacing = ::stat(native(path_).constData(), &existing) == 0;
    const mode_t mode = replacing ? (existing.st_mode & 07777) : 0666;

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
    modified_ = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(written.st_mtim.tv_sec) * 1000 +
                                               written.st_mtim.tv_nsec / 1000000);

    if (temporary_path_.isEmpty()) {
        // Give the unnamed file a name: the document's own when it is new,
        // else a hidden one that then replaces the document.
        const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd_);
        if (::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, native(path_).constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            return close_committed();
        }
        if (errno != EEXIST) {
            const bool ok = fail_with_errno();
            discard();
            return ok;
        }
        for (int attempt = 0; attempt < 16; ++attempt) {
            temporary_path_ = sibling_name(path_);
            if (::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, native(temporary_path_).constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
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
