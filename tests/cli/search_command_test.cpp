// quillet-convert search and text: output, exit statuses, and several
// processes writing the index at once.
#include <gtest/gtest.h>
#include <QJsonObject>
#include <QProcess>
#include <memory>
#include <vector>

#include "cli_workspace.h"
#include "test_support.h"

namespace quillet::test {
namespace {

QByteArray report(int student) {
    return orvella_report(QByteArray::number(20000000 + student)) +
           "Extra time of 25% is recommended; common words.\r\n";
}

TEST(SearchCommand, OutputAndExitStatus) {
    CliWorkspace ws;
    for (int i = 0; i < 2; ++i) {
        write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i), report(i));
    }
    write_file(ws.html() + QStringLiteral("Fennick/Jones.htm"), "<P>Reads &amp; writes at home.");
    ASSERT_EQ(ws.run({QStringLiteral("orvella")}).exit_code, 0);
    const QString jones = ws.html() + QStringLiteral("Fennick/Jones.htm");

    const struct {
        QStringList args;
        int exit_code;
        QByteArray out, err;  // out: the start of standard output; err: all of standard error
    } cases[] = {
        {{"search", "home"}, 0, "Student Number  Report name  Date", ""},
        {{"search", "home", "--json"}, 0, "[\n    {\n        \"date\": ", ""},
        {{"search", "nowhere"}, 3, "", ""},
        {{"search", "nowhere", "--json"}, 3, "[\n]\n", ""},
        {{"search", "extra AND"},
         2,
         "",
         "quillet-convert: cannot understand the query \"extra AND\": the query ends too early\n"},
        {{"search"}, 2, "", "quillet-convert: search needs a query (try --help)\n"},
        {{"search", "x", "--limit", "0"},
         2,
         "",
         "quillet-convert: --limit takes a whole number from 1, not '0'\n"},
        {{"text", jones}, 0, "Reads & writes at home.\n", ""},
        {{"text", ws.root() + "/none.htm"}, 2, "", "quillet-convert: cannot read the document "},
    };
    for (const auto& c : cases) {
        const RunResult result = ws.run(c.args);
        const std::string what = c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(result.exit_code, c.exit_code) << what;
        EXPECT_TRUE(result.out.startsWith(c.out)) << what << "\n" << result.out.toStdString();
        EXPECT_TRUE(c.err.endsWith('\n') ? result.err == c.err : result.err.startsWith(c.err))
            << what << "\n"
            << result.err.toStdString();
    }

    // A row per document, best first, with the match marked; the same in JSON.
    const RunResult table = ws.run({"search", "extra time", "--limit", "1"});
    EXPECT_EQ(table.out.count('\n'), 2);
    EXPECT_TRUE(table.out.contains("  analysis     ")) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains("[Extra] [time] of 25% is recommended; common words.\n"));
    const QJsonObject hit = ws.run({"search", "\"reads & writes\"", "--json"}).json()[0].toObject();
    EXPECT_EQ(hit.value("student").toString(), "jones");
    EXPECT_EQ(hit.value("report").toString(), "jones");
    EXPECT_EQ(hit.value("path").toString(), jones);
    EXPECT_EQ(hit.value("snippet").toString(), "[Reads & writes] at home.");
}

TEST(SearchCommand, SeveralProcessesWriteTheIndexAtOnce) {
    CliWorkspace ws;
    ASSERT_EQ(ws.run({"search", "common"}).exit_code, 3);  // the index exists from here on
    constexpr int kDocuments = 300;
    constexpr int kReports = 40;
    for (int i = 0; i < kDocuments; ++i) {
        write_file(ws.html() + QStringLiteral("%1/Letter.htm").arg(30000000 + i),
                   "<P>common letter " + QByteArray::number(i) + "</P>");
    }
    for (int i = 0; i < kReports; ++i) {
        write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i), report(i));
    }
    // Two searches bring the index up to date while a batch feeds it.
    std::vector<std::unique_ptr<QProcess>> writers;
    writers.push_back(ws.start({"search", "common"}));
    writers.push_back(ws.start({"orvella", "--jobs", "2"}));
    writers.push_back(ws.start({"search", "common"}));
    for (const auto& writer : writers) {
        EXPECT_EQ(wait_for_exit(*writer, 240000), 0) << writer->arguments().join(" ").toStdString();
        EXPECT_EQ(writer->readAllStandardError(), "");
    }
    const RunResult all = ws.run({"search", "common", "--json", "--limit", "1000"});
    QStringList paths;
    for (const auto& hit : all.json()) {
        paths << hit.toObject().value("path").toString();
    }
    paths.removeDuplicates();
    EXPECT_EQ(paths.size(), kDocuments + kReports);
}

}  // namespace
}  // namespace quillet::test
