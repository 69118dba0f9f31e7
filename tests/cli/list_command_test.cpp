// quillet-convert list: the catalogue of converted documents, sorted.
#include <gtest/gtest.h>
#include <QDateTime>
#include <QFile>
#include <QJsonObject>

#include "cli_workspace.h"
#include "test_support.h"

namespace quillet::test {
namespace {

void touch(const QString& path, const QDateTime& when) {
    write_file(path, "<HTML>\r\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

class ListCommand : public ::testing::Test {
protected:
    void SetUp() override {
        const QDateTime base(QDate(2026, 3, 1), QTime(9, 0));
        touch(ws.html() + QStringLiteral("a.htm"), base.addDays(3));
        touch(ws.html() + QStringLiteral("4711/Analysis.htm"), base.addDays(1));
        touch(ws.html() + QStringLiteral("4711/Dyslexia.htm"), base.addDays(4));
        touch(ws.html() + QStringLiteral("0815/Analysis.htm"), base);
        touch(ws.html() + QStringLiteral("Fennick/jones.htm"), base.addDays(2));
        touch(ws.html() + QStringLiteral("4711/deeper/Ignored.htm"), base);
    }

    QStringList column(const QStringList& extra, const char* key) {
        QStringList args = {QStringLiteral("list"), QStringLiteral("--json")};
        args += extra;
        const RunResult result = ws.run(args);
        EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
        QStringList values;
        for (const auto& value : result.json()) {
            values << value.toObject().value(QLatin1String(key)).toString();
        }
        return values;
    }

    CliWorkspace ws;
};

TEST_F(ListCommand, SortsByEveryKeyInBothDirections) {
    // A document at the top has no student folder: its column is empty, its key is its name.
    const QString by_student = QStringLiteral("0815 4711 4711  jones");
    struct Case {
        QStringList args;
        const char* key;
        QString expected;
    } cases[] = {
        {{}, "student", by_student},
        {{QStringLiteral("--sort"), QStringLiteral("student")}, "student", by_student},
        {{QStringLiteral("--descending")}, "student", QStringLiteral("jones  4711 4711 0815")},
        {{QStringLiteral("--sort"), QStringLiteral("name")},
         "report",
         QStringLiteral("a analysis analysis dyslexia jones")},
        {{QStringLiteral("--sort"), QStringLiteral("date")},
         "report",
         QStringLiteral("analysis analysis jones a dyslexia")},
        {{QStringLiteral("--sort"), QStringLiteral("date"), QStringLiteral("--descending")},
         "report",
         QStringLiteral("dyslexia a jones analysis analysis")},
        {{QStringLiteral("--sort"), QStringLiteral("comment")},
         "comment",
         QStringLiteral("A HTML Document|Fennick Report|Orvella Analysis Report|"
                        "Orvella Analysis Report|Orvella Dyslexia Report")},
    };
    for (const Case& c : cases) {
        const QStringList values = column(c.args, c.key);
        const QString joined = values.join(QLatin1Char(c.expected.contains(u'|') ? '|' : ' '));
        EXPECT_EQ(joined, c.expected) << c.args.join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(ListCommand, TableHasTheListColumns) {
    const RunResult result = ws.run({QStringLiteral("list")});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_TRUE(result.out.startsWith("No.  Student Number  Report name  Date"))
        << result.out.toStdString();
    EXPECT_EQ(result.out.count('\n'), 6);
}

TEST_F(ListCommand, MissingFolderIsAUsageErrorAndEmptyFolderListsNothing) {
    EXPECT_EQ(ws.run({QStringLiteral("list"), QStringLiteral("--html"),
                      ws.root() + QStringLiteral("/nowhere")})
                  .exit_code,
              2);
    const RunResult empty = ws.run(
        {QStringLiteral("list"), QStringLiteral("--html"), ws.orvella(), QStringLiteral("--json")});
    EXPECT_EQ(empty.exit_code, 0);
    EXPECT_TRUE(empty.json().isEmpty());
}

}  // namespace
}  // namespace quillet::test
