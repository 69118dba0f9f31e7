// The report grid's two views as pr_Set_Up_Grid and pr_Fill_Grid_Row write
// them: cell texts, colours and how the grid grows.

#include <QDir>
#include <QImage>

#include "main_window_driver.h"

namespace quillet::test {
namespace {

class Grid : public MainWindowTest {
protected:
    void SetUp() override { open_window(); }
    void set_entries(int count) {
        sys->set_Rep_FileCount(count);
        for (int n = 1; n <= count; ++n) {
            ReportEntry& e = sys->entry(n);
            e = ReportEntry{};
            e.Rep_SourceFilename = QStringLiteral("src%1").arg(n);
            e.Rep_DestinationPath = QStringLiteral("folder%1").arg(n);
            e.Rep_DestinationFilename = QStringLiteral("name%1").arg(n);
            e.Rep_DestinationFileDate = QStringLiteral("date%1").arg(n);
            e.Rep_Comment = QStringLiteral("comment%1").arg(n);
            e.Rep_ReportType = 2;
            e.Rep_Converted = n % 2 == 1;
        }
    }
    void fill(int from, int to) {
        for (int n = from; n <= to; ++n) {
            window->pr_Fill_Grid_Row(n);
        }
    }
};

TEST_F(Grid, BothViewsShowTheirRowsAsTheEntriesFinish) {
    // An empty list says what to do and where it looked: what the list view
    // paints over its background.
    auto painted_text = [&] {
        const QImage image = grid().viewport()->grab().toImage();
        const QColor base = grid().palette().color(QPalette::Base);
        int text = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                text += image.pixelColor(x, y) != base ? 1 : 0;
            }
        }
        return text;
    };
    EXPECT_EQ(grid().empty_text(), "No HTML reports yet in " + QDir::toNativeSeparators(html) +
                                       ". Convert your Orvella or Fennick reports to list them "
                                       "here.");
    EXPECT_GT(painted_text(), 0);
    gblnShowConversionColumns = true;  // a batch about to start: nothing to say
    window->pr_Set_Up_Grid();
    EXPECT_EQ(painted_text(), 0);

    set_entries(2);
    sys->entry(2).Rep_ReportType = 1;  // a Fennick entry is named after the student
    window->pr_Set_Up_Grid();
    fill(1, 2);
    EXPECT_EQ(grid_text(model()),
              "No. | Source filename | Student Number | Report name | Date | Converted? | Comment\n"
              "1 | src1 | folder1 | name1 | date1 | Yes | comment1\n"
              "2 | src2 | name2 | name2 | date2 | No | comment2\n");
    EXPECT_TRUE(is_greyed_out(row_colours(2)));

    // A row beyond the last one (an entry that finished before those ahead
    // of it) adds the rows between, empty.
    set_entries(3);
    gblnShowConversionColumns = false;
    window->pr_Set_Up_Grid();
    fill(3, 3);
    EXPECT_EQ(grid_text(model()),
              "No. | Student Number | Report name | Date | Comment\n"
              " |  |  |  | \n"
              " |  |  |  | \n"
              "3 | folder3 | name3 | date3 | comment3\n");

    // The "No." column shows the widest number whole.
    set_entries(10000);
    window->pr_Set_Up_Grid();
    fill(9999, 10000);
    EXPECT_TRUE(shows_whole(grid(), 0, "10000")) << grid().columnWidth(0);
}

}  // namespace
}  // namespace quillet::test
