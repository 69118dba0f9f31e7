// The catalogue of converted documents and the sorting of the report list.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include "report_catalogue.h"
#include "settings_sandbox.h"
#include "sys_vars.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::SettingsSandbox;

constexpr SortChoice kNoSort{7, true};

struct Document {
    QString sub_folder;
    QString filename;
    std::int16_t type;
    QString comment;
    QString listed_name;
};

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys_ = box_.make();
        html_ = sys_->Path_HTMLReports();
    }

    void add(const QString& relative) { test::write_file(html_ + relative, "<html></html>\r\n"); }

    void expect_catalogue(const std::vector<Document>& expected) {
        ASSERT_EQ(sys_->Rep_FileCount(), static_cast<int>(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(expected[i].listed_name.toStdString());
            const ReportEntry& e = sys_->entry(static_cast<int>(i + 1));
            EXPECT_EQ(e.Rep_DestinationPath, expected[i].sub_folder);
            EXPECT_EQ(e.Rep_DestinationFilename, expected[i].filename);
            EXPECT_EQ(e.Rep_ReportType, expected[i].type);
            EXPECT_EQ(e.Rep_Comment, expected[i].comment);
            EXPECT_EQ(e.destination_listed_name, expected[i].listed_name);
            EXPECT_TRUE(e.Rep_Converted);
            EXPECT_TRUE(e.destination_timestamp.isValid());
        }
    }

    SettingsSandbox box_;
    std::unique_ptr<cSys_vars> sys_;
    QString html_;
};

