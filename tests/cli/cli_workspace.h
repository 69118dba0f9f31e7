// A throw-away workspace for driving our programs as a user would: Orvella,
// Fennick and HTML reports folders, a settings file naming them, and home and
// configuration folders of its own. One way to start a child, and one to run
// it to its end; the fault tests run it as an unprivileged user so that
// permission bits hold even when the tests run as root.
#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "fault_injection.h"

namespace quillet::test {

// One row of quillet-convert's JSON output.
struct ConvertRow {
    QString source, student, report, comment;
    bool converted = false;
};

struct RunResult {
    int exit_code = -1;
    QByteArray out, err;
    QJsonArray json() const;
    // The rows of the JSON output, checking their numbers.
    std::vector<ConvertRow> rows() const;
};

struct RunOptions {
    QByteArray input;
    // Largest file the child may write (RLIMIT_FSIZE), 0 for none. SIGXFSZ is
    // ignored in the child, so a write past it fails with EFBIG, as on a full disk.
    qint64 max_file_size = 0;
};

class CliWorkspace {
public:
    enum class User { Same, Unprivileged };
    explicit CliWorkspace(User user = User::Same);

    QString orvella() const { return path(QStringLiteral("orvella/")); }
    QString fennick() const { return path(QStringLiteral("fennick/")); }
    QString html() const { return path(QStringLiteral("html/")); }
    QString settings() const { return path(QStringLiteral("quillet.ini")); }
    QString root() const { return dir_.path(); }
    QString path(const QString& relative) const { return dir_.path() + u'/' + relative; }

    // Starts quillet-convert, --settings added after the command, and leaves it running.
    std::unique_ptr<QProcess> start(QStringList args, const RunOptions& options = {}) const;
    // Runs it to its end.
    RunResult run(QStringList args, const RunOptions& options = {}) const;
    // Starts another program of ours in this workspace, with args as given.
    std::unique_ptr<QProcess> start_program(QString program, const QStringList& args,
                                            const RunOptions& options = {}) const;
    // Puts a report in place whole, as a user's copy or move does: a program
    // that reads it at any moment reads either the earlier report or this one.
    void drop(const QString& path, const QByteArray& bytes) const;

private:
    bool unprivileged_ = false;
    QTemporaryDir dir_;
};

// Ends a child that is still running after limit_ms (a failure of the test)
// and gathers what it wrote.
RunResult finish(QProcess& process, int limit_ms = 240000);

// A minimal valid report whose title line names the student.
QByteArray orvella_report(const QByteArray& student);

}  // namespace quillet::test
