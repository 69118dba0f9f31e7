// A throw-away workspace for driving quillet-convert as a user would.
#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quillet::test {

struct RunResult {
    int exit_code = -1;
    QByteArray out;
    QByteArray err;
    QJsonArray json() const;
};

class CliWorkspace {
public:
    CliWorkspace();

    QString orvella() const { return dir_.filePath(QStringLiteral("orvella")) + QLatin1Char('/'); }
    QString fennick() const { return dir_.filePath(QStringLiteral("fennick")) + QLatin1Char('/'); }
    QString html() const { return dir_.filePath(QStringLiteral("html")) + QLatin1Char('/'); }
    QString settings() const { return dir_.filePath(QStringLiteral("quillet.ini")); }
    QString root() const { return dir_.path(); }

    // Runs quillet-convert with --settings added after the command.
    RunResult run(QStringList args, const QByteArray& input = {}) const;
    // Starts it likewise and leaves it running.
    std::unique_ptr<QProcess> start(QStringList args) const;
    // Puts a report in place whole, as a user's copy or move does: a program
    // that reads it at any moment reads either the earlier report or this one.
    void drop(const QString& path, const QByteArray& bytes) const;
    // Starts another program of ours with this workspace's home and
    // configuration folders, and args as given.
    std::unique_ptr<QProcess> start_program(const QString& program, const QStringList& args) const;

private:
    QTemporaryDir dir_;
};

// A minimal valid report whose title line names the student.
QByteArray orvella_report(const QByteArray& student);

}  // namespace quillet::test
