// Where an entry's document goes: report name, student number, sub-folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "report_conversion.h"
#include "report_engine.h"

namespace quillet {

namespace {

const QString kFennickFolder = QStringLiteral("Fennick");
const QString kTempFolder = QStringLiteral("Temp");

// Reads a report whole. Only plain files are read (a name may lead to a pipe
// or a device), and only as many bytes as the file held when it was opened.
bool read_plain_file(const QString& path, SourceBuffer& buffer, QString* failure) {
    buffer.clear();
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *failure = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const auto close_fd = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        *failure = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        *failure = QString::fromLocal8Bit(std::strerror(EISDIR));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *failure = QStringLiteral("it is not a plain file");
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    char* data = buffer.prepare(size);
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = ::read(fd, data + total, size - total);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            *failure = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (got == 0) {
            break;  // the file shrank meanwhile
        }
        total += static_cast<std::size_t>(got);
    }
    buffer.set_size(total);
    return true;
}

// Where the sub-folder name of root leads when it is a link that takes it out
// of root (or a link that leads nowhere); empty for a folder of root's own.
QString link_out_of(const QString& root, const QString& name) {
    const QFileInfo folder(root + name);
    if (!folder.isSymLink()) {
        return {};
    }
    const QString target = folder.canonicalFilePath();
    const QString inside = QFileInfo(root).canonicalFilePath() + QLatin1Char('/');
    if (target.isEmpty() || !target.startsWith(inside)) {
        return target.isEmpty() ? folder.symLinkTarget() : target;
    }
    return {};
}

}  // namespace

bool is_safe_folder_name(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return false;
    }
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F ||
            QStringLiteral("/\\:*?\"<>|").contains(c)) {
            return false;
        }
    }
    const QChar last = name.back();
    return last != QLatin1Char(' ') && last != QLatin1Char('.');
}

ReportConverter::ReportConverter(cSys_vars& sys, OverwriteQuestion& question,
                                 const SectionHeadingTable& headings,
                                 std::shared_ptr<ReportFolders> folders,
                                 std::optional<FilingSettings> fixed_settings)
    : sys_(sys),
      question_(question),
      headings_(headings),
      folders_(folders ? std::move(folders) : std::make_shared<ReportFolders>()),
      fixed_settings_(std::move(fixed_settings)) {}

FilingSettings FilingSettings::of(const cSys_vars& sys) {
    return {sys.Path_Orvella(), sys.Path_Fennick(), sys.Path_HTMLReports(), sys.Extension(0),
            sys.Gen_ConvertOption()};
}

FilingSettings ReportConverter::settings() const {
    return fixed_settings_ ? *fixed_settings_ : FilingSettings::of(sys_);
}

QString ReportConverter::source_path(const ReportEntry& entry) const {
    QString folder;
    if (!entry.source_folder.isEmpty() &&
        (entry.Rep_ReportType == 1 || entry.Rep_ReportType == 2)) {
        folder = entry.source_folder;
    } else if (entry.Rep_ReportType == 1) {
        folder = settings().Path_Fennick;
    } else if (entry.Rep_ReportType == 2) {
        folder = settings().Path_Orvella;
    } else {
        return {};
    }
    const QString name =
        entry.source_listed_name.isEmpty()
            ? entry.Rep_SourceFilename + QLatin1Char('.') + entry.Rep_SourceFileExtension
            : entry.source_listed_name;
    return folder + name;
}

bool ReportConverter::read_source(const QString& path, QString* failure) {
    if (cached_ && cached_path_ == path) {
        return true;
    }
    cached_ = false;
    if (!read_plain_file(path, cached_source_, failure)) {
        return false;
    }
    cached_path_ = path;
    cached_ = true;
    return true;
}

bool ReportConverter::pr_Set_Report_Destination(int index) {
    return resolve_entry(sys_.entry(index));
}

