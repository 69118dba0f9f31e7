// Finding the source reports of the Fennick and Orvella folders.
#include <gtest/gtest.h>

#include <QDir>

#include "settings_sandbox.h"
#include "sys_vars.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::SettingsSandbox;

struct Expected {
    QString source_name;
    QString listed_name;
    std::int16_t type;
};

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys_ = box_.make();
        fennick_ = box_.make_folder("fennick reports");
        orvella_ = box_.make_folder("orvella reports");
        sys_->set_Path_Fennick(fennick_);
        sys_->set_Path_Orvella(orvella_);
    }

    void touch(const QString& folder, const QStringList& names) {
        for (const QString& name : names) {
            test::write_file(folder + name, "@report\r\n");
        }
    }

    void expect_list(const std::vector<Expected>& expected) {
        ASSERT_EQ(sys_->Rep_FileCount(), static_cast<int>(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i + 1);
            const ReportEntry& e = sys_->entry(static_cast<int>(i + 1));
            const bool fennick = expected[i].type == 1;
            EXPECT_EQ(e.Rep_SourceFilename, expected[i].source_name);
            EXPECT_EQ(e.source_listed_name, expected[i].listed_name);
            EXPECT_EQ(e.Rep_ReportType, expected[i].type);
            EXPECT_EQ(e.Rep_SourceFileExtension, fennick ? "fnr" : "tmp");
            EXPECT_EQ(e.Rep_Comment, fennick ? "Invalid Fennick file" : "Invalid Orvella file");
            EXPECT_FALSE(e.Rep_Converted);
            EXPECT_TRUE(e.Rep_DestinationPath.isEmpty());
            EXPECT_TRUE(e.Rep_DestinationFilename.isEmpty());
            EXPECT_TRUE(e.Rep_DestinationFileDate.isEmpty());
            EXPECT_FALSE(e.destination_timestamp.isValid());
        }
    }

    SettingsSandbox box_;
    std::unique_ptr<cSys_vars> sys_;
    QString fennick_;
    QString orvella_;
};

TEST_F(DiscoveryTest, EachFolderByItsOwnRuleAndOtherCodesBothFennickFirst) {
    touch(fennick_, {"a.fnr", "B.FNR", "c.txt", "d.fnr.bak", "x.fnry.fnr", ".hidden.fnr",
                     QString::fromUtf8("\xc3\x84rger.Fnr"), "fnr", ".fnr"});
    QDir().mkpath(fennick_ + "folder.fnr");
    touch(orvella_, {"~drntrpa01.tmp", "notes.tmp", "~DRNTRPB02.TMP", "~drnt.tmp.txt"});
    const std::vector<Expected> fennick{
        {"a", "a.fnr", 1},
        {"b", "B.FNR", 1},
        {"xy", "x.fnry.fnr", 1},
        {QString::fromUtf8("\xc3\xa4rger"), QString::fromUtf8("\xc3\x84rger.Fnr"), 1}};
    const std::vector<Expected> orvella{{"~drntrpa01", "~drntrpa01.tmp", 2},
                                        {"~drntrpb02", "~DRNTRPB02.TMP", 2}};

    EXPECT_TRUE(sys_->pr_Generate_File_List(1));
    expect_list(fennick);
    EXPECT_TRUE(sys_->pr_Generate_File_List(2));
    expect_list(orvella);
    std::vector<Expected> both = fennick;
    both.insert(both.end(), orvella.begin(), orvella.end());
    for (const std::int16_t code : {0, 3, -1}) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(sys_->pr_Generate_File_List(code));
        expect_list(both);
    }
}

TEST_F(DiscoveryTest, RefillWithFewerEntriesLeavesTheSurplusUntouchedAndNoneEmptiesTheList) {
    touch(fennick_, {"a.fnr", "b.fnr", "c.fnr"});
    ASSERT_TRUE(sys_->pr_Generate_File_List(1));
    sys_->entry(3).Rep_Comment = "Created new HTML report";
    touch(orvella_, {"~drntz.tmp"});

    ASSERT_TRUE(sys_->pr_Generate_File_List(2));
    EXPECT_EQ(sys_->Rep_FileCount(), 1);
    EXPECT_EQ(sys_->entry(1).Rep_SourceFilename, "~drntz");
    sys_->set_Rep_FileCount(3);
    EXPECT_EQ(sys_->entry(2).Rep_SourceFilename, "b");
    EXPECT_EQ(sys_->entry(3).Rep_Comment, "Created new HTML report");

    // Empty or missing folders give an empty list.
    QDir(fennick_).removeRecursively();
    QDir().mkpath(fennick_);
    EXPECT_FALSE(sys_->pr_Generate_File_List(1));
    EXPECT_EQ(sys_->Rep_FileCount(), 0);
    sys_->set_Path_Orvella(box_.path("no such folder"));
    EXPECT_FALSE(sys_->pr_Generate_File_List(0));
    EXPECT_EQ(sys_->Rep_FileCount(), 0);
}

TEST_F(DiscoveryTest, OneFileQualifiesByTheSameRuleAsAFolderListing) {
    const struct {
        const char* name;
        std::int16_t code;
    } cases[] = {
        {"a.fnr", 1},     {"B.FNR", 1},     {"~drntrpa01.tmp", 2}, {"~DRNTrpd7.TMP", 2},
        {"notes.tmp", 0}, {"d.fnr.bak", 0}, {"c.txt", 0},          {"fnr", 0},
        {".fnr", 1},      {"~drnt.tmp", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sys_->fn_Source_Code_Of(QString::fromLatin1(c.name)), c.code) << c.name;
    }
    // A report from another folder keeps its folder.
    sys_->set_Rep_FileCount(0);
    const ReportEntry& e =
        sys_->pr_Append_Source_Report(1, QStringLiteral("X.fnry.FNR"), "/elsewhere/");
    EXPECT_EQ(sys_->Rep_FileCount(), 1);
    EXPECT_EQ(e.Rep_SourceFilename, "xy");
    EXPECT_EQ(e.source_listed_name, "X.fnry.FNR");
    EXPECT_EQ(e.source_folder, "/elsewhere/");
    EXPECT_EQ(e.Rep_Comment, "Invalid Fennick file");
}

}  // namespace
}  // namespace quillet
