// quillet-convert --jobs: any number of reports at a time gives the rows and
// documents of one at a time.
#include <gtest/gtest.h>

#include <QDir>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

// A mixed batch in a workspace of its own: duplicates of one document, one
// new student folder for many reports, invalid sources, a report without a
// student number, and documents that exist already.
void write_mixed_batch(const CliWorkspace& ws) {
    for (int i = 0; i < 30; ++i) {
        const QString name = QStringLiteral("~drntrp%1%2.tmp").arg(i % 4 == 0 ? u'd' : u'a').arg(i, 2, 10, QLatin1Char('0'));
        write_file(ws.orvella() + name,
                   orvella_report(i < 20 ? "30303030" : "4040404" + QByteArray::number(i % 10)) +
                       "Version " + QByteArray::number(i) + "\r\n");
    }
    write_file(ws.orvella() + QStringLiteral("~drntrpa40.tmp"), "not a report\r\n");
    write_file(ws.orvella() + QStringLiteral("~drntrpa42.tmp"), "@\r\nno student\r\n");
    write_file(ws.fennick() + QStringLiteral("jones.fnr"), "@1\r\nJones\r\n");
    write_file(ws.fennick() + QStringLiteral("Jones.FNR"), "@1\r\nJones again\r\n");
    write_file(ws.html() + QStringLiteral("40404043/Analysis.htm"), "earlier");
    write_file(ws.html() + QStringLiteral("Fennick/jones.htm"), "earlier");
}

struct Outcome {
    int exit_code = -1;
    QStringList rows;
    std::map<QString, QByteArray> files;
};

QStringList rows_text(const std::vector<ConvertRow>& rows) {
    QStringList text;
    for (const ConvertRow& row : rows) {
        text << QStringList{row.source, row.student, row.report, row.comment,
                            row.converted ? QStringLiteral("Yes") : QStringLiteral("No")}
                    .join(u'|');
    }
    return text;
}

Outcome convert(int jobs, const QString& existing) {
    CliWorkspace ws;
    write_mixed_batch(ws);
    const RunResult result =
        ws.run({QStringLiteral("all"), QStringLiteral("--json"), QStringLiteral("--jobs"),
                QString::number(jobs), QStringLiteral("--existing"), existing});
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    return {result.exit_code, rows_text(convert_rows(result.out)), files_below(ws.html())};
}

TEST(ConvertJobs, AnyNumberOfJobsGivesTheRowsAndDocumentsOfOneAtATime) {
    // ask: no terminal answers every question No.
    for (const char* existing : {"overwrite", "skip", "ask"}) {
        SCOPED_TRACE(existing);
        const Outcome one = convert(1, QString::fromLatin1(existing));
        ASSERT_EQ(one.rows.size(), 34);  // 30 + 2 + 2
        EXPECT_EQ(one.exit_code, 1);
        for (const int jobs : {2, 4}) {
            SCOPED_TRACE(jobs);
            const Outcome many = convert(jobs, QString::fromLatin1(existing));
            EXPECT_EQ(many.exit_code, one.exit_code);
            EXPECT_EQ(many.rows, one.rows);
            EXPECT_TRUE(many.files == one.files);
        }
    }
}

TEST(ConvertJobs, JobsMustBeAWholeNumberFromOne) {
    CliWorkspace ws;
    for (const char* jobs : {"0", "-2", "many", "1.5"}) {
        const RunResult result = ws.run(
            {QStringLiteral("orvella"), QStringLiteral("--jobs"), QString::fromLatin1(jobs)});
        EXPECT_EQ(result.exit_code, 2) << jobs;
        EXPECT_TRUE(result.err.contains("--jobs takes a whole number from 1")) << jobs;
    }
    EXPECT_EQ(ws.run({QStringLiteral("list"), QStringLiteral("--jobs"), QStringLiteral("2")})
                  .exit_code,
              2);
}

}  // namespace
}  // namespace quillet::test
