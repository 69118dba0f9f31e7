// quillet-convert's conversion commands, driven as a user would.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

using Row = ConvertRow;

std::vector<Row> rows_of(const RunResult& result) {
    return convert_rows(result.out);
}

class ConvertCommand : public ::testing::Test {
protected:
    void SetUp() override {
        write_file(ws.fennick() + QStringLiteral("jones.fnr"), "@1\r\nText\r\n");
        write_file(ws.fennick() + QStringLiteral("Smith7.FNR"), "@1\r\nMore\r\n");
        write_file(ws.orvella() + QStringLiteral("~drntrpa01.tmp"), orvella_report("12345678"));
        write_file(ws.orvella() + QStringLiteral("~drntrpb02.tmp"), "not a report\r\n");
        write_file(ws.orvella() + QStringLiteral("~drntrpd03.tmp"), orvella_report("12345678"));
        write_file(ws.orvella() + QStringLiteral("notes.tmp"), "@ not picked up\r\n");
    }
    CliWorkspace ws;
};

TEST_F(ConvertCommand, MixedBatchConvertsEveryValidReportAndGoesOnPastInvalidOnes) {
    const RunResult result = ws.run({QStringLiteral("all"), QStringLiteral("--json")});
    EXPECT_EQ(result.exit_code, 1) << result.err.toStdString();
    const auto rows = rows_of(result);
    ASSERT_EQ(rows.size(), 5u);
    // Fennick reports come first, then the Orvella folder in name order.
    EXPECT_EQ(rows[0].source, QStringLiteral("jones"));
    EXPECT_EQ(rows[0].student, QStringLiteral("jones"));
    EXPECT_EQ(rows[0].report, QStringLiteral("jones"));
    EXPECT_EQ(rows[0].comment, QStringLiteral("Created new HTML report"));
    EXPECT_TRUE(rows[0].converted);
    EXPECT_EQ(rows[1].source, QStringLiteral("smith7"));
    EXPECT_TRUE(rows[1].converted);
    EXPECT_EQ(rows[2].report, QStringLiteral("Analysis"));
    EXPECT_EQ(rows[2].student, QStringLiteral("12345678"));
    EXPECT_TRUE(rows[2].converted);
    EXPECT_EQ(rows[3].source, QStringLiteral("~drntrpb02"));
    EXPECT_EQ(rows[3].comment, QStringLiteral("Invalid Orvella report."));
    EXPECT_EQ(rows[3].report, QString());
    EXPECT_FALSE(rows[3].converted);
    EXPECT_EQ(rows[4].report, QStringLiteral("Dyslexia"));
    EXPECT_TRUE(rows[4].converted);

    EXPECT_TRUE(QFileInfo::exists(ws.html() + QStringLiteral("Fennick/jones.htm")));
    EXPECT_TRUE(QFileInfo::exists(ws.html() + QStringLiteral("Fennick/smith7.htm")));
    EXPECT_TRUE(QFileInfo::exists(ws.html() + QStringLiteral("12345678/Analysis.htm")));
    EXPECT_TRUE(QFileInfo::exists(ws.html() + QStringLiteral("12345678/Dyslexia.htm")));
    // The invalid report left nothing behind.
    EXPECT_EQ(files_below(ws.html()).size(), 4u);
    const QByteArray fennick = read_file(ws.html() + QStringLiteral("Fennick/smith7.htm"));
    EXPECT_TRUE(fennick.contains("<TITLE>Fennick Report for smith7</TITLE>"));
}

TEST_F(ConvertCommand, SecondRunWithSkipLeavesEveryDocumentUntouched) {
    ASSERT_EQ(ws.run({QStringLiteral("all")}).exit_code, 1);
    const auto before = files_below(ws.html());
    const RunResult again = ws.run({QStringLiteral("all"), QStringLiteral("--existing"),
                                    QStringLiteral("skip"), QStringLiteral("--json")});
    EXPECT_EQ(again.exit_code, 1);
    for (const Row& row : rows_of(again)) {
        if (row.source != QStringLiteral("~drntrpb02")) {
            EXPECT_EQ(row.comment, QStringLiteral("HTML Report already exists"));
            EXPECT_EQ(row.report, QString());
            EXPECT_FALSE(row.converted);
        }
    }
    EXPECT_EQ(files_below(ws.html()), before);
}

TEST_F(ConvertCommand, ExistingDocumentsPolicies) {
    QFile::remove(ws.orvella() + QStringLiteral("~drntrpb02.tmp"));
    ASSERT_EQ(ws.run({QStringLiteral("orvella")}).exit_code, 0);
    const QString analysis = ws.html() + QStringLiteral("12345678/Analysis.htm");
    write_file(analysis, "old");

    // Without a terminal, ask answers No.
    RunResult asked = ws.run({QStringLiteral("orvella"), QStringLiteral("--existing"),
                              QStringLiteral("ask"), QStringLiteral("--json")},
                             "y\ny\n");
    EXPECT_EQ(asked.exit_code, 1);
    EXPECT_EQ(rows_of(asked)[0].comment, QStringLiteral("HTML Report already exists"));
    EXPECT_EQ(read_file(analysis), QByteArray("old"));

    RunResult overwritten = ws.run({QStringLiteral("orvella"), QStringLiteral("--existing"),
                                    QStringLiteral("overwrite"), QStringLiteral("--json")});
    EXPECT_EQ(overwritten.exit_code, 0);
    EXPECT_EQ(rows_of(overwritten)[0].comment, QStringLiteral("Overwrote existing HTML Report"));
    EXPECT_TRUE(read_file(analysis).startsWith("<HTML>\r\n"));

    // The run's policy was never saved: the stored one still overwrites.
    EXPECT_FALSE(read_file(ws.settings()).contains("Convert%20Option=2"));
}

