// quillet-convert under faults, run as an unprivileged user so that the
// permission bits hold even when the tests run as root: documents, folders
// and sources it may not write or read, a full disk, links that lead out of
// the reports folder or loop, sources that are no plain file, and a batch
// killed in the middle. The entry that meets the fault says what happened,
// every other entry is converted, and the reports folder stays sound.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QThread>
#include <csignal>
#include <functional>

#include "cli_workspace.h"
#include "test_support.h"

namespace quillet::test {
namespace {

constexpr auto kReadOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr auto kReadOnlyFolder =
    kReadOnlyFile | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

QString analysis(const CliWorkspace& ws, const QString& student) {
    return ws.html() + student + "/Analysis.htm";
}

QByteArray report_of_size(const QByteArray& student, qsizetype size, const QByteArray& words) {
    QByteArray report = orvella_report(student);
    while (report.size() < size) {
        report += words + " ~BiuL12~of~biuL12~ the  report\tand\t\tmore\r\n";
    }
    return report;
}

// Three students with one analysis report each; the second meets the fault.
class Fault : public ::testing::Test {
protected:
    void write_reports(qsizetype second_size = 0, const QByteArray& words = "first") {
        for (const char* student : {"11111111", "22222222", "33333333"}) {
            write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(student[0]),
                       report_of_size(student, student[0] == '2' ? second_size : 10'000, words));
        }
    }
    // Runs the batch: the first and third entries are converted whatever
    // happened to the second, and the reports folder stays sound.
    ConvertRow run_and_check_neighbours(const char* comment = "Created new HTML report",
                                        qint64 disk_space = 0) {
        const auto before = files_below(ws.html());
        const RunResult result = ws.run({"orvella", "--json"}, {{}, disk_space});
        EXPECT_EQ(result.exit_code, 1) << result.err.toStdString();
        const auto rows = result.rows();
        if (rows.size() != 3u) {
            ADD_FAILURE() << rows.size() << " rows";
            return {};
        }
        for (const int i : {0, 2}) {
            EXPECT_TRUE(rows[i].converted) << rows[i].comment.toStdString();
            EXPECT_EQ(rows[i].comment, comment);
            EXPECT_TRUE(is_complete_document(read_file(analysis(ws, rows[i].student))));
        }
        EXPECT_EQ(unsound_documents(ws.html(), before), QStringList());
        EXPECT_FALSE(rows[1].converted);
        EXPECT_EQ(rows[1].report, QString());
        return rows[1];
    }
    CliWorkspace ws{CliWorkspace::User::Unprivileged};
};

TEST_F(Fault, DocumentOrSubFolderThatCannotBeWrittenIsLeftAsItWasAndAnUnreadableSourceIsSkipped) {
    write_reports();
    const QString folder = ws.html() + "22222222";
    const QString document = analysis(ws, "22222222");
    const struct {
        const char* what;
        std::function<void()> fault;
        QByteArray kept;  // the document's bytes before and after; empty: no document
        QString comment =
            "Cannot create the HTML report. Perhaps it already exists and is read only.";
        QString student = "22222222";  // empty: not even known, and nothing made for it
    } cases[] = {
        {"read-only document",
         [&] { write_file(document, "earlier"), QFile::setPermissions(document, kReadOnlyFile); },
         "earlier"},
        {"read-only sub-folder holding a writable document",
         [&] { write_file(document, "earlier"), QFile::setPermissions(folder, kReadOnlyFolder); },
         "earlier"},
        {"read-only sub-folder without a document",
         [&] { QDir().mkpath(folder), QFile::setPermissions(folder, kReadOnlyFolder); },
         {}},
        {"source that cannot be read",
         [&] { QFile::setPermissions(ws.orvella() + "~drntrpa2.tmp", QFileDevice::Permissions()); },
         {},
         "Cannot read the report: Permission denied",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(ws.html()).removeRecursively();
        QDir().mkpath(ws.html());
        c.fault();
        const ConvertRow row = run_and_check_neighbours();
        EXPECT_EQ(row.comment, c.comment);
        EXPECT_EQ(row.student, c.student);
        EXPECT_EQ(QFileInfo::exists(folder), !c.student.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(ws.html() + "Temp"));
        EXPECT_EQ(read_file(document), c.kept);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  c.kept.isEmpty() ? QStringList() : QStringList{"Analysis.htm"});
        QFile::setPermissions(folder, kReadOnlyFolder | QFileDevice::WriteOwner);
    }
}

TEST_F(Fault, ReportsFolderThatCannotBeWrittenFailsEveryNewStudentAndKeepsTheOthers) {
    write_reports();
    write_file(analysis(ws, "11111111"), "earlier document");
    ASSERT_TRUE(QFile::setPermissions(ws.html(), kReadOnlyFolder));
    const auto before = files_below(ws.html());
    const RunResult result = ws.run({"orvella", "--json"});
    EXPECT_EQ(result.exit_code, 1) << result.err.toStdString();
    const auto rows = result.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].comment, "Overwrote existing HTML Report");
    for (const int i : {1, 2}) {
        EXPECT_FALSE(rows[i].converted);
        EXPECT_TRUE(rows[i].comment.startsWith(
            QStringLiteral("Cannot create the folder \"%1\"").arg(rows[i].student)))
            << rows[i].comment.toStdString();
        EXPECT_TRUE(rows[i].comment.contains("ermission")) << rows[i].comment.toStdString();
    }
    EXPECT_EQ(unsound_documents(ws.html(), before), QStringList());
    EXPECT_EQ(QDir(ws.html()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"11111111"});
    QFile::setPermissions(ws.html(), kReadOnlyFolder | QFileDevice::WriteOwner);
}

// The disk fills while the engine writes (1 MiB) or while the bytes of a
// large document are written behind it (6 MiB): the large document cannot be
// written (EFBIG), new or over an earlier one, while the small ones still can.
TEST_F(Fault, DocumentThatDoesNotFitLeavesNothingOrTheEarlierOne) {
    for (const qint64 space : {1 << 20, 6 << 20}) {
        SCOPED_TRACE(space);
        QDir(ws.html()).removeRecursively();
        QDir().mkpath(ws.html());
        for (const bool earlier : {false, true}) {
            write_reports(3 * space, earlier ? "second" : "first");
            const QByteArray before = read_file(analysis(ws, "22222222"));
            ASSERT_EQ(before.isEmpty(), !earlier);
            const ConvertRow row = run_and_check_neighbours(
                earlier ? "Overwrote existing HTML Report" : "Created new HTML report", space);
            // The comment names the cause, also when the disk fills in the middle of a write.
            EXPECT_TRUE(row.comment.startsWith("Cannot write the HTML report: ") &&
                        row.comment.contains("too large"))
                << row.comment.toStdString();
            EXPECT_EQ(read_file(analysis(ws, "22222222")), before);
            EXPECT_EQ(QDir(ws.html() + "22222222")
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot)
                          .size(),
                      earlier ? 1 : 0);
            if (!earlier) {  // the earlier document for the second round
                ASSERT_EQ(ws.run({"orvella"}).exit_code, 0);
                EXPECT_TRUE(read_file(analysis(ws, "11111111")).contains("first"));
            }
        }
        EXPECT_TRUE(read_file(analysis(ws, "11111111")).contains("second"));
    }
}

