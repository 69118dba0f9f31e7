// The view the window keeps from one run to the next: sort choice, column
// widths, the preview and its splitter, in section "Settings" of the
// settings file; a first start shows the splash window, then the main window
// as designed.
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <algorithm>

#include "app_info.h"
#include "document_commands.h"
#include "frm_splash.h"
#include "main_window_driver.h"
#include "preview_pane.h"
#include "startup.h"
#include "view_state.h"

namespace quillet::test {
namespace {

class RememberedView : public MainWindowTest {
protected:
    // A start as the program makes it: splash, settings, catalogue, window.
    void start() {
        window.reset();
        sys.reset();
        window = start_up(
            [this]() -> cSys_vars& {
                splash_shown = splash_visible();  // the settings are read under the splash
                sys = sandbox.make();
                return *sys;
            },
            browser, prompts);
        process_events();
    }
    static bool splash_visible() {
        const QWidgetList tops = QApplication::topLevelWidgets();
        return std::any_of(tops.begin(), tops.end(), [](const QWidget* top) {
            return qobject_cast<const frmSplash*>(top) != nullptr && top->isVisible();
        });
    }
    QSplitter& splitter() { return window->document_commands().splitter(); }
    // Drags the right edge of column c's header by dx pixels.
    void drag_column_edge(int c, int dx) {
        QHeaderView* header = grid().horizontalHeader();
        const QPoint edge(header->sectionViewportPosition(c) + header->sectionSize(c) - 1,
                          header->height() / 2);
        send_mouse(header->viewport(), QEvent::MouseButtonPress, edge, Qt::LeftButton);
        for (const QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonRelease}) {
            send_mouse(header->viewport(), type, edge + QPoint(dx, 0), Qt::LeftButton);
        }
    }
    bool splash_shown = false;
};

TEST_F(RememberedView, TheSecondStartOpensAsTheFirstWasLeft) {
    write_documents({"1111/1111analysis.htm", "2222/2222dyslexia.htm", "Fennick/brown.htm"});
    configure();

    // The first start forgets the sort of an earlier window; used as
    // designed, the window adds nothing to the settings file.
    gSortChoice = SortChoice{3, false};
    start();
    EXPECT_TRUE(splash_shown);
    EXPECT_FALSE(splash_visible());
    EXPECT_EQ(gstrVersion, make_version_text(QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR,
                                             QUILLET_VERSION_PATCH));
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(checked_sort_items(), QStringList({"mnuView_Student", "mnuView_Asc"}));
    EXPECT_EQ(current_row(), 1);
    trigger("mnuView_Preview");
    trigger("mnuView_Preview");
    trigger("mnuView_ReportDate");
    trigger("mnuView_Student");
    window->close();
    for (const char* key :
         {"Sort Key", "Sort Ascending", "Column Widths", "Preview", "Preview Splitter"}) {
        EXPECT_EQ(sandbox.stored(QStringLiteral("Settings/") + key), "<absent>") << key;
    }
    EXPECT_NE(sandbox.stored("Settings/Top"), "<absent>");

    start();
    EXPECT_EQ(checked_sort_items(), QStringList({"mnuView_Student", "mnuView_Asc"}));
    EXPECT_EQ(report_names(), QStringList({"1111analysis", "2222dyslexia", "brown"}));
    EXPECT_FALSE(window->document_commands().preview().isVisibleTo(window.get()));
    const int designed_student_width = grid().columnWidth(1);

    trigger("mnuView_ReportName");
    trigger("mnuView_Desc");
    drag_column_edge(1, 40);
    const int student_width = grid().columnWidth(1);
    ASSERT_NEAR(student_width, designed_student_width + 40, 2);
    trigger("mnuView_Preview");
    splitter().setSizes({400, 250});
    const QList<int> sizes = splitter().sizes();
    window->close();
    EXPECT_EQ(sandbox.stored("Settings/Sort Key"), "1");
    EXPECT_EQ(sandbox.stored("Settings/Sort Ascending"), "0");
    EXPECT_EQ(sandbox.stored("Settings/Preview"), "1");

    start();
    EXPECT_EQ(gSortChoice.gintSortKey, 1);
    EXPECT_FALSE(gSortChoice.gblnSortAscending);
    EXPECT_EQ(checked_sort_items(), QStringList({"mnuView_ReportName", "mnuView_Desc"}));
    EXPECT_EQ(report_names(), QStringList({"brown", "2222dyslexia", "1111analysis"}));
    EXPECT_TRUE(window->document_commands().preview().isVisible());
    EXPECT_EQ(window->document_commands().preview().document_path(), html + "Fennick/brown.htm");
    EXPECT_NEAR(splitter().sizes().at(0), sizes.at(0), 2);
    // (Beside the preview the columns give way; the width chosen holds.)
    EXPECT_NEAR(window->planned_column_widths().at(1), student_width, 2);

    // Showing the list again keeps the widths the user chose.
    trigger("mnuRep_Show");
    EXPECT_NEAR(window->planned_column_widths().at(1), student_width, 2);
    trigger("mnuView_Preview");
    process_events();
    EXPECT_NEAR(grid().columnWidth(1), student_width, 2);
}

TEST(ViewStateStore, UnreadableValuesFallBackToTheDesign) {
    QTemporaryDir dir;
    QSettings store(dir.filePath("q.ini"), QSettings::IniFormat);
    EXPECT_EQ(read_view_state(store), ViewState{});

    const std::pair<const char*, const char*> unreadable[] = {{"Sort Key", "7"},
                                                              {"Sort Key", "-1"},
                                                              {"Sort Key", "x"},
                                                              {"Sort Ascending", "2"},
                                                              {"Column Widths", "500,abc"},
                                                              {"Column Widths", "500,-3"},
                                                              {"Column Widths", "1,2,3,4,5,6,7"},
                                                              {"Preview Splitter", "100"},
                                                              {"Preview Splitter", "1e300,5"},
                                                              {"Preview", "yes"}};
    for (const auto& [key, value] : unreadable) {
        store.clear();
        write_setting(store, "Settings", key, value);
        EXPECT_EQ(read_view_state(store), ViewState{}) << key << '=' << value;
    }

    const ViewState state{{2, false}, {500, 2100, 1999}, true, {6000, 4000}};
    store.clear();
    write_view_state(store, state);
    EXPECT_EQ(read_view_state(store), state);
}

}  // namespace
}  // namespace quillet::test
