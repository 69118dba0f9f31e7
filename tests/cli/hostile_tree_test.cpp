// quillet-convert in folders that links make hostile: a student folder that
// leads out of the HTML reports folder, a folder link that loops, and a
// source that is a link to a report kept elsewhere.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonObject>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

QString report_name(int i) {
    return QStringLiteral("~drntrpa%1.tmp").arg(i);
}

TEST(HostileTree, StudentFolderLinkedOutOfTheReportsFolderFailsItsEntryOnly) {
    FaultWorkspace ws{QStringLiteral(QUILLET_CONVERT_EXE)};
    const QString outside = ws.path(QStringLiteral("outside/"));
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QDir().mkpath(ws.html() + QStringLiteral("kept")));
    // Out of the folder, into it, and nowhere.
    ASSERT_TRUE(QFile::link(outside, ws.html() + QStringLiteral("11111111")));
    ASSERT_TRUE(QFile::link(ws.html() + QStringLiteral("kept"), ws.html() + QStringLiteral("22222222")));
    ASSERT_TRUE(QFile::link(ws.path(QStringLiteral("gone")), ws.html() + QStringLiteral("33333333")));
    for (const int i : {1, 2, 3, 4}) {
        write_file(ws.orvella() + report_name(i),
                   orvella_report(QByteArray(8, static_cast<char>('0' + i))));
    }

    const ChildResult result = ws.run({QStringLiteral("orvella"), QStringLiteral("--json")});
    const auto rows = result.rows();
    ASSERT_EQ(rows.size(), 4u) << result.err.toStdString();
    EXPECT_FALSE(rows[0].converted);
    EXPECT_EQ(rows[0].comment, QStringLiteral("Cannot use the folder \"11111111\": it is a link to "
                                              "%1, outside the HTML reports folder.")
                                   .arg(QDir(outside).canonicalPath()));
    EXPECT_TRUE(rows[1].converted) << rows[1].comment.toStdString();
    EXPECT_FALSE(rows[2].converted);
    EXPECT_FALSE(rows[2].comment.isEmpty());
    EXPECT_TRUE(rows[3].converted) << rows[3].comment.toStdString();

    EXPECT_TRUE(files_below(outside).empty());
    EXPECT_FALSE(QFileInfo::exists(ws.path(QStringLiteral("gone"))));
    EXPECT_TRUE(is_complete_document(
        files_below(ws.html()).at(QStringLiteral("kept/Analysis.htm"))));
}

TEST(HostileTree, SourceLinkedToAReportElsewhereIsRead) {
    FaultWorkspace ws{QStringLiteral(QUILLET_CONVERT_EXE)};
    const QString elsewhere = ws.path(QStringLiteral("elsewhere/report.tmp"));
    ASSERT_TRUE(QDir().mkpath(ws.path(QStringLiteral("elsewhere"))));
    write_file(elsewhere, orvella_report("55555555"));
    ASSERT_TRUE(QFile::link(elsewhere, ws.orvella() + report_name(5)));
    write_file(ws.orvella() + report_name(6), orvella_report("66666666"));

    const auto rows = ws.run({QStringLiteral("orvella"), QStringLiteral("--json")}).rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].converted) << rows[0].comment.toStdString();
    const auto documents = files_below(ws.html());
    // The linked report makes the document its bytes make anywhere.
    QByteArray expected = documents.at(QStringLiteral("66666666/Analysis.htm"));
    expected.replace("66666666", "55555555");
    EXPECT_EQ(documents.at(QStringLiteral("55555555/Analysis.htm")), expected);
}

TEST(HostileTree, FolderLinkLoopsDoNotHoldUpTheCatalogue) {
    CliWorkspace ws;
    ASSERT_TRUE(QDir().mkpath(ws.html() + QStringLiteral("12345678/inner")));
    write_file(ws.html() + QStringLiteral("12345678/Analysis.htm"), "<HTML>\r\n</HTML>\r\n");
    // A link to the reports folder itself, and one inside a student folder
    // back up to it.
    ASSERT_TRUE(QFile::link(ws.html(), ws.html() + QStringLiteral("loop")));
    ASSERT_TRUE(QFile::link(ws.html() + QStringLiteral("12345678"),
                            ws.html() + QStringLiteral("12345678/inner/up")));

    const auto process = ws.start({QStringLiteral("list"), QStringLiteral("--json")});
    const bool ended = process->waitForFinished(60000);
    if (!ended) {
        process->kill();
        process->waitForFinished();
    }
    ASSERT_TRUE(ended) << "the catalogue did not end";
    RunResult result;
    result.out = process->readAllStandardOutput();
    QStringList listed;
    for (const auto& value : result.json()) {
        listed << value.toObject().value(QLatin1String("student")).toString();
    }
    // Sub-folders one level deep only: the document in its own folder, and
    // nothing from the loops (the link to the reports folder lists its
    // immediate documents, of which there are none).
    EXPECT_EQ(listed, QStringList{QStringLiteral("12345678")});
}

}  // namespace
}  // namespace quillet::test
