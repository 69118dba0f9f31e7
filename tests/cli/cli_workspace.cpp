#include "cli_workspace.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>

#include "test_support.h"

namespace quillet::test {
namespace {

constexpr unsigned kUnprivilegedId = 65534;  // "nobody"

// chown -R: the workspace must belong to the user the child runs as.
void hand_over(const QString& root) {
    const auto give = [](const QString& path) {
        EXPECT_EQ(::lchown(QFile::encodeName(path).constData(), kUnprivilegedId, kUnprivilegedId),
                  0)
            << path.toStdString() << ": " << errno;
    };
    give(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        give(it.next());
    }
}

// The build folder may lie where only root may enter (a checkout in a
// private folder): the unprivileged user runs a copy of the program (or reads
// a copy of a file) in a folder open to all.
QString staged(const QString& program) {
    static QTemporaryDir stage;
    const QString copy = stage.filePath(QFileInfo(program).fileName());
    if (!QFile::exists(copy)) {
        const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                         QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                         QFileDevice::ExeOther;
        EXPECT_TRUE(QFile::setPermissions(stage.path(), all) && QFile::copy(program, copy) &&
                    QFile::setPermissions(copy, all))
            << "cannot stage " << program.toStdString() << " in " << stage.path().toStdString();
    }
    return copy;
}

}  // namespace

QJsonArray RunResult::json() const {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString() << err.toStdString();
    return document.array();
}

std::vector<ConvertRow> RunResult::rows() const {
    std::vector<ConvertRow> rows;
    for (const auto& value : json()) {
        const QJsonObject o = value.toObject();
        EXPECT_EQ(o.value(u"no").toInt(), static_cast<int>(rows.size() + 1));
        rows.push_back({o.value(u"source").toString(), o.value(u"student").toString(),
                        o.value(u"report").toString(), o.value(u"comment").toString(),
                        o.value(u"converted").toBool()});
    }
    return rows;
}

CliWorkspace::CliWorkspace(User user)
    : unprivileged_(user == User::Unprivileged && ::geteuid() == 0) {
    EXPECT_TRUE(dir_.isValid());
    for (const char* folder : {"orvella", "fennick", "html", "data"}) {
        QDir(dir_.path()).mkpath(QString::fromLatin1(folder));
    }
    write_file(settings(), QStringLiteral("[Options]\nOrvella=%1\nFennick=%2\nHTML%20Reports=%3\n"
                                          "Convert%20Option=0\nFennick%20Choice=0\n")
                               .arg(orvella(), fennick(), html())
                               .toUtf8());
}

std::unique_ptr<QProcess> CliWorkspace::start(QStringList args, const RunOptions& options) const {
    if (!args.isEmpty() && !args.front().startsWith(QLatin1String("--"))) {
        args.insert(1, QStringLiteral("--settings"));
        args.insert(2, settings());
    }
    return start_program(QStringLiteral(QUILLET_CONVERT_EXE), args, options);
}

std::unique_ptr<QProcess> CliWorkspace::start_program(QString program, const QStringList& args,
                                                      const RunOptions& options) const {
    const bool drop_root = unprivileged_;
    if (drop_root) {
        hand_over(dir_.path());
        program = staged(program);
    }
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "TEMP"}) {
        env.insert(QString::fromLatin1(name), path(QStringLiteral("data")));
    }
    env.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("data/cache")));
    if (drop_root) {
        // A sanitizer's suppressions file lies in the checkout too.
        static const QRegularExpression suppressions(QStringLiteral("suppressions=([^:]+)"));
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
            QString value = env.value(QString::fromLatin1(name));
            const QRegularExpressionMatch file = suppressions.match(value);
            if (file.hasMatch()) {
                value.replace(file.capturedStart(1), file.capturedLength(1),
                              staged(file.captured(1)));
                env.insert(QString::fromLatin1(name), value);
            }
        }
    }
    process->setProcessEnvironment(env);
    const auto max_file_size = static_cast<rlim_t>(options.max_file_size);
    // Runs in the child between fork and exec: system calls only.
    process->setChildProcessModifier([drop_root, max_file_size] {
        if (max_file_size > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{max_file_size, max_file_size};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                ::_exit(126);
            }
        }
        if (drop_root && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                          ::setuid(kUnprivilegedId) != 0)) {
            ::_exit(126);
        }
    });
    process->start(program, args);
    EXPECT_TRUE(process->waitForStarted()) << process->errorString().toStdString();
    process->write(options.input);
    process->closeWriteChannel();
    return process;
}

RunResult CliWorkspace::run(QStringList args, const RunOptions& options) const {
    const auto process = start(std::move(args), options);
    const RunResult result = finish(*process);
    EXPECT_NE(result.exit_code, 126) << "the child could not be restricted";
    return result;
}

RunResult finish(QProcess& process, int limit_ms) {
    RunResult result;
    result.exit_code = wait_for_exit(process, limit_ms);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void CliWorkspace::drop(const QString& path, const QByteArray& bytes) const {
    const QString staging = this->path(QStringLiteral("staging"));
    write_file(staging, bytes);
    EXPECT_EQ(::rename(QFile::encodeName(staging).constData(), QFile::encodeName(path).constData()),
              0)
        << path.toStdString();
}

QByteArray orvella_report(const QByteArray& student) {
    return "@\r\n~biuC18~\r\nOrvella Analysis Report for student " + student +
           "\r\n~biuL12~\r\nSome text.\r\n";
}

}  // namespace quillet::test
