// Several writers on the same folders at once: quillet-convert batches with
// different numbers of jobs, one of them on a second settings file naming
// the same folders, and a watch converting the same reports as they are
// written again. Whatever the order, the reports folder ends up holding
// exactly the documents one batch on its own writes, byte for byte, and
// nothing else.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <memory>
#include <vector>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

constexpr int kStudents = 30;
constexpr int kLimitMs = 240000;  // generous: sanitizer builds on a busy machine

QByteArray report_bytes(int student, char kind) {
    QByteArray text = orvella_report(QByteArray::number(40000000 + student));
    for (int line = 0; line < 200 + 37 * student; ++line) {
        text += "Line " + QByteArray::number(line) + " of ~BiuL12~" + kind +
                "~biuL12~ text,  with  blanks\tand a tab.\r\n";
    }
    return text;
}

QString source_name(int student, char kind) {
    return QStringLiteral("~drntrp%1%2.tmp").arg(QLatin1Char(kind)).arg(student, 4, 10, QLatin1Char('0'));
}

// Reads a process's standard error until it holds text.
bool wait_for_err(QProcess& process, const QByteArray& text, QByteArray& err) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!err.contains(text) && elapsed.elapsed() < kLimitMs &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(50);
        err += process.readAllStandardError();
    }
    return err.contains(text);
}

TEST(ManyWriters, BatchesAndAWatchLeaveTheDocumentsOfOneBatch) {
    CliWorkspace ws;
    for (int i = 0; i < kStudents; ++i) {
        for (const char kind : {'a', 'd'}) {
            write_file(ws.orvella() + source_name(i, kind), report_bytes(i, kind));
        }
    }
    // What one batch on its own writes.
    const QString alone = ws.root() + QStringLiteral("/alone/");
    ASSERT_TRUE(QDir().mkpath(alone));
    ASSERT_EQ(ws.run({QStringLiteral("orvella"), QStringLiteral("--jobs"), QStringLiteral("1"),
                      QStringLiteral("--html"), alone})
                  .exit_code,
              0);
    const auto expected = files_below(alone);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(2 * kStudents));

    const QString second_settings = ws.root() + QStringLiteral("/second.ini");
    ASSERT_TRUE(QFile::copy(ws.settings(), second_settings));

    const auto watch = ws.start({QStringLiteral("watch"), QStringLiteral("--json"),
                                 QStringLiteral("--settle"), QStringLiteral("100"),
                                 QStringLiteral("--existing"), QStringLiteral("overwrite")});
    QByteArray watch_err;
    ASSERT_TRUE(wait_for_err(*watch, "quillet-convert: watching ", watch_err))
        << watch_err.toStdString();

    std::vector<std::unique_ptr<QProcess>> batches;
    for (const QStringList& extra :
         {QStringList{QStringLiteral("--jobs"), QStringLiteral("1")},
          QStringList{QStringLiteral("--jobs"), QStringLiteral("2")},
          QStringList{QStringLiteral("--jobs"), QStringLiteral("4")},
          QStringList{QStringLiteral("--jobs"), QStringLiteral("3"), QStringLiteral("--settings"),
                      second_settings}}) {
        batches.push_back(ws.start(QStringList{QStringLiteral("orvella"),
                                               QStringLiteral("--existing"),
                                               QStringLiteral("overwrite")} +
                                   extra));
    }
    // The same reports written again while the batches run: the watch
    // converts them too.
    for (int i = 0; i < kStudents; i += 3) {
        write_file(ws.orvella() + source_name(i, 'a'), report_bytes(i, 'a'));
    }
    for (const auto& batch : batches) {
        ASSERT_TRUE(batch->waitForFinished(kLimitMs));
        EXPECT_EQ(batch->exitCode(), 0) << batch->readAllStandardError().toStdString();
    }
    // Each report written again comes out of the watch once it settles.
    QByteArray rows;
    QElapsedTimer waiting;
    waiting.start();
    while (rows.count('\n') < (kStudents + 2) / 3 && waiting.elapsed() < kLimitMs) {
        watch->waitForReadyRead(50);
        rows += watch->readAllStandardOutput();
    }
    ::kill(static_cast<pid_t>(watch->processId()), SIGTERM);
    ASSERT_TRUE(watch->waitForFinished(kLimitMs));
    EXPECT_EQ(watch->exitCode(), 0) << (watch_err + watch->readAllStandardError()).toStdString();
    EXPECT_GE(rows.count('\n'), (kStudents + 2) / 3) << rows.toStdString();

    const auto written = files_below(ws.html());
    EXPECT_EQ(written.size(), expected.size()) << "documents or temporary files added or lost";
    for (const auto& [name, bytes] : expected) {
        const auto found = written.find(name);
        ASSERT_NE(found, written.end()) << name.toStdString() << " missing";
        EXPECT_EQ(found->second, bytes) << name.toStdString() << " differs";
    }
}

}  // namespace
}  // namespace quillet::test
