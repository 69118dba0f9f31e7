#include "fault_injection.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <cerrno>

#include "test_support.h"

namespace quillet::test {

bool running_as_root() {
    return ::geteuid() == 0;
}

std::vector<ConvertRow> convert_rows(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json.toStdString();
    std::vector<ConvertRow> rows;
    int number = 1;
    for (const auto& value : document.array()) {
        const QJsonObject o = value.toObject();
        EXPECT_EQ(o.value(QStringLiteral("no")).toInt(), number++);
        rows.push_back({o.value(QStringLiteral("source")).toString(),
                        o.value(QStringLiteral("student")).toString(),
                        o.value(QStringLiteral("report")).toString(),
                        o.value(QStringLiteral("comment")).toString(),
                        o.value(QStringLiteral("converted")).toBool()});
    }
    return rows;
}

std::vector<ConvertRow> ChildResult::rows() const {
    SCOPED_TRACE(err.toStdString());
    return convert_rows(out);
}

namespace {

// chown -R; the workspace must belong to the user the child runs as.
void hand_over(const QString& root) {
    const auto give = [](const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        EXPECT_EQ(::lchown(name.constData(), kUnprivilegedId, kUnprivilegedId), 0)
            << path.toStdString() << ": " << errno;
    };
    give(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        give(it.next());
    }
}

}  // namespace

FaultWorkspace::FaultWorkspace(QString program) : program_(std::move(program)) {
    EXPECT_TRUE(dir_.isValid());
    const QDir root(dir_.path());
    for (const char* folder : {"orvella", "fennick", "html", "data"}) {
        root.mkpath(QString::fromLatin1(folder));
    }
    write_file(path(QStringLiteral("quillet.ini")),
               QStringLiteral("[Options]\nOrvella=%1\nFennick=%2\nHTML%20Reports=%3\n"
                              "Convert%20Option=0\nFennick%20Choice=0\n")
                   .arg(orvella(), fennick(), html())
                   .toUtf8());
}

QString FaultWorkspace::path(const QString& relative) const {
    return dir_.path() + QLatin1Char('/') + relative;
}

std::unique_ptr<QProcess> FaultWorkspace::start(QStringList args, const ChildLimits& limits) const {
    if (!args.isEmpty()) {
        args.insert(1, QStringLiteral("--settings"));
        args.insert(2, path(QStringLiteral("quillet.ini")));
    }
    const bool drop_root = running_as_root();
    if (drop_root) {
        hand_over(dir_.path());
    }
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString data = path(QStringLiteral("data"));
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "TEMP"}) {
        env.insert(QString::fromLatin1(name), data);
    }
    process->setProcessEnvironment(env);
    const rlim_t max_file_size = static_cast<rlim_t>(limits.max_file_size);
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
    process->start(program_, args);
    EXPECT_TRUE(process->waitForStarted()) << process->errorString().toStdString();
    process->closeWriteChannel();
    return process;
}

ChildResult FaultWorkspace::run(const QStringList& args, const ChildLimits& limits) const {
    const auto process = start(args, limits);
    ChildResult result;
    result.exit_code = wait_for_exit(*process, 240000);
    result.out = process->readAllStandardOutput();
    result.err = process->readAllStandardError();
    EXPECT_NE(result.exit_code, 126) << "the child could not be restricted";
    return result;
}

std::map<QString, QByteArray> files_below(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files[QDir(folder).relativeFilePath(file)] = read_file(file);
    }
    return files;
}

bool is_complete_document(const QByteArray& bytes) {
    return bytes.startsWith("<HTML>\r\n<HEAD>\r\n") && bytes.endsWith("</BODY>\r\n</HTML>\r\n");
}

QStringList unsound_documents(const QString& html, const std::map<QString, QByteArray>& before) {
    QStringList problems;
    const auto after = files_below(html);
    for (const auto& [name, bytes] : after) {
        const auto old = before.find(name);
        if (old != before.end() && old->second == bytes) {
            continue;
        }
        if (!name.endsWith(QLatin1String(".htm"))) {
            problems << name + QStringLiteral(": a file that is not a document");
        } else if (!is_complete_document(bytes)) {
            problems
                << name + QStringLiteral(": an incomplete document of %1 bytes").arg(bytes.size());
        }
    }
    for (const auto& [name, bytes] : before) {
        if (after.find(name) == after.end()) {
            problems << name + QStringLiteral(": an earlier document is gone");
        }
    }
    return problems;
}

}  // namespace quillet::test
