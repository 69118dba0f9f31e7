// Sources that change between discovery and conversion, driven through the
// file-level converter: each such entry says what happened, and the batch
// converts every other entry.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "report_conversion.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet::test {
namespace {

// Two Fennick and three Orvella reports, discovered and ready to convert.
class Batch {
public:
    Batch() {
        sys = sandbox.make();
        sys->set_Path_Orvella(sandbox.make_folder(QStringLiteral("orvella")));
        sys->set_Path_Fennick(sandbox.make_folder(QStringLiteral("fennick")));
        sys->set_Path_HTMLReports(sandbox.make_folder(QStringLiteral("html")));
        write_file(sys->Path_Fennick() + QStringLiteral("jones.fnr"), "@1\r\nText\r\n");
        write_file(sys->Path_Fennick() + QStringLiteral("smith.fnr"), "@1\r\nMore\r\n");
        write_file(sys->Path_Orvella() + QStringLiteral("~drntrpa1.tmp"),
                   orvella_report("11111111"));
        write_file(sys->Path_Orvella() + QStringLiteral("~drntrpa2.tmp"),
                   orvella_report("22222222"));
        write_file(sys->Path_Orvella() + QStringLiteral("~drntrpd3.tmp"),
                   orvella_report("11111111"));
        EXPECT_TRUE(sys->pr_Generate_File_List(0));
        // jones, smith, ~drntrpa1, ~drntrpa2, ~drntrpd3
        EXPECT_EQ(sys->Rep_FileCount(), 5);
    }

    QString source(int index) const {
        const ReportEntry& e = sys->entry(index);
        return (e.Rep_ReportType == 1 ? sys->Path_Fennick() : sys->Path_Orvella()) +
               e.source_listed_name;
    }

    // Converts the batch; returns the entries reported done, in order.
    std::vector<int> convert() {
        FixedAnswer yes(true);
        ReportConverter converter(*sys, yes);
        std::vector<int> done;
        converter.pr_Convert_Report_List([&](int index) { done.push_back(index); });
        return done;
    }

    QStringList folders() const {
        return QDir(sys->Path_HTMLReports()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    SettingsSandbox sandbox;
    std::unique_ptr<cSys_vars> sys;
};

TEST(VanishedSource, EntryWhoseSourceIsGoneOrNotAFileSaysSoAndTheBatchGoesOn) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> fault;
        const char* comment_mentions;
    } cases[] = {
        {"deleted", [](const QString& path) { ASSERT_TRUE(QFile::remove(path)); }, "No such file"},
        {"replaced by a folder",
         [](const QString& path) {
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QDir().mkdir(path));
         },
         "directory"},
    };
    for (const Case& c : cases) {
        for (const int victim : {2, 4}) {  // a Fennick entry, an Orvella entry
            SCOPED_TRACE(std::string(c.what) + ", entry " + std::to_string(victim));
            Batch batch;
            c.fault(batch.source(victim));

            EXPECT_EQ(batch.convert(), (std::vector<int>{1, 2, 3, 4, 5}));
            for (int i = 1; i <= 5; ++i) {
                const ReportEntry& e = batch.sys->entry(i);
                if (i == victim) {
                    EXPECT_FALSE(e.Rep_Converted);
                    EXPECT_TRUE(e.Rep_DestinationFilename.isEmpty());
                    EXPECT_TRUE(e.Rep_Comment.startsWith(QLatin1String("Cannot read the report: ")))
                        << e.Rep_Comment.toStdString();
                    EXPECT_TRUE(e.Rep_Comment.contains(QLatin1String(c.comment_mentions)))
                        << e.Rep_Comment.toStdString();
                } else {
                    EXPECT_TRUE(e.Rep_Converted) << i << ": " << e.Rep_Comment.toStdString();
                    EXPECT_EQ(e.Rep_Comment, QStringLiteral("Created new HTML report"));
                }
            }
            const QString html = batch.sys->Path_HTMLReports();
            EXPECT_EQ(unsound_documents(html, {}), QStringList());
            // Four documents; none for the vanished source, not even a folder.
            EXPECT_EQ(files_below(html).size(), 4u);
            EXPECT_EQ(batch.folders(),
                      victim == 4
                          ? QStringList({QStringLiteral("11111111"), QStringLiteral("Fennick")})
                          : QStringList({QStringLiteral("11111111"), QStringLiteral("22222222"),
                                         QStringLiteral("Fennick")}));
        }
    }
}

}  // namespace
}  // namespace quillet::test
