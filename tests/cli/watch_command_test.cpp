// quillet-convert watch, run as a user runs it: reports dropped, moved in,
// written again and removed while it watches (when a report has settled: the
// arrival tracker's tests); its folders removed and made again; stopped by a
// signal; two of it, batches and a desktop program on the same folders. The
// documents are compared whole with what a batch makes of the same reports.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <csignal>
#include <cstdio>

#include "cli_workspace.h"
#include "test_support.h"

namespace quillet::test {
namespace {

constexpr int kLimitMs = 240000;  // generous: sanitizer builds on a busy machine

// A running quillet-convert watch with --json, read as it goes.
class Watch {
public:
    Watch(const CliWorkspace& ws, QStringList extra = {}) {
        QStringList args{"watch", "--json"};
        if (!extra.contains("--settle")) {
            args << "--settle"
                 << "200";
        }
        process_ = ws.start(args + extra);
        EXPECT_TRUE(wait_err("quillet-convert: watching ")) << err_.toStdString();
    }
    ~Watch() {
        process_->kill();
        process_->waitForFinished();
    }

    bool wait_rows(std::size_t n) {
        return wait([&] { return rows_.size() >= n; });
    }
    bool wait_source(const QString& source) {
        return wait([&] { return sources().contains(source); });
    }
    bool wait_err(const QString& text, int times = 1) {
        return wait([&] { return err_.count(text.toUtf8()) >= times; });
    }
    // Sends the signal and waits for the end; the exit status, or -1 when
    // it crashed or is still running (and may still write documents).
    int stop(int signal = SIGTERM) {
        ::kill(static_cast<pid_t>(process_->processId()), signal);
        const int code = wait_for_exit(*process_, kLimitMs);
        read();
        return code;
    }

    const std::vector<QJsonObject>& rows() const { return rows_; }
    QStringList sources() const {
        QStringList names;
        for (const QJsonObject& row : rows_) {
            names << row["source"].toString();
        }
        return names;
    }
    const QByteArray& err() const { return err_; }

private:
    template <typename Done>
    bool wait(Done done) {
        QElapsedTimer elapsed;
        elapsed.start();
        read();
        while (!done() && elapsed.elapsed() < kLimitMs && process_->state() == QProcess::Running) {
            process_->waitForReadyRead(50);
            read();
        }
        return done();
    }

