// quillet-convert killed (SIGKILL) in the middle of a batch of large
// reports: every document is then either the one from before the batch or
// the complete new one, and nothing else lies in the reports folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

constexpr int kReports = 16;
constexpr qsizetype kReportSize = 4 * 1024 * 1024;

QString student(int i) {
    return QStringLiteral("%1").arg(10000000 + i);
}

// The state letter of a process (R, S, T, Z...), or 0 once it is gone.
char state_of(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray text = stat.readAll();
    const auto at = text.lastIndexOf(") ");
    return at < 0 || at + 2 >= text.size() ? char{0} : text[at + 2];
}

// Stops the process and waits until it has stopped (or ended).
void stop(qint64 pid) {
    ::kill(static_cast<pid_t>(pid), SIGSTOP);
    for (char state = state_of(pid); state != 'T' && state != 't' && state != 'Z' && state != 0;
         state = state_of(pid)) {
        QThread::usleep(100);
    }
}

void write_reports(const FaultWorkspace& ws, const QByteArray& version) {
    QByteArray body;
    while (body.size() < kReportSize) {
        body += version + " text with ~BiuL12~bold~biuL12~ words,  blank  runs and\ttabs\r\n";
    }
    for (int i = 0; i < kReports; ++i) {
        write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i, 2, 10, QLatin1Char('0')),
                   orvella_report(student(i).toLatin1()) + body);
    }
}

TEST(KilledBatch, EveryDocumentIsTheEarlierOneOrTheWholeNewOne) {
    FaultWorkspace ws{QStringLiteral(QUILLET_CONVERT_EXE)};
    const QString other_html = ws.path(QStringLiteral("html-new/"));
    ASSERT_TRUE(QDir().mkpath(other_html));

    write_reports(ws, "earlier");
    ASSERT_EQ(ws.run({QStringLiteral("orvella")}).exit_code, 0);
    const auto earlier = files_below(ws.html());
    ASSERT_EQ(earlier.size(), static_cast<std::size_t>(kReports));

    // The documents the new reports make, converted undisturbed elsewhere.
    write_reports(ws, "new");
    ASSERT_EQ(ws.run({QStringLiteral("orvella"), QStringLiteral("--html"), other_html}).exit_code,
              0);
    const auto renewed = files_below(other_html);
    ASSERT_EQ(renewed.size(), static_cast<std::size_t>(kReports));

    // Convert again over the earlier documents; kill it once the first new
    // document is in place. The batch runs in slices of about a millisecond
    // and is stopped while the folder is looked at, so that it cannot run
    // ahead of a slow look, however busy the machine.
    std::map<QString, QDateTime> stamps;
    for (const auto& [name, bytes] : earlier) {
        stamps[name] = QFileInfo(ws.html() + name).lastModified();
    }
    const auto process = ws.start({QStringLiteral("orvella")});
    const qint64 pid = process->processId();
    stop(pid);
    QElapsedTimer waiting;
    waiting.start();
    bool replaced = false;
    while (!replaced && state_of(pid) != 'Z' && waiting.elapsed() < 300000) {
        ::kill(static_cast<pid_t>(pid), SIGCONT);
        QThread::usleep(1000);
        stop(pid);
        for (const auto& [name, stamp] : stamps) {
            if (QFileInfo(ws.html() + name).lastModified() != stamp) {
                replaced = true;
                break;
            }
        }
    }
    process->kill();
    ::kill(static_cast<pid_t>(pid), SIGCONT);
    process->waitForFinished();
    ASSERT_TRUE(replaced) << "no document was replaced";

    const auto after = files_below(ws.html());
    int old_ones = 0;
    int new_ones = 0;
    for (const auto& [name, bytes] : after) {
        if (bytes == earlier.at(name)) {
            ++old_ones;
        } else if (renewed.count(name) != 0 && bytes == renewed.at(name)) {
            ++new_ones;
        } else {
            ADD_FAILURE() << name.toStdString() << ": neither the earlier nor the new document ("
                          << bytes.size() << " bytes)";
        }
    }
    EXPECT_EQ(after.size(), earlier.size()) << "files were added or lost";
    EXPECT_GE(new_ones, 1);
    EXPECT_GE(old_ones, 1) << "the batch ended before it was killed";
}

}  // namespace
}  // namespace quillet::test