TEST_F(Fault, LinksOutOfTheReportsFolderOrToAPipeOrADeviceFailTheirEntryOnly) {
    const QString outside = ws.path("outside/");
    ASSERT_TRUE(QDir().mkpath(outside) && QDir().mkpath(ws.html() + "kept"));
    // Out of the folder, into it, and nowhere.
    ASSERT_TRUE(QFile::link(outside, ws.html() + "11111111"));
    ASSERT_TRUE(QFile::link(ws.html() + "kept", ws.html() + "22222222"));
    ASSERT_TRUE(QFile::link(ws.path("gone"), ws.html() + "33333333"));
    for (const char i : {'1', '2', '3', '4'}) {
        write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i),
                   orvella_report(QByteArray(8, i)));
    }
    // A link to a report kept elsewhere is read; one to a pipe or a device is not.
    write_file(ws.path("elsewhere.tmp"), orvella_report("55555555"));
    ASSERT_TRUE(QFile::link(ws.path("elsewhere.tmp"), ws.orvella() + "~drntrpa5.tmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(ws.path("pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(ws.path("pipe"), ws.orvella() + "~drntrpa6.tmp"));
    ASSERT_TRUE(QFile::link("/dev/zero", ws.orvella() + "~drntrpa7.tmp"));

    const auto before = files_below(ws.html());  // with the dangling link
    const auto rows = ws.run({"orvella", "--json"}).rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_FALSE(rows[0].converted);
    EXPECT_EQ(rows[0].comment, QStringLiteral("Cannot use the folder \"11111111\": it is a link to "
                                              "%1, outside the HTML reports folder.")
                                   .arg(QDir(outside).canonicalPath()));
    for (const int i : {2, 5, 6}) {
        EXPECT_FALSE(rows[i].converted || rows[i].comment.isEmpty()) << i;
    }
    for (const int i : {1, 3, 4}) {
        EXPECT_TRUE(rows[i].converted) << rows[i].comment.toStdString();
    }
    EXPECT_TRUE(files_below(outside).empty());
    EXPECT_EQ(unsound_documents(ws.html(), before), QStringList());
    EXPECT_FALSE(QFileInfo::exists(ws.path("gone")));
    const auto documents = files_below(ws.html());
    EXPECT_TRUE(is_complete_document(documents.at("kept/Analysis.htm")));
    // The linked report makes the document its bytes make anywhere.
    QByteArray expected = documents.at("44444444/Analysis.htm");
    expected.replace("44444444", "55555555");
    EXPECT_EQ(documents.at("55555555/Analysis.htm"), expected);
}