    void read() {
        partial_ += process_->readAllStandardOutput();
        err_ += process_->readAllStandardError();
        qsizetype end = 0;
        while ((end = partial_.indexOf('\n')) >= 0) {
            const QByteArray line = partial_.left(end);
            partial_.remove(0, end + 1);
            QJsonParseError error{};
            const QJsonDocument row = QJsonDocument::fromJson(line, &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            rows_.push_back(row.object());
        }
    }

    std::unique_ptr<QProcess> process_;
    QByteArray partial_, err_;
    std::vector<QJsonObject> rows_;
};

QByteArray fennick_report(const QByteArray& text) {
    return "@\r\n~biuC18~\r\nFennick Questionnaire\r\n~biuL12~\r\n" + text + "\r\n";
}

// What one batch makes of the reports that lie in ws's source folders now:
// the documents of `all` in a workspace of its own.
std::map<QString, QByteArray> batch_documents(const CliWorkspace& ws) {
    CliWorkspace reference;
    for (const auto& [from, to] : {std::pair{ws.orvella(), reference.orvella()},
                                   std::pair{ws.fennick(), reference.fennick()}}) {
        for (const auto& [name, bytes] : files_below(from)) {
            write_file(to + name, bytes);
        }
    }
    EXPECT_EQ(reference.run({"all"}).exit_code, 0);
    return files_below(reference.html());
}

TEST(WatchCommand, WhatIsThereFirstABurstMovedInReportsOnlyReportNamesThenARewriteAndARemoval) {
    CliWorkspace ws;
    write_file(ws.orvella() + "~drntrpa00.tmp", orvella_report("20240000"));
    Watch watch(ws);
    ASSERT_TRUE(watch.wait_rows(1));

    // Names that are no report of their folder, hidden names, a folder.
    for (const char* name : {"notes.tmp", ".~drntrpa09.tmp", "~drntrpa09.tmp.part", "x.fnr"}) {
        write_file(ws.orvella() + name, orvella_report("20249999"));
    }
    write_file(ws.fennick() + ".hidden.fnr", fennick_report("hidden"));
    write_file(ws.fennick() + "a.fnr.bak", fennick_report("backup"));
    ASSERT_TRUE(QDir().mkpath(ws.fennick() + "folder.fnr"));

    constexpr int kBurst = 40;
    for (int i = 1; i <= kBurst; ++i) {
        write_file(ws.orvella() + QStringLiteral("~drntrpd%1.tmp").arg(i, 2, 10, QLatin1Char('0')),
                   orvella_report(QByteArray::number(20240000 + i)));
        write_file(ws.fennick() + QStringLiteral("s%1.fnr").arg(i),
                   fennick_report(QByteArray::number(i)));
    }
    // Moved in: from outside, and from a name that was no report's.
    write_file(ws.root() + "/outside.tmp", orvella_report("20241111"));
    ASSERT_TRUE(QFile::rename(ws.root() + "/outside.tmp", ws.orvella() + "~drntrpa11.tmp"));
    ASSERT_TRUE(
        QFile::rename(ws.orvella() + "~drntrpa09.tmp.part", ws.orvella() + "~drntrpa09.tmp"));

    const std::size_t expected = 1 + 2 * kBurst + 2;
    ASSERT_TRUE(watch.wait_rows(expected)) << watch.rows().size();
    const auto burst = files_below(ws.html());
    EXPECT_EQ(burst, batch_documents(ws));

    // A report written again is converted again; a removed one's document stays.
    write_file(ws.orvella() + "~drntrpa00.tmp", orvella_report("20240000") + "Again, longer.\r\n");
    ASSERT_TRUE(QFile::remove(ws.orvella() + "~drntrpa11.tmp"));
    ASSERT_TRUE(watch.wait_rows(expected + 1));
    EXPECT_EQ(watch.rows()[expected]["comment"].toString(), "Overwrote existing HTML Report");
    auto documents = batch_documents(ws);
    documents.insert(*burst.find("20241111/Analysis.htm"));
    EXPECT_EQ(files_below(ws.html()), documents);
    EXPECT_EQ(watch.stop(SIGINT), 0);
    EXPECT_EQ(watch.rows().size(), expected + 1);
    for (std::size_t i = 0; i < watch.rows().size(); ++i) {
        EXPECT_EQ(watch.rows()[i]["no"].toInt(), static_cast<int>(i + 1));
    }
    EXPECT_TRUE(watch.sources().contains("~drntrpa11"));
    EXPECT_TRUE(watch.sources().contains("~drntrpa09"));
}

TEST(WatchCommand, AStoredAskPolicyKeepsDocumentsAndDorrantIniChangedMovesTheFennickWatch) {
    CliWorkspace ws;
    const QString dorrant = ws.path("data/Quillet/dorrant.ini");
    write_file(ws.settings(), read_file(ws.settings())
                                  .replace("Option=0", "Option=1")
                                  .replace("Choice=0", "Choice=1"));
    write_file(dorrant, "database=" + ws.fennick().toUtf8() + "\n");
    write_file(ws.html() + "20240001/Analysis.htm", "earlier");
    write_file(ws.orvella() + "~drntrpa01.tmp", orvella_report("20240001"));
    Watch watch(ws);
    ASSERT_TRUE(watch.wait_rows(1));
    EXPECT_EQ(watch.rows()[0]["comment"].toString(), "HTML Report already exists");
    EXPECT_EQ(read_file(ws.html() + "20240001/Analysis.htm"), "earlier");
    ASSERT_TRUE(QDir().mkpath(ws.path("db")));
    write_file(dorrant, "database=" + ws.path("db/").toUtf8() + "\n");
    ASSERT_TRUE(watch.wait_err("dorrant.ini names the Fennick folder " + ws.path("db/")));
    write_file(ws.path("db/jones.fnr"), fennick_report("moved"));
    EXPECT_TRUE(watch.wait_source("jones"));
}

TEST(WatchCommand, TheStreamedTableHoldsTheWidestDateOfTheLocale) {
    CliWorkspace ws;
    qputenv("LC_ALL", "en_GB.UTF-8");  // dates of 19 characters
    const auto watch = ws.start({"watch", "--settle", "200"});
    qunsetenv("LC_ALL");
    write_file(ws.orvella() + "~drntrpa01.tmp", orvella_report("20240001"));
    QByteArray out;
    while (out.count('\n') < 2 && watch->waitForReadyRead(kLimitMs)) {
        out += watch->readAllStandardOutput();
    }
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_GE(lines.size(), 2) << out.toStdString();
    EXPECT_EQ(lines[0].indexOf("Converted?"), lines[1].indexOf("Yes")) << out.toStdString();
    watch->kill();
    watch->waitForFinished();
}

TEST(WatchCommand, AWatchedFolderRemovedAndMadeAgainIsWatchedAgain) {
    CliWorkspace ws;
    Watch watch(ws);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(QDir(ws.orvella()).removeRecursively());
        ASSERT_TRUE(watch.wait_err(
            "the Orvella folder " + ws.orvella() + " is gone; waiting for it to return", round));
        ASSERT_TRUE(QDir().mkpath(ws.orvella()));
        ASSERT_TRUE(watch.wait_err(
            "the Orvella folder " + ws.orvella() + " is back; watching it again", round));
        write_file(ws.orvella() + QStringLiteral("~drntrpa0%1.tmp").arg(round),
                   orvella_report(QByteArray::number(20240000 + round)));
        ASSERT_TRUE(watch.wait_rows(static_cast<std::size_t>(round)));
    }
    EXPECT_EQ(watch.stop(), 0);
    EXPECT_EQ(watch.sources(), (QStringList{"~drntrpa01", "~drntrpa02"}));
    EXPECT_EQ(watch.err().count("is gone"), 2);
    EXPECT_EQ(watch.err().count("is back"), 2);
}

TEST(WatchCommand, SigtermDuringConversionsLeavesOnlyWholeDocuments) {
    CliWorkspace ws;
    Watch watch(ws, {"--jobs", "2"});
    QByteArray body;
    while (body.size() < 4 * 1024 * 1024) {
        body += "Text with ~BiuL12~bold~biuL12~ words and\ttabs\r\n";
    }
    constexpr int kReports = 24;
    for (int i = 0; i < kReports; ++i) {
        write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i, 2, 10, QLatin1Char('0')),
                   orvella_report(QByteArray::number(20240000 + i)) + body);
    }
    ASSERT_TRUE(watch.wait_rows(1));
    // Only a watch that has ended has told of every document it wrote.
    ASSERT_EQ(watch.stop(), 0);