bool ReportConverter::resolve_entry(ReportEntry& entry) {
    const QString path = source_path(entry);
    strStudentNumber.clear();
    entry.Rep_DestinationPath.clear();
    entry.Rep_DestinationFilename.clear();
    if (path.isEmpty()) {
        entry.Rep_Comment = QStringLiteral("Unknown report source.");
        return false;
    }

    const QString lower_path = path.toLower();
    if (lower_path.contains(QLatin1String("drntrpa"))) {
        entry.Rep_DestinationFilename = QStringLiteral("Analysis");
    } else if (lower_path.contains(QLatin1String("drntrpd"))) {
        entry.Rep_DestinationFilename = QStringLiteral("Dyslexia");
    } else {
        entry.Rep_DestinationFilename = entry.Rep_SourceFilename;
    }

    if (entry.is_fennick_source()) {
        strStudentNumber = to_cp1252(entry.Rep_SourceFilename.toLower());
        entry.Rep_DestinationPath = kFennickFolder;
        return true;
    }

    QString failure;
    if (!read_source(path, &failure)) {
        entry.Rep_Comment = QStringLiteral("Cannot read the report: ") + failure;
        return false;
    }
    if (const auto number = find_student_number(cached_source_.view())) {
        strStudentNumber = *number;
        const QString folder = from_cp1252(*number);
        if (is_safe_folder_name(folder)) {
            entry.Rep_DestinationPath = folder;
        }
    }
    if (entry.Rep_DestinationPath.isEmpty()) {
        entry.Rep_DestinationPath = kTempFolder;
    }
    return true;
}

void ReportFolders::reset() {
    const std::lock_guard lock(mutex_);
    folders_.reset();
}

QString ReportFolders::on_disk(const QString& root, const QString& name, bool* link) {
    if (!folders_ || root_ != root) {
        root_ = root;
        folders_.emplace();
        const QStringList names =
            QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QString& listed : names) {
            folders_->insert(listed.toLower(), listed);
        }
    }
    const auto found = folders_->constFind(name.toLower());
    if (found == folders_->constEnd()) {
        return {};
    }
    // One look at a plain folder; a link is followed only when it is one.
    struct stat info {};
    const bool present =
        ::lstat(QFile::encodeName(root_ + *found).constData(), &info) == 0 &&
        (S_ISDIR(info.st_mode) || (S_ISLNK(info.st_mode) && QFileInfo(root_ + *found).isDir()));
    if (!present) {
        // Removed since the folder was listed.
        folders_->remove(name.toLower());
        return {};
    }
    *link = S_ISLNK(info.st_mode);
    return *found;
}

bool ReportConverter::pr_Ensure_Report_Folder(const QString& name, QString* failure) {
    QString why;
    const bool ensured = folders_->ensure(settings().Path_HTMLReports, name, why).has_value();
    if (!ensured && failure != nullptr) {
        *failure = why;
    }
    return ensured;
}

std::optional<QString> ReportFolders::ensure(const QString& root, const QString& name,
                                             QString& failure) {
    if (name.isEmpty()) {
        return QString();
    }
    const std::lock_guard lock(mutex_);
    // A document is never written outside the HTML reports folder.
    const auto leads_out = [&](const QString& folder) {
        const QString target = link_out_of(root_, folder);
        if (!target.isEmpty()) {
            failure = QStringLiteral(
                          "Cannot use the folder \"%1\": it is a link to %2, outside the HTML "
                          "reports folder.")
                          .arg(folder, target);
        }
        return !target.isEmpty();
    };
    bool link = false;
    if (QString found = on_disk(root, name, &link); !found.isEmpty()) {
        if (link && leads_out(found)) {
            return std::nullopt;
        }
        return found;
    }
    if (!is_safe_folder_name(name)) {
        failure =
            QStringLiteral("Cannot create the folder \"%1\": not a valid folder name.").arg(name);
        return std::nullopt;
    }
    std::error_code error;
    const bool created = std::filesystem::create_directory(
        std::filesystem::path(QFile::encodeName(root_ + name).toStdString()), error);
    if (error && !QDir(root_).exists()) {
        failure = QStringLiteral(
                      "Cannot create the folder \"%1\": the HTML reports folder %2 "
                      "does not exist.")
                      .arg(name, root_);
        return std::nullopt;
    }
    // Made just now, it is a folder; one that appeared meanwhile is looked at.
    if (error || (!created && !QFileInfo(root_ + name).isDir())) {
        const QString why =
            error ? QString::fromStdString(error.message()) : QStringLiteral("it is not a folder");
        failure = QStringLiteral("Cannot create the folder \"%1\" in %2: %3")
                      .arg(name, root_, why);
        return std::nullopt;
    }
    if (!created && leads_out(name)) {
        return std::nullopt;
    }
    folders_->insert(name.toLower(), name);
    return name;
}

}  // namespace quillet
