// quillet-convert meeting documents, folders and sources it may not write or
// read. It runs as an unprivileged user, so the permissions hold for it even
// when the tests run as root.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

const QString kCannotCreate =
    QStringLiteral("Cannot create the HTML report. Perhaps it already exists and is read only.");
constexpr auto kReadOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr auto kReadOnlyFolder =
    kReadOnlyFile | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

// Three students with one analysis report each; the second meets the fault.
class PermissionFault : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* student : {"11111111", "22222222", "33333333"}) {
            write_file(ws.orvella() + QStringLiteral("~drntrpa%1.tmp").arg(student[0]),
                       orvella_report(student));
        }
    }

    QString document(const char* student) const {
        return ws.html() + QString::fromLatin1(student) + QStringLiteral("/Analysis.htm");
    }

    // Runs the batch; the first and third entries must be converted whatever
    // happened to the second, and the reports folder must stay sound.
    ConvertRow run_and_check_neighbours() {
        const auto before = files_below(ws.html());
        const ChildResult result = ws.run({QStringLiteral("orvella"), QStringLiteral("--json")});
        EXPECT_EQ(result.exit_code, 1) << result.err.toStdString();
        const auto rows = result.rows();
        EXPECT_EQ(rows.size(), 3u);
        if (rows.size() != 3u) {
            return {};
        }
        for (const int i : {0, 2}) {
            EXPECT_TRUE(rows[i].converted) << rows[i].comment.toStdString();
            EXPECT_EQ(rows[i].comment, QStringLiteral("Created new HTML report"));
        }
        EXPECT_TRUE(is_complete_document(read_file(document("11111111"))));
        EXPECT_TRUE(is_complete_document(read_file(document("33333333"))));
        EXPECT_EQ(unsound_documents(ws.html(), before), QStringList());
        EXPECT_FALSE(rows[1].converted);
        EXPECT_EQ(rows[1].report, QString());
        return rows[1];
    }

    FaultWorkspace ws{QStringLiteral(QUILLET_CONVERT_EXE)};
};

TEST_F(PermissionFault, DocumentOrSubFolderThatCannotBeWrittenIsLeftAsItWas) {
    struct Case {
        const char* what;
        std::function<void(const QString& folder, const QString& document)> fault;
        QByteArray kept;  // the document's bytes before and after; empty: no document
    } cases[] = {
        {"read-only document",
         [](const QString&, const QString& document) {
             write_file(document, "earlier document");
             QFile::setPermissions(document, kReadOnlyFile);
         },
         "earlier document"},
        {"read-only sub-folder holding a writable document",
         [](const QString& folder, const QString& document) {
             write_file(document, "earlier document");
             QFile::setPermissions(folder, kReadOnlyFolder);
         },
         "earlier document"},
        {"read-only sub-folder without a document",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             QFile::setPermissions(folder, kReadOnlyFolder);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(ws.html()).removeRecursively();
        QDir().mkpath(ws.html());
        c.fault(ws.html() + QStringLiteral("22222222"), document("22222222"));

        const ConvertRow row = run_and_check_neighbours();
        EXPECT_EQ(row.comment, kCannotCreate);
        EXPECT_EQ(row.student, QStringLiteral("22222222"));
        EXPECT_EQ(read_file(document("22222222")), c.kept);
        EXPECT_EQ(
            QDir(ws.html() + QStringLiteral("22222222")).entryList(QDir::Files | QDir::Hidden),
            c.kept.isEmpty() ? QStringList() : QStringList({QStringLiteral("Analysis.htm")}));
        QFile::setPermissions(ws.html() + QStringLiteral("22222222"),
                              kReadOnlyFolder | QFileDevice::WriteOwner);
    }
}

TEST_F(PermissionFault, SourceThatCannotBeReadIsReportedAndSkipped) {
    const QString source = ws.orvella() + QStringLiteral("~drntrpa2.tmp");
    ASSERT_TRUE(QFile::setPermissions(source, QFileDevice::Permissions()));
    const ConvertRow row = run_and_check_neighbours();
    EXPECT_TRUE(row.comment.startsWith(QLatin1String("Cannot read the report: ")))
        << row.comment.toStdString();
    EXPECT_TRUE(row.comment.contains(QLatin1String("ermission"))) << row.comment.toStdString();
    // Nothing was made for it: its student is not even known.
    EXPECT_FALSE(QFileInfo::exists(ws.html() + QStringLiteral("22222222")));
    EXPECT_FALSE(QFileInfo::exists(ws.html() + QStringLiteral("Temp")));
}

TEST_F(PermissionFault, ReportsFolderThatCannotBeWrittenFailsEveryNewStudentAndKeepsTheOthers) {
    // The first student's folder exists already and is writable; the reports
    // folder itself is not, so the other two cannot get theirs.
    write_file(document("11111111"), "earlier document");
    ASSERT_TRUE(QFile::setPermissions(ws.html(), kReadOnlyFolder));
    const auto before = files_below(ws.html());

    const ChildResult result = ws.run({QStringLiteral("orvella"), QStringLiteral("--json")});
    EXPECT_EQ(result.exit_code, 1) << result.err.toStdString();
    const auto rows = result.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].converted);
    EXPECT_EQ(rows[0].comment, QStringLiteral("Overwrote existing HTML Report"));
    for (const int i : {1, 2}) {
        EXPECT_FALSE(rows[i].converted);
        EXPECT_TRUE(rows[i].comment.startsWith(
            QStringLiteral("Cannot create the folder \"%1\"").arg(rows[i].student)))
            << rows[i].comment.toStdString();
        EXPECT_TRUE(rows[i].comment.contains(QLatin1String("ermission")))
            << rows[i].comment.toStdString();
    }
    EXPECT_EQ(unsound_documents(ws.html(), before), QStringList());
    EXPECT_EQ(QDir(ws.html()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("11111111")}));
    QFile::setPermissions(ws.html(), kReadOnlyFolder | QFileDevice::WriteOwner);
}

}  // namespace
}  // namespace quillet::test