TEST_F(Fault, FolderLinkLoopsDoNotHoldUpTheCatalogue) {
    write_file(ws.html() + "12345678/Analysis.htm", "<HTML>\r\n</HTML>\r\n");
    // A link to the reports folder itself, and one inside a student folder back up to it.
    ASSERT_TRUE(QFile::link(ws.html(), ws.html() + "loop"));
    ASSERT_TRUE(QDir().mkpath(ws.html() + "12345678/inner"));
    ASSERT_TRUE(QFile::link(ws.html() + "12345678", ws.html() + "12345678/inner/up"));
    QStringList listed;
    for (const auto& value : finish(*ws.start({"list", "--json"}), 60000).json()) {
        listed << value.toObject().value(u"student").toString();
    }
    // Sub-folders one level deep only, nothing from the loops.
    EXPECT_EQ(listed, QStringList{"12345678"});
}

// The state letter of a process (R, S, T, Z...), or 0 once it is gone.
char state_of(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const auto at = text.lastIndexOf(") ");
    return at < 0 || at + 2 >= text.size() ? char{0} : text[at + 2];
}

void stop(qint64 pid) {
    ::kill(static_cast<pid_t>(pid), SIGSTOP);
    for (char s = state_of(pid); s != 'T' && s != 't' && s != 'Z' && s != 0; s = state_of(pid)) {
        QThread::usleep(100);
    }
}

// Killed (SIGKILL) in the middle of a batch of large reports: every document
// is then either the one from before the batch or the complete new one.
TEST_F(Fault, KilledBatchLeavesTheEarlierOrTheWholeNewDocuments) {
    constexpr int kReports = 16;
    const auto write_versions = [&](const QByteArray& version) {
        for (int i = 0; i < kReports; ++i) {
            write_file(
                ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i, 2, 10, QLatin1Char('0')),
                report_of_size(QByteArray::number(10000000 + i), 4 << 20, version));
        }
    };
    write_versions("earlier");
    ASSERT_EQ(ws.run({"orvella"}).exit_code, 0);
    const auto earlier = files_below(ws.html());
    // The documents the new reports make, converted undisturbed elsewhere.
    write_versions("new");
    ASSERT_TRUE(QDir().mkpath(ws.path("html-new")));
    ASSERT_EQ(ws.run({"orvella", "--html", ws.path("html-new")}).exit_code, 0);
    const auto renewed = files_below(ws.path("html-new"));
    ASSERT_EQ(renewed.size(), static_cast<std::size_t>(kReports));

    // Kill it once the first new document is in place. It runs in slices of
    // about a millisecond and is stopped while the folder is looked at, so
    // that it cannot run ahead of a slow look, however busy the machine.
    std::map<QString, QDateTime> stamps;
    for (const auto& [name, bytes] : earlier) {
        stamps[name] = QFileInfo(ws.html() + name).lastModified();
    }
    const auto process = ws.start({"orvella"});
    const qint64 pid = process->processId();
    bool replaced = false;
    const auto running = [pid] { return state_of(pid) != 'Z' && state_of(pid) != 0; };
    for (stop(pid); !replaced && running(); stop(pid)) {
        ::kill(static_cast<pid_t>(pid), SIGCONT);
        QThread::usleep(1000);
        for (const auto& [name, stamp] : stamps) {
            replaced = replaced || QFileInfo(ws.html() + name).lastModified() != stamp;
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
        old_ones += bytes == earlier.at(name);
        new_ones += bytes == renewed.at(name);
        EXPECT_TRUE(bytes == earlier.at(name) || bytes == renewed.at(name)) << name.toStdString();
    }
    EXPECT_EQ(after.size(), earlier.size()) << "files were added or lost";
    EXPECT_GE(new_ones, 1);
    EXPECT_GE(old_ones, 1) << "the batch ended before it was killed";
}

}  // namespace
}  // namespace quillet::test
