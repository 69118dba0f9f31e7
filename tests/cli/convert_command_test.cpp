// quillet-convert's commands, driven as a user would: convert, list and the
// usage errors of every command. (Any number of jobs gives the batch of one
// at a time: the parallel batch's tests.)
#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonObject>

#include "cli_workspace.h"
#include "test_support.h"

namespace quillet::test {
namespace {

class ConvertCommand : public ::testing::Test {
protected:
    void SetUp() override {
        write_file(ws.fennick() + "jones.fnr", "@1\r\nText\r\n");
        write_file(ws.fennick() + "Smith7.FNR", "@1\r\nMore\r\n");
        write_file(ws.orvella() + "~drntrpa01.tmp", orvella_report("12345678"));
        write_file(ws.orvella() + "~drntrpb02.tmp", "not a report\r\n");
        write_file(ws.orvella() + "~drntrpd03.tmp", orvella_report("12345678"));
        write_file(ws.orvella() + "notes.tmp", "@ not picked up\r\n");
    }
    QStringList rows(const QStringList& args, int exit_code) const {
        const RunResult result = ws.run(args + QStringList{"--json"});
        EXPECT_EQ(result.exit_code, exit_code) << result.err.toStdString();
        QStringList text;
        for (const ConvertRow& r : result.rows()) {
            text << QStringList{r.source, r.student, r.report, r.comment,
                                r.converted ? "Yes" : "No"}
                        .join(u'|');
        }
        return text;
    }
    CliWorkspace ws;
};

TEST_F(ConvertCommand, MixedBatchConvertsEveryValidReportAndGoesOnPastInvalidOnes) {
    // Fennick reports come first, then the Orvella folder in name order.
    EXPECT_EQ(rows({"all"}, 1).join(u'\n').toStdString(),
              "jones|jones|jones|Created new HTML report|Yes\n"
              "smith7|smith7|smith7|Created new HTML report|Yes\n"
              "~drntrpa01|12345678|Analysis|Created new HTML report|Yes\n"
              "~drntrpb02|Temp||Invalid Orvella report.|No\n"
              "~drntrpd03|12345678|Dyslexia|Created new HTML report|Yes");
    const auto documents = files_below(ws.html());
    QStringList names;
    for (const auto& [name, bytes] : documents) {
        names << name;
    }
    EXPECT_EQ(names, (QStringList{"12345678/Analysis.htm", "12345678/Dyslexia.htm",
                                  "Fennick/jones.htm", "Fennick/smith7.htm"}));
    EXPECT_TRUE(
        documents.at("Fennick/smith7.htm").contains("<TITLE>Fennick Report for smith7</TITLE>"));

    // Again, leaving what exists: every document stays as it is.
    const QStringList skipped = rows({"all", "--existing", "skip"}, 1);
    EXPECT_EQ(skipped.filter("||HTML Report already exists|No").size(), 4);
    EXPECT_EQ(files_below(ws.html()), documents);
}

TEST_F(ConvertCommand, TableOutputIsAlignedAndExistingDocumentsFollowThePolicies) {
    const RunResult result = ws.run({"fennick"});
    EXPECT_EQ(result.exit_code, 0);
    const QList<QByteArray> lines = result.out.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("No.  Source filename  Student Number  Report name  Date"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("Converted?  Comment"));
    EXPECT_TRUE(lines[1].startsWith("1    jones            jones           jones        "));
    EXPECT_EQ(lines[0].indexOf("Comment"), lines[1].indexOf("Created new HTML report"));

    QFile::remove(ws.orvella() + "~drntrpb02.tmp");
    ASSERT_EQ(ws.run({"orvella"}).exit_code, 0);
    const QString analysis = ws.html() + "12345678/Analysis.htm";
    write_file(analysis, "old");
    // Without a terminal, ask answers No.
    const RunResult asked = ws.run({"orvella", "--existing", "ask", "--json"}, {"y\ny\n"});
    EXPECT_EQ(asked.exit_code, 1);
    EXPECT_EQ(asked.rows()[0].comment, "HTML Report already exists");
    EXPECT_EQ(read_file(analysis), "old");
    EXPECT_TRUE(rows({"orvella", "--existing", "overwrite"}, 0)[0].contains(
        "|Overwrote existing HTML Report|Yes"));
    EXPECT_TRUE(is_complete_document(read_file(analysis)));
    // The run's policy was never saved.
    EXPECT_FALSE(read_file(ws.settings()).contains("Convert%20Option=2"));
}

TEST_F(ConvertCommand, UnsafeStudentNumbersGoToTemp) {
    QDir(ws.orvella()).removeRecursively();
    write_file(ws.orvella() + "~drntrpa1.tmp", orvella_report("../../x"));
    write_file(ws.orvella() + "~drntrpd2.tmp", orvella_report(".."));
    write_file(ws.orvella() + "~drntrpd3.tmp", "@\r\nno number here\r\n");
    EXPECT_EQ(rows({"orvella"}, 0).filter("|Temp|").size(), 3);
    EXPECT_TRUE(QFile::exists(ws.html() + "Temp/Dyslexia.htm"));
    // Nothing was written beside the HTML reports folder.
    EXPECT_EQ(QDir(ws.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 5);
    EXPECT_TRUE(read_file(ws.html() + "Temp/Analysis.htm").contains("Report for ../../x</TITLE>"));
}

TEST(ListCommand, SortsByEveryKeyInBothDirections) {
    CliWorkspace ws;
    const QDateTime base(QDate(2026, 3, 1), QTime(9, 0));
    const std::pair<const char*, int> documents[] = {{"a.htm", 3},
                                                     {"4711/Analysis.htm", 1},
                                                     {"4711/Dyslexia.htm", 4},
                                                     {"0815/Analysis.htm", 0},
                                                     {"Fennick/jones.htm", 2},
                                                     {"4711/deeper/Ignored.htm", 0}};
    for (const auto& [name, days] : documents) {
        write_file(ws.html() + name, "<HTML>\r\n");
        QFile file(ws.html() + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(base.addDays(days), QFileDevice::FileModificationTime));
    }
    // A document at the top has no student folder: its column is empty, its key is its name.
    const struct {
        QStringList args;
        const char* key;
        QString expected;
    } cases[] = {
        {{}, "student", "0815 4711 4711  jones"},
        {{"--sort", "student"}, "student", "0815 4711 4711  jones"},
        {{"--descending"}, "student", "jones  4711 4711 0815"},
        {{"--sort", "name"}, "report", "a analysis analysis dyslexia jones"},
        {{"--sort", "date"}, "report", "analysis analysis jones a dyslexia"},
        {{"--sort", "date", "--descending"}, "report", "dyslexia a jones analysis analysis"},
        {{"--sort", "comment"},
         "comment",
         "A HTML Document|Fennick Report|Orvella Analysis Report|Orvella Analysis Report|"
         "Orvella Dyslexia Report"},
        {{"--html", ws.orvella()}, "report", ""},  // a folder without documents
    };
    for (const auto& c : cases) {
        const RunResult result = ws.run(QStringList{"list", "--json"} + c.args);
        EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
        QStringList values;
        for (const auto& value : result.json()) {
            values << value.toObject().value(QLatin1String(c.key)).toString();
        }
        EXPECT_EQ(values.join(c.expected.contains(u'|') ? u'|' : u' '), c.expected)
            << c.args.join(u' ').toStdString();
    }
    const RunResult table = ws.run({"list"});
    EXPECT_TRUE(table.out.startsWith("No.  Student Number  Report name  Date"))
        << table.out.toStdString();
    EXPECT_EQ(table.out.count('\n'), 6);
}

TEST(CommandLine, UsageErrorsNoReportsHelpAndVersion) {
    CliWorkspace ws;
    const struct {
        QStringList args;
        int exit_code;
        const char* says;
    } cases[] = {
        {{}, 2, "no command"},
        {{"convert"}, 2, "unknown command"},
        {{"all", "--existing", "never"}, 2, "--existing"},
        {{"all", "--html"}, 2, "needs a value"},
        {{"all", "--sort", "date"}, 2, "unknown option"},
        {{"list", "--sort", "size"}, 2, "--sort"},
        {{"list", "--html", "/no/such/dir"}, 2, "no such folder"},
        {{"list", "--jobs", "2"}, 2, "unknown option"},
        {{"orvella", "--orvella", "/no/such/dir"}, 2, "no such folder"},
        {{"orvella", "--jobs", "0"}, 2, "--jobs takes a whole number from 1"},
        {{"orvella", "--jobs", "-2"}, 2, "--jobs takes a whole number from 1"},
        {{"orvella", "--jobs", "many"}, 2, "--jobs takes a whole number from 1"},
        {{"orvella", "--jobs", "1.5"}, 2, "--jobs takes a whole number from 1"},
        {{"orvella", "--settle", "200"}, 2, "unknown option '--settle'"},
        {{"watch", "--existing", "ask"}, 2, "--existing ask"},
        {{"watch", "--settle", "0"}, 2, "--settle takes milliseconds"},
        {{"watch", "--sort", "date"}, 2, "unknown option '--sort'"},
        {{"watch", "--orvella", "/no/such/folder"}, 2, "--orvella: no such folder"},
        {{"all"},
         3,
         "Could not find any Reports in the Orvella or Fennick Folder to convert to HTML."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const RunResult result = ws.run(c.args);
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
        EXPECT_EQ(result.err.count('\n'), 1) << "one line: " << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_TRUE(files_below(ws.html()).empty());
    const RunResult help = ws.run({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(help.out.contains("quillet-convert list [--html DIR]"));
    const RunResult version = ws.run({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_TRUE(version.out.startsWith("quillet-convert "));
}

}  // namespace
}  // namespace quillet::test