TEST_F(CatalogueTest, TopFolderThenImmediateSubFoldersWithTheirKindsAndDates) {
    // An empty folder, then a missing one, give an empty catalogue.
    sys_->set_Rep_FileCount(4);
    pr_Get_List_Of_Converted_Files(*sys_, SortChoice{});
    EXPECT_EQ(sys_->Rep_FileCount(), 0);
    for (const char* name :
         {"a.htm", "fennick-analysis.htm", "Upper.HTM", "notes.txt", ".hidden.htm", "page.html",
          "4711/4711analysis.htm", "4711/4711Dyslexia.htm", "4711/deep/too-deep.htm",
          "Fennick/jones.htm", "Fennick/smith-analysis.htm", ".private/x.htm"}) {
        add(name);
    }
    QDir().mkpath(html_ + "folder.htm");
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    {
        QFile file(html_ + "4711/4711analysis.htm");
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    // The source fields of the entries are left as they were.
    sys_->set_Rep_FileCount(4);
    sys_->entry(4).Rep_SourceFilename = "~drntrpa01";
    sys_->entry(4).Rep_SourceFileExtension = "tmp";

    pr_Get_List_Of_Converted_Files(*sys_, kNoSort);
    expect_catalogue({
        {"", "a", 0, "A HTML Document", "a.htm"},
        {"", "fennick-analysis", 2, "Orvella Analysis Report", "fennick-analysis.htm"},
        {"", "upper", 0, "A HTML Document", "Upper.HTM"},
        {"4711", "4711analysis", 2, "Orvella Analysis Report", "4711analysis.htm"},
        {"4711", "4711dyslexia", 3, "Orvella Dyslexia Report", "4711Dyslexia.htm"},
        {"Fennick", "jones", 1, "Fennick Report", "jones.htm"},
        {"Fennick", "smith-analysis", 1, "Fennick Report", "smith-analysis.htm"},
    });
    const ReportEntry& dated = sys_->entry(4);
    EXPECT_EQ(dated.destination_timestamp, when);
    EXPECT_EQ(dated.Rep_DestinationFileDate, format_document_date(when));
    EXPECT_EQ(dated.Rep_SourceFilename, "~drntrpa01");
    EXPECT_EQ(dated.Rep_SourceFileExtension, "tmp");

    // Sorted by student: Orvella documents by their folder, the rest by name.
    pr_Get_List_Of_Converted_Files(*sys_, SortChoice{});
    QStringList order;
    for (int i = 1; i <= sys_->Rep_FileCount(); ++i) {
        order << sys_->entry(i).Rep_DestinationFilename;
    }
    EXPECT_EQ(order.join(' '),
              "fennick-analysis 4711analysis 4711dyslexia a jones smith-analysis upper");
    sys_->set_Path_HTMLReports(box_.path("missing"));
    pr_Get_List_Of_Converted_Files(*sys_, SortChoice{});
    EXPECT_EQ(sys_->Rep_FileCount(), 0);
}

TEST_F(CatalogueTest, UnreadableSubFolderIsSkipped) {
    add("1111/1111analysis.htm");
    add("2222/2222analysis.htm");
    add("3333/3333analysis.htm");
    ASSERT_TRUE(QFile::setPermissions(html_ + "2222", QFileDevice::Permissions{}));
    const bool readable = ::access(QFile::encodeName(html_ + "2222").constData(), R_OK) == 0;
    pr_Get_List_Of_Converted_Files(*sys_, kNoSort);
    QFile::setPermissions(html_ + "2222",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (readable) {
        GTEST_SKIP() << "permissions do not restrict this user";
    }
    ASSERT_EQ(sys_->Rep_FileCount(), 2);
    EXPECT_EQ(sys_->entry(1).Rep_DestinationPath, "1111");
    EXPECT_EQ(sys_->entry(2).Rep_DestinationPath, "3333");
}

// Sorting: entries carry an id in Rep_SourceFilename so that their moves show.
struct Row {
    const char* id;
    std::int16_t type;
    const char* sub_folder;
    const char* filename;
    const char* comment;
    QDateTime when;  // invalid: no date
};

QDateTime day(int y, int m, int d) {
    return QDateTime(QDate(y, m, d), QTime(9, 30));
}

void fill(cSys_vars& sys, const std::vector<Row>& rows) {
    sys.set_Rep_FileCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ReportEntry& e = sys.entry(static_cast<int>(i + 1));
        e = ReportEntry{};
        e.Rep_SourceFilename = rows[i].id;
        e.Rep_ReportType = rows[i].type;
        e.Rep_DestinationPath = rows[i].sub_folder;
        e.Rep_DestinationFilename = rows[i].filename;
        e.Rep_Comment = rows[i].comment;
        e.destination_timestamp = rows[i].when;
        e.Rep_DestinationFileDate = format_document_date(rows[i].when);
    }
}

QString ids(const cSys_vars& sys) {
    QStringList out;
    for (int i = 1; i <= sys.Rep_FileCount(); ++i) {
        out << sys.entry(i).Rep_SourceFilename;
    }
    return out.join(' ');
}

TEST(SortReportList, EachKeyInBothDirectionsKeepsTiesInOrderAndDatesWithoutTimestampsByTheirText) {
    struct Case {
        std::int16_t key;
        bool ascending;
        const char* expected;
    };
    const Case cases[] = {
        {0, true, "e6 e2 e3 e4 e5 e1"}, {0, false, "e1 e4 e5 e2 e3 e6"},
        {1, true, "e4 e5 e2 e6 e3 e1"}, {1, false, "e1 e3 e2 e6 e4 e5"},
        {2, true, "e3 e5 e2 e6 e1 e4"}, {2, false, "e1 e4 e2 e6 e5 e3"},
        {3, true, "e1 e5 e4 e2 e6 e3"}, {3, false, "e3 e2 e6 e4 e1 e5"},
        {7, true, "e1 e2 e3 e4 e5 e6"}, {-1, false, "e1 e2 e3 e4 e5 e6"},
    };
    const std::vector<Row> rows = {
        {"e1", 0, "", "Zeta", "A HTML Document", day(2024, 1, 2)},
        {"e2", 2, "4711", "analysis", "Orvella Analysis Report", day(2023, 5, 1)},
        {"e3", 3, "4711", "dyslexia", "Orvella Dyslexia Report", QDateTime()},
        {"e4", 1, "Fennick", "ALPHA", "Fennick Report", day(2024, 1, 2)},
        {"e5", 0, "", "alpha", "A HTML Document", day(2022, 12, 31)},
        {"e6", 2, "0815", "analysis", "Orvella Analysis Report", day(2023, 5, 1)},
        {"surplus", 0, "", "", "", QDateTime()},  // outside the list
    };
    SettingsSandbox box;
    const auto sys = box.make();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << (c.ascending ? " asc" : " desc"));
        fill(*sys, rows);
        sys->set_Rep_FileCount(6);
        pr_Sort_Report_List(*sys, SortChoice{c.key, c.ascending});
        EXPECT_EQ(ids(*sys), c.expected);
        // Whole entries move.
        const ReportEntry& e1 = sys->entry(QString(c.expected).split(' ').indexOf("e1") + 1);
        EXPECT_EQ(e1.Rep_DestinationFilename + e1.Rep_Comment, "ZetaA HTML Document");
        EXPECT_EQ(e1.destination_timestamp, day(2024, 1, 2));
        sys->set_Rep_FileCount(7);
        EXPECT_EQ(sys->entry(7).Rep_SourceFilename, "surplus");
    }
    // The date text serves when no timestamp is known.
    fill(*sys, {{"late", 2, "1", "a", "", QDateTime()},
                {"early", 2, "2", "b", "", day(2024, 6, 1)},
                {"none", 2, "3", "c", "", QDateTime()}});
    sys->entry(1).Rep_DestinationFileDate = format_document_date(day(2025, 2, 3));
    sys->entry(3).Rep_DestinationFileDate = "not a date";
    pr_Sort_Report_List(*sys, SortChoice{2, true});
    EXPECT_EQ(ids(*sys), "none early late");
}

