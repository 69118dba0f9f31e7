// Running quillet-convert under faults: as an unprivileged user (so that
// permission bits hold even when the tests run as root), with a limit on the
// size of the files it may write, or killed in the middle of a batch; and
// checking what a fault may never leave behind in the HTML reports folder.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <vector>

namespace quillet::test {

// The user a child runs as when the tests run as root ("nobody").
inline constexpr unsigned kUnprivilegedId = 65534;

bool running_as_root();

struct ChildLimits {
    // Largest file the child may write (RLIMIT_FSIZE), 0 for none. SIGXFSZ is
    // ignored in the child, so a write past the limit fails with EFBIG, as on
    // a full disk.
    qint64 max_file_size = 0;
};

// One row of quillet-convert's JSON output.
struct ConvertRow {
    QString source, student, report, comment;
    bool converted = false;
};

// The rows of quillet-convert's JSON output, checking their numbers.
std::vector<ConvertRow> convert_rows(const QByteArray& json);

struct ChildResult {
    int exit_code = -1;
    QByteArray out, err;
    std::vector<ConvertRow> rows() const;
};

// A workspace (Orvella, Fennick and HTML reports folders and a settings file
// naming them) that quillet-convert runs in as an unprivileged user.
class FaultWorkspace {
public:
    explicit FaultWorkspace(QString program);

    QString orvella() const { return path(QStringLiteral("orvella/")); }
    QString fennick() const { return path(QStringLiteral("fennick/")); }
    QString html() const { return path(QStringLiteral("html/")); }
    QString path(const QString& relative) const;

    // Starts quillet-convert (the settings file is added after the command)
    // and leaves it running. Everything in the workspace is handed to the
    // unprivileged user first.
    std::unique_ptr<QProcess> start(QStringList args, const ChildLimits& limits = {}) const;
    ChildResult run(const QStringList& args, const ChildLimits& limits = {}) const;

private:
    QString program_;
    QTemporaryDir dir_;
};

// Every file below folder with its bytes, by path relative to it.
std::map<QString, QByteArray> files_below(const QString& folder);

// What a conversion may leave in the HTML reports folder, whatever went wrong:
// documents that are complete (from "<HTML>" to the closing lines) or exactly
// as they were before, and nothing else - no temporary or partial files.
// Returns one line per violation; empty when the folder is sound.
QStringList unsound_documents(const QString& html, const std::map<QString, QByteArray>& before);

// The closing lines every complete document ends with.
bool is_complete_document(const QByteArray& bytes);

}  // namespace quillet::test
