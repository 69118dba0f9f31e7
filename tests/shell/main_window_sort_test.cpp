// The six sort items of the View menu: their check marks, the sort choice and
// the order of the list they show.
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <cstring>

#include "main_window_driver.h"

namespace quillet::test {
namespace {

class SortMenu : public MainWindowTest {
protected:
    void write_document(const QString& relative, int days_old) {
        write_file(html + relative, "<html></html>");
        QFile file(html + relative);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-days_old),
                                     QFileDevice::FileModificationTime));
    }
    QString names() { return report_names().join(' '); }
    QString checked() { return checked_sort_items().join(' '); }
};

// Each menu item, even the checked one, checks itself, sorts and lists again;
// a header click sorts by its column, ascending then descending, and the menu
// follows.
TEST_F(SortMenu, EachItemAndEachHeaderClickSortsAndTheMenuFollows) {
    write_document("4711/a-analysis.htm", 1);
    write_document("1234/z-dyslexia.htm", 3);
    write_document("misc.htm", 2);
    write_document("Fennick/brown.htm", 4);
    open_window();
    QHeaderView* header = grid().horizontalHeader();
    // A menu item, a header column ("0" to "4"), or "" as it opens; the items
    // checked; the order of the list.
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"", "mnuView_Student mnuView_Asc", "z-dyslexia a-analysis brown misc"},
        {"mnuView_ReportName", "mnuView_ReportName mnuView_Asc",
         "a-analysis brown misc z-dyslexia"},
        {"mnuView_Desc", "mnuView_ReportName mnuView_Desc", "z-dyslexia misc brown a-analysis"},
        {"mnuView_ReportDate", "mnuView_ReportDate mnuView_Desc",
         "a-analysis misc z-dyslexia brown"},
        {"mnuView_Comment", "mnuView_Comment mnuView_Desc", "z-dyslexia a-analysis brown misc"},
        {"mnuView_Asc", "mnuView_Comment mnuView_Asc", "misc brown a-analysis z-dyslexia"},
        {"mnuView_Student", "mnuView_Student mnuView_Asc", "z-dyslexia a-analysis brown misc"},
        {"2", "mnuView_ReportName mnuView_Asc", "a-analysis brown misc z-dyslexia"},
        {"2", "mnuView_ReportName mnuView_Desc", "z-dyslexia misc brown a-analysis"},
        {"3", "mnuView_ReportDate mnuView_Asc", "brown z-dyslexia misc a-analysis"},
        // "No.": the list's own order, then turned round.
        {"0", "mnuView_Asc", "brown z-dyslexia misc a-analysis"},
        {"0", "mnuView_Desc", "a-analysis misc z-dyslexia brown"},
        {"0", "mnuView_Asc", "brown z-dyslexia misc a-analysis"},
        {"4", "mnuView_Comment mnuView_Asc", "misc brown a-analysis z-dyslexia"},
        {"1", "mnuView_Student mnuView_Asc", "z-dyslexia a-analysis brown misc"},
        {"1", "mnuView_Student mnuView_Desc", "misc brown a-analysis z-dyslexia"},
        {"mnuView_Asc", "mnuView_Student mnuView_Asc", "z-dyslexia a-analysis brown misc"},
    };
    for (const auto& [item, checked_items, order] : steps) {
        if (std::strlen(item) == 1) {
            const int column = item[0] - '0';
            click(header->viewport(),
                  {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                   header->height() / 2});
            EXPECT_EQ(header->sortIndicatorSection(), column);
        } else {
            if (item[0] != '\0') {
                select_row(4);
                trigger(item);
            }
            EXPECT_EQ(current_row(), 1) << item;
        }
        EXPECT_EQ(checked(), checked_items) << item;
        EXPECT_EQ(names(), order) << item;
    }

    // A batch leaves its entries unsorted; the checked item sorts them.
    write_file(orvella + "~drntrpa02.tmp", orvella_report("2222"));
    write_file(orvella + "~drntrpa01.tmp", orvella_report("3333"));
    trigger("mnuRep_Orvella");
    ASSERT_EQ(names(), "Analysis Analysis");
    EXPECT_EQ(model().index(0, 1).data().toString(), "3333");
    for (const char* item : {"mnuView_Student", "mnuView_Asc"}) {
        trigger(item);
        EXPECT_EQ(checked(), "mnuView_Student mnuView_Asc") << item;
        EXPECT_EQ(model().index(0, 1).data().toString(), "2222") << item;
    }
}

}  // namespace
}  // namespace quillet::test
