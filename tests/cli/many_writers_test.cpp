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
#include <QThread>
#include <csignal>
#include <cstdio>
#include <map>
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
    return QStringLiteral("~drntrp%1%2.tmp")
        .arg(QLatin1Char(kind))
        .arg(student, 4, 10, QLatin1Char('0'));
}

// What one batch on its own writes of the reports in ws's Orvella folder now.
std::map<QString, QByteArray> one_batch(const CliWorkspace& ws) {
    const QString alone = ws.root() + QStringLiteral("/alone/");
    EXPECT_TRUE(QDir(alone).removeRecursively() && QDir().mkpath(alone));
    EXPECT_EQ(ws.run({QStringLiteral("orvella"), QStringLiteral("--jobs"), QStringLiteral("1"),
                      QStringLiteral("--html"), alone})
                  .exit_code,
              0);
    return files_below(alone);
}

// The reports folder holds exactly the expected documents, byte for byte.
void expect_documents(const std::map<QString, QByteArray>& written,
                      const std::map<QString, QByteArray>& expected) {
    EXPECT_EQ(written.size(), expected.size()) << "documents or temporary files added or lost";
    for (const auto& [name, bytes] : expected) {
        const auto found = written.find(name);
        ASSERT_NE(found, written.end()) << name.toStdString() << " missing";
        EXPECT_EQ(found->second, bytes) << name.toStdString() << " differs";
    }
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
    const auto expected = one_batch(ws);
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
    for (const QStringList& extra : {QStringList{QStringLiteral("--jobs"), QStringLiteral("1")},
                                     QStringList{QStringLiteral("--jobs"), QStringLiteral("2")},
                                     QStringList{QStringLiteral("--jobs"), QStringLiteral("4")},
                                     QStringList{QStringLiteral("--jobs"), QStringLiteral("3"),
                                                 QStringLiteral("--settings"), second_settings}}) {
        batches.push_back(
            ws.start(QStringList{QStringLiteral("orvella"), QStringLiteral("--existing"),
                                 QStringLiteral("overwrite")} +
                     extra));
    }
    // The same reports written again while the batches run: the watch
    // converts them too.
    for (int i = 0; i < kStudents; i += 3) {
        ws.drop(ws.orvella() + source_name(i, 'a'), report_bytes(i, 'a'));
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

    expect_documents(files_below(ws.html()), expected);
}

#ifdef QUILLET_DESKTOP_EXE
// Two desktop programs on two settings files that name the same folders, both
// converting automatically, with quillet-convert batches and a watch at the
// same time. Reports change while they all work; when the last changes have
// been converted by the desktop programs alone, the reports folder holds what
// one batch writes of the final reports, and nothing else.
TEST(ManyWriters, TwoDesktopProgramsBatchesAndAWatchLeaveTheDocumentsOfOneBatch) {
    CliWorkspace ws;
    const auto version = [](int student, char kind, int n) {
        return report_bytes(student, kind) + "Version " + QByteArray::number(n) + ".\r\n";
    };
    for (int i = 0; i < kStudents; ++i) {
        for (const char kind : {'a', 'd'}) {
            write_file(ws.orvella() + source_name(i, kind), version(i, kind, 1));
        }
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<std::unique_ptr<QProcess>> desktops;
    for (const char* name : {"/desktop1.ini", "/desktop2.ini"}) {
        const QString settings = ws.root() + QLatin1String(name);
        QFile ini(ws.settings());
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        write_file(settings, ini.readAll() + "Auto%20Convert=1\n");
        auto desktop = ws.start_program(QStringLiteral(QUILLET_DESKTOP_EXE),
                                        {QStringLiteral("--settings"), settings});
        ASSERT_EQ(desktop->state(), QProcess::Running);
        desktops.push_back(std::move(desktop));
    }
    const auto watch = ws.start({QStringLiteral("watch"), QStringLiteral("--json"),
                                 QStringLiteral("--settle"), QStringLiteral("100")});
    QByteArray watch_err;
    ASSERT_TRUE(wait_for_err(*watch, "quillet-convert: watching ", watch_err))
        << watch_err.toStdString();
    std::vector<std::unique_ptr<QProcess>> batches;
    for (const char* jobs : {"1", "2", "3"}) {
        batches.push_back(
            ws.start({QStringLiteral("all"), QStringLiteral("--jobs"), QLatin1String(jobs)}));
    }
    // New versions while the batches run. Which document of them stays is
    // a matter of timing: a batch that read the earlier version may write
    // after a watcher wrote the new one.
    for (int i = 0; i < kStudents; i += 2) {
        ws.drop(ws.orvella() + source_name(i, 'a'), version(i, 'a', 2));
    }
    for (const auto& batch : batches) {
        ASSERT_TRUE(batch->waitForFinished(kLimitMs));
        EXPECT_EQ(batch->exitCode(), 0) << batch->readAllStandardError().toStdString();
    }
    ::kill(static_cast<pid_t>(watch->processId()), SIGTERM);
    ASSERT_TRUE(watch->waitForFinished(kLimitMs));
    EXPECT_EQ(watch->exitCode(), 0) << (watch_err + watch->readAllStandardError()).toStdString();

    // The last versions of those reports and of some more, for the desktop
    // programs alone: now they have the last word.
    for (int i = 0; i < kStudents; ++i) {
        if (i % 2 == 0) {
            ws.drop(ws.orvella() + source_name(i, 'a'), version(i, 'a', 3));
        }
        if (i % 3 == 0) {
            ws.drop(ws.orvella() + source_name(i, 'd'), version(i, 'd', 3));
        }
    }
    const auto expected = one_batch(ws);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(2 * kStudents));

    QElapsedTimer waiting;
    waiting.start();
    while (files_below(ws.html()) != expected && waiting.elapsed() < kLimitMs) {
        for (const auto& desktop : desktops) {
            ASSERT_EQ(desktop->state(), QProcess::Running)
                << desktop->readAllStandardError().toStdString();
        }
        QThread::msleep(100);
    }
    for (const auto& desktop : desktops) {
        desktop->terminate();
        EXPECT_TRUE(desktop->waitForFinished(kLimitMs));
    }
    EXPECT_EQ(unsound_documents(ws.html(), {}), QStringList{});
    expect_documents(files_below(ws.html()), expected);
}
#endif

}  // namespace
}  // namespace quillet::test