    EXPECT_EQ(unsound_documents(ws.html(), {}), QStringList{});
    const auto reference = batch_documents(ws);
    const auto documents = files_below(ws.html());
    EXPECT_EQ(documents.size(), watch.rows().size()) << "one document per row";
    for (const auto& [name, bytes] : documents) {
        EXPECT_TRUE(bytes == reference.at(name)) << name.toStdString();
    }
}

// Watchers, batches, conversions of single folders and a desktop program
// converting automatically, all on the same folders at once: every document
// is whole and, once the last changes are converted, exactly what one batch
// writes, and no temporary file is left.
TEST(WatchCommand, WatchersBatchesAndADesktopProgramOnTheSameFoldersLeaveOnlyWholeDocuments) {
    CliWorkspace ws;
#ifdef QUILLET_DESKTOP_EXE
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString desktop_settings = ws.path("desktop.ini");
    write_file(desktop_settings, read_file(ws.settings()) + "Auto%20Convert=1\n");
    const auto desktop =
        ws.start_program(QStringLiteral(QUILLET_DESKTOP_EXE), {"--settings", desktop_settings});
#endif
    Watch first(ws, {"--jobs", "2"});
    Watch second(ws, {"--jobs", "1", "--settle", "50"});
    QByteArray body;
    while (body.size() < 256 * 1024) {
        body += "Line with ~BiuL12~bold~biuL12~ text.\r\n";
    }
    // Reports are put in place whole (renamed in), as a batch started at any
    // moment must read them whole to write what one batch writes.
    const auto drop_all = [&](int version) {
        for (int i = 0; i < 30; ++i) {
            // Several reports of one student, so documents are replaced often.
            const QByteArray student = QByteArray::number(20240000 + i % 5);
            ws.drop(ws.orvella() + QStringLiteral("~drntrp%1%2.tmp")
                                       .arg(i % 2 == 0 ? "a" : "d")
                                       .arg(i, 2, 10, QLatin1Char('0')),
                    orvella_report(student) + body);
            ws.drop(ws.fennick() + QStringLiteral("s%1.fnr").arg(i % 7),
                    fennick_report(QByteArray::number(version * 100 + i)) + body);
        }
    };
    std::vector<std::unique_ptr<QProcess>> batches;
    // One report is there before the first batch, which may list the folders
    // before any other arrives.
    ws.drop(ws.orvella() + "~drntrpa98.tmp", orvella_report("20249998"));
    batches.push_back(ws.start({"all"}));
    drop_all(1);
    batches.push_back(ws.start({"all", "--jobs", "2"}));
    batches.push_back(ws.start({"fennick", "--jobs", "1"}));
    drop_all(2);
    for (const auto& batch : batches) {
        EXPECT_EQ(finish(*batch).exit_code, 0);
    }
    // The last word is the watchers': every report once more, then one that
    // settles after all of them.
    drop_all(3);
    ws.drop(ws.orvella() + "~drntrpa99.tmp", orvella_report("20249999"));
    EXPECT_TRUE(first.wait_source("~drntrpa99"));
    EXPECT_TRUE(second.wait_source("~drntrpa99"));
    EXPECT_EQ(first.stop(), 0);
    EXPECT_EQ(second.stop(), 0);
    const auto expected = batch_documents(ws);
#ifdef QUILLET_DESKTOP_EXE
    // The desktop program converts the same last reports, to the same bytes.
    QElapsedTimer waiting;
    waiting.start();
    while (files_below(ws.html()) != expected && waiting.elapsed() < kLimitMs &&
           desktop->state() == QProcess::Running) {
        QThread::msleep(100);
    }
    EXPECT_EQ(desktop->state(), QProcess::Running) << desktop->readAllStandardError().toStdString();
    desktop->terminate();
    EXPECT_TRUE(desktop->waitForFinished(kLimitMs));
#endif
    EXPECT_EQ(unsound_documents(ws.html(), {}), QStringList{});
    EXPECT_EQ(files_below(ws.html()), expected);
}

}  // namespace
}  // namespace quillet::test
