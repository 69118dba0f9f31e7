#include "cli_workspace.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <cstdio>

#include "test_support.h"

namespace quillet::test {

QJsonArray RunResult::json() const {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    return document.array();
}

CliWorkspace::CliWorkspace() {
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("orvella"));
    root.mkpath(QStringLiteral("fennick"));
    root.mkpath(QStringLiteral("html"));
    root.mkpath(QStringLiteral("data"));
    write_file(settings(), QStringLiteral("[Options]\n"
                                          "Orvella=%1\nFennick=%2\nHTML%20Reports=%3\n"
                                          "Convert%20Option=0\nFennick%20Choice=0\n")
                               .arg(orvella(), fennick(), html())
                               .toUtf8());
}

std::unique_ptr<QProcess> CliWorkspace::start(QStringList args) const {
    if (!args.isEmpty() && !args.front().startsWith(QLatin1String("--"))) {
        args.insert(1, QStringLiteral("--settings"));
        args.insert(2, settings());
    }
    return start_program(QStringLiteral(QUILLET_CONVERT_EXE), args);
}

std::unique_ptr<QProcess> CliWorkspace::start_program(const QString& program,
                                                      const QStringList& args) const {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Keep default folders inside the workspace.
    const QString data = dir_.filePath(QStringLiteral("data"));
    env.insert(QStringLiteral("HOME"), data);
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), data);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), data + QStringLiteral("/cache"));
    env.insert(QStringLiteral("TEMP"), data);
    process->setProcessEnvironment(env);
    process->start(program, args);
    EXPECT_TRUE(process->waitForStarted());
    return process;
}

void CliWorkspace::drop(const QString& path, const QByteArray& bytes) const {
    const QString staging = dir_.filePath(QStringLiteral("staging"));
    write_file(staging, bytes);
    EXPECT_EQ(::rename(QFile::encodeName(staging).constData(), QFile::encodeName(path).constData()),
              0)
        << path.toStdString();
}

RunResult CliWorkspace::run(QStringList args, const QByteArray& input) const {
    const std::unique_ptr<QProcess> process = start(std::move(args));
    if (!input.isEmpty()) {
        process->write(input);
    }
    process->closeWriteChannel();
    RunResult result;
    result.exit_code = wait_for_exit(*process, 240000);
    result.out = process->readAllStandardOutput();
    result.err = process->readAllStandardError();
    return result;
}

QByteArray orvella_report(const QByteArray& student) {
    return "@\r\n~biuC18~\r\nOrvella Analysis Report for student " + student +
           "\r\n~biuL12~\r\nSome text.\r\n";
}

}  // namespace quillet::test