TEST(SortReportList, TextKeysOrderAsTheCaseInsensitiveComparison) {
    // Letters whose folding is unusual, and letters outside the basic plane.
    const QString pool = QString::fromUtf8(
        "aAbBzZ09 _-~\xc3\x9f\xe1\xba\x9e\xc3\x84\xc3\xa4\xc4\xb0\xc4\xb1iI\xcf\x82\xcf\x83"
        "\xce\xa3\xc2\xb5\xce\xbc\xe2\x84\xaa\xc5\xbf\xea\xad\xb0\xe1\x8e\xa0"
        "\xf0\x90\x90\x80\xf0\x90\x90\xa8\xf0\x9f\x98\x80");
    const QList<uint> code_points = pool.toUcs4();
    QRandomGenerator rng(7);
    std::vector<QByteArray> storage;  // Row holds pointers
    for (int i = 0; i < 400; ++i) {
        std::u32string text(rng.bounded(4), U' ');
        for (char32_t& c : text) {
            c = code_points[rng.bounded(static_cast<quint32>(code_points.size()))];
        }
        storage.push_back(QString::fromStdU32String(text).toUtf8());
        storage.push_back(QByteArray::number(i));
    }
    std::vector<Row> rows;
    for (std::size_t i = 0; i < storage.size(); i += 2) {
        rows.push_back({storage[i + 1].constData(), 0, "", storage[i].constData(), "", {}});
    }
    SettingsSandbox box;
    const auto sys = box.make();
    for (const bool ascending : {true, false}) {
        fill(*sys, rows);
        pr_Sort_Report_List(*sys, SortChoice{1, ascending});
        for (int i = 1; i < sys->Rep_FileCount(); ++i) {
            const ReportEntry& a = sys->entry(i);
            const ReportEntry& b = sys->entry(i + 1);
            const int c =
                a.Rep_DestinationFilename.compare(b.Rep_DestinationFilename, Qt::CaseInsensitive);
            EXPECT_TRUE(ascending ? c <= 0 : c >= 0)
                << a.Rep_DestinationFilename.toStdString() << " / "
                << b.Rep_DestinationFilename.toStdString();
            if (c == 0) {
                EXPECT_LT(a.Rep_SourceFilename.toInt(), b.Rep_SourceFilename.toInt());
            }
        }
    }
}

}  // namespace
}  // namespace quillet
