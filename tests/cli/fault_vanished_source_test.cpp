// Sources that change between discovery and conversion, driven through the
// file-level converter: each such entry says what happened, and the batch
// converts every other entry.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "cli_workspace.h"
#include "report_conversion.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet::test {
namespace {

TEST(VanishedSource, EntryWhoseSourceIsGoneOrNotAFileSaysSoAndTheBatchGoesOn) {
    for (const bool folder : {false, true}) {  // deleted, or replaced by a folder
        for (const int victim : {2, 4}) {      // a Fennick entry, an Orvella entry
            SCOPED_TRACE(testing::Message() << folder << ", entry " << victim);
            SettingsSandbox sandbox;
            const auto sys = sandbox.make();
            sys->set_Path_Orvella(sandbox.make_folder("orvella"));
            sys->set_Path_Fennick(sandbox.make_folder("fennick"));
            sys->set_Path_HTMLReports(sandbox.make_folder("html"));
            write_file(sys->Path_Fennick() + "jones.fnr", "@1\r\nText\r\n");
            write_file(sys->Path_Fennick() + "smith.fnr", "@1\r\nMore\r\n");
            write_file(sys->Path_Orvella() + "~drntrpa1.tmp", orvella_report("11111111"));
            write_file(sys->Path_Orvella() + "~drntrpa2.tmp", orvella_report("22222222"));
            write_file(sys->Path_Orvella() + "~drntrpd3.tmp", orvella_report("11111111"));
            ASSERT_TRUE(sys->pr_Generate_File_List(0));
            const ReportEntry& gone = sys->entry(victim);
            const QString source =
                (gone.Rep_ReportType == 1 ? sys->Path_Fennick() : sys->Path_Orvella()) +
                gone.source_listed_name;
            ASSERT_TRUE(QFile::remove(source) && (!folder || QDir().mkdir(source)));

            FixedAnswer yes(true);
            std::vector<int> done;
            ReportConverter(*sys, yes).pr_Convert_Report_List(
                [&](int index) { done.push_back(index); });
            EXPECT_EQ(done, (std::vector<int>{1, 2, 3, 4, 5}));
            for (int i = 1; i <= 5; ++i) {
                const ReportEntry& e = sys->entry(i);
                EXPECT_EQ(e.Rep_Converted, i != victim) << i << ": " << e.Rep_Comment.toStdString();
                if (i != victim) {
                    EXPECT_EQ(e.Rep_Comment, "Created new HTML report");
                }
            }
            EXPECT_TRUE(gone.Rep_DestinationFilename.isEmpty());
            EXPECT_TRUE(gone.Rep_Comment.startsWith("Cannot read the report: ") &&
                        gone.Rep_Comment.contains(folder ? "directory" : "No such file"))
                << gone.Rep_Comment.toStdString();
            const QString html = sys->Path_HTMLReports();
            EXPECT_EQ(unsound_documents(html, {}), QStringList());
            // Four documents; none for the vanished source, not even a folder.
            EXPECT_EQ(files_below(html).size(), 4u);
            EXPECT_EQ(QDir(html).entryList(QDir::Dirs | QDir::NoDotAndDotDot).join(' '),
                      victim == 4 ? "11111111 Fennick" : "11111111 22222222 Fennick");
        }
    }
}

}  // namespace
}  // namespace quillet::test
