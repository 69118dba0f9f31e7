// quillet-convert on a full disk: the child may write no file larger than
// 1 MiB (the disk fills while the engine writes) or 6 MiB (while the bytes of
// a large document are written behind the engine), so the document of a
// large report cannot be written (EFBIG) while the small ones still can.
#include <gtest/gtest.h>

#include <QDir>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {


QByteArray report_of_size(const QByteArray& student, qsizetype size, const QByteArray& words) {
    QByteArray report = orvella_report(student);
    while (report.size() < size) {
        report += words + " ~BiuL12~of~biuL12~ the  report\tand\t\tmore\r\n";
    }
    return report;
}

class DiskFull : public ::testing::TestWithParam<qint64> {
protected:
    const qint64 kDiskSpace = GetParam();

    void write_reports(const QByteArray& words) {
        write_file(ws.orvella() + QStringLiteral("~drntrpa1.tmp"),
                   report_of_size("11111111", 10'000, words));
        write_file(ws.orvella() + QStringLiteral("~drntrpa2.tmp"),
                   report_of_size("22222222", 3 * kDiskSpace, words));
        write_file(ws.orvella() + QStringLiteral("~drntrpa3.tmp"),
                   report_of_size("33333333", 10'000, words));
    }

    // Converts with the disk full; the large report's entry fails, the
    // others are written, and the reports folder stays sound.
    ConvertRow convert_on_full_disk(const char* small_comment) {
        const auto before = files_below(ws.html());
        ChildLimits full;
        full.max_file_size = kDiskSpace;
        const ChildResult result =
            ws.run({QStringLiteral("orvella"), QStringLiteral("--json")}, full);
        EXPECT_EQ(result.exit_code, 1) << result.err.toStdString();
        const auto rows = result.rows();
        EXPECT_EQ(rows.size(), 3u);
        if (rows.size() != 3u) {
            return {};
        }
        for (const int i : {0, 2}) {
            EXPECT_TRUE(rows[i].converted);
            EXPECT_EQ(rows[i].comment, QString::fromLatin1(small_comment));
        }
        EXPECT_FALSE(rows[1].converted);
        EXPECT_TRUE(rows[1].comment.startsWith(QLatin1String("Cannot write the HTML report: ")))
            << rows[1].comment.toStdString();
        // The comment names the cause, also when the disk fills in the middle of a write.
        EXPECT_TRUE(rows[1].comment.contains(QLatin1String("too large")))
            << rows[1].comment.toStdString();
        EXPECT_EQ(unsound_documents(ws.html(), before), QStringList());
        return rows[1];
    }

    QString document(const char* student) const {
        return ws.html() + QString::fromLatin1(student) + QStringLiteral("/Analysis.htm");
    }

    FaultWorkspace ws{QStringLiteral(QUILLET_CONVERT_EXE)};
};

TEST_P(DiskFull, NewDocumentThatDoesNotFitLeavesNothingBehind) {
    write_reports("first");
    convert_on_full_disk("Created new HTML report");
    EXPECT_EQ(QDir(ws.html() + QStringLiteral("22222222"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_P(DiskFull, DocumentThatDoesNotFitKeepsTheEarlierOne) {
    write_reports("first");
    ASSERT_EQ(ws.run({QStringLiteral("orvella")}).exit_code, 0);
    const QByteArray earlier = read_file(document("22222222"));
    ASSERT_TRUE(is_complete_document(earlier));
    ASSERT_GT(earlier.size(), kDiskSpace);

    write_reports("second");
    convert_on_full_disk("Overwrote existing HTML Report");
    EXPECT_EQ(read_file(document("22222222")), earlier);
    EXPECT_TRUE(read_file(document("11111111")).contains("second"));
}

INSTANTIATE_TEST_SUITE_P(Space, DiskFull, ::testing::Values(1024 * 1024, 6 * 1024 * 1024));

}  // namespace
}  // namespace quillet::test