TEST_F(ConvertCommand, ReadOnlyDocumentIsNeverReplaced) {
    QFile::remove(ws.orvella() + QStringLiteral("~drntrpb02.tmp"));
    const QString analysis = ws.html() + QStringLiteral("12345678/Analysis.htm");
    write_file(analysis, "keep me");
    QFile::setPermissions(analysis, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const RunResult result = ws.run({QStringLiteral("orvella"), QStringLiteral("--json")});
    EXPECT_EQ(result.exit_code, 1);
    const auto rows = rows_of(result);
    EXPECT_EQ(rows[0].comment,
              QStringLiteral(
                  "Cannot create the HTML report. Perhaps it already exists and is read only."));
    EXPECT_TRUE(rows[1].converted);
    EXPECT_EQ(read_file(analysis), QByteArray("keep me"));
}

TEST_F(ConvertCommand, UnsafeStudentNumbersGoToTemp) {
    QDir(ws.orvella()).removeRecursively();
    QDir().mkpath(ws.orvella());
    write_file(ws.orvella() + QStringLiteral("~drntrpa1.tmp"), orvella_report("../../x"));
    write_file(ws.orvella() + QStringLiteral("~drntrpd2.tmp"), orvella_report(".."));
    write_file(ws.orvella() + QStringLiteral("~drntrpd3.tmp"), "@\r\nno number here\r\n");
    const RunResult result = ws.run({QStringLiteral("orvella"), QStringLiteral("--json")});
    EXPECT_EQ(result.exit_code, 0) << result.out.toStdString();
    const auto rows = rows_of(result);
    ASSERT_EQ(rows.size(), 3u);
    for (const Row& row : rows) {
        EXPECT_EQ(row.student, QStringLiteral("Temp"));
    }
    EXPECT_TRUE(QFileInfo::exists(ws.html() + QStringLiteral("Temp/Analysis.htm")));
    EXPECT_TRUE(QFileInfo::exists(ws.html() + QStringLiteral("Temp/Dyslexia.htm")));
    // Nothing was written beside the HTML reports folder.
    EXPECT_FALSE(QFileInfo::exists(ws.root() + QStringLiteral("/x")));
    EXPECT_EQ(QDir(ws.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 5);
    const QByteArray title = read_file(ws.html() + QStringLiteral("Temp/Analysis.htm"));
    EXPECT_TRUE(title.contains("Report for ../../x</TITLE>")) << title.toStdString();
}

TEST_F(ConvertCommand, TableOutputIsAligned) {
    const RunResult result = ws.run({QStringLiteral("fennick")});
    EXPECT_EQ(result.exit_code, 0);
    const QList<QByteArray> lines = result.out.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("No.  Source filename  Student Number  Report name  Date"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("Converted?  Comment"));
    EXPECT_TRUE(lines[1].startsWith("1    jones            jones           jones        "));
    EXPECT_EQ(lines[0].indexOf("Comment"), lines[1].indexOf("Created new HTML report"));
}

TEST(ConvertCommandStatus, UsageErrorsNoReportsHelpAndVersion) {
    CliWorkspace ws;
    struct Case {
        QStringList args;
        int exit_code;
        const char* says;
    } cases[] = {
        {{}, 2, "no command"},
        {{QStringLiteral("convert")}, 2, "unknown command"},
        {{QStringLiteral("all"), QStringLiteral("--existing"), QStringLiteral("never")},
         2,
         "--existing"},
        {{QStringLiteral("all"), QStringLiteral("--html")}, 2, "needs a value"},
        {{QStringLiteral("all"), QStringLiteral("--sort"), QStringLiteral("date")},
         2,
         "unknown option"},
        {{QStringLiteral("list"), QStringLiteral("--sort"), QStringLiteral("size")}, 2, "--sort"},
        {{QStringLiteral("orvella"), QStringLiteral("--orvella"), QStringLiteral("/no/such/dir")},
         2,
         "no such folder"},
        {{QStringLiteral("all")},
         3,
         "Could not find any Reports in the Orvella or Fennick Folder to convert to HTML."},
    };
    for (const Case& c : cases) {
        const RunResult result = ws.run(c.args);
        EXPECT_EQ(result.exit_code, c.exit_code) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
        EXPECT_EQ(result.err.count('\n'), 1) << "one line: " << result.err.toStdString();
    }
    const RunResult help = ws.run({QStringLiteral("--help")});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(help.out.contains("quillet-convert list [--html DIR]"));
    const RunResult version = ws.run({QStringLiteral("--version")});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_TRUE(version.out.startsWith("quillet-convert "));
}

}  // namespace
}  // namespace quillet::test
