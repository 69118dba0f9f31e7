// "Convert Automatically" in the Reports menu: off, the window is as
// designed; on, reports are converted as they arrive and listed row by row,
// the status bar names the folders watched, and the choice is remembered.
#include <QLabel>
#include <QStatusBar>

#include "auto_convert.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

class AutoConvertTest : public MainWindowTest {
protected:
    QAction* item() { return action("mnuRep_Auto"); }
    QLabel* status() { return window->findChild<QLabel*>(QStringLiteral("lblWatching")); }
    // Waits until the window lists rows entries, every batch over.
    bool wait_for_list(int rows) {
        return wait_until([&] {
            return model().rowCount() == rows && model().columnCount() == 5 &&
                   !window->batch().running();
        });
    }
};

TEST_F(AutoConvertTest, OffAsDesignedOnReportsAreConvertedAsTheyArriveAndTheChoiceIsRemembered) {
    // Off: the window is as designed, and the store keeps without the key.
    open_window();
    EXPECT_FALSE(item()->isChecked());
    EXPECT_EQ(status(), nullptr);
    write_file(orvella + "~drntrpa01.tmp", orvella_report("4711"));
    window->close();
    EXPECT_FALSE(QFileInfo::exists(html + "4711/Analysis.htm"));
    EXPECT_EQ(sandbox.stored("Options/Auto Convert"), "<absent>");

    open_window();
    item()->trigger();
    EXPECT_TRUE(item()->isChecked());
    ASSERT_NE(status(), nullptr);
    EXPECT_TRUE(status()->isVisible());
    EXPECT_EQ(status()->text(), "Converting automatically: watching " + orvella +
                                    " (Orvella) and " + fennick + " (Fennick)");

    // What was there already, then what arrives: the rows accumulate.
    ASSERT_TRUE(wait_for_list(1));
    write_file(orvella + "~drntrpa02.tmp", orvella_report("4712"));
    write_file(orvella + "notes.tmp", orvella_report("9999"));
    ASSERT_TRUE(wait_for_list(2));
    EXPECT_EQ(grid_text(model()), kListHeader + listed(1, "4711", "4711/Analysis") +
                                      listed(2, "4712", "4712/Analysis"));
    EXPECT_FALSE(QFileInfo::exists(html + "9999"));

    window->close();
    EXPECT_EQ(sandbox.stored("Options/Auto Convert"), "1");

    // The next start watches at once and converts what arrived meanwhile.
    write_file(orvella + "~drntrpa03.tmp", orvella_report("4713"));
    open_window();
    EXPECT_TRUE(item()->isChecked());
    ASSERT_TRUE(wait_until([&] { return QFileInfo::exists(html + "4713/Analysis.htm"); }));
    ASSERT_NE(status(), nullptr);
    // The status bar tells of a watched folder that is gone.
    ASSERT_TRUE(QDir(fennick).removeRecursively());
    ASSERT_TRUE(wait_until([&] { return status()->text().contains("missing"); }));
    EXPECT_EQ(status()->text(), "Converting automatically: watching " + orvella +
                                    " (Orvella) and " + fennick +
                                    " (missing; waiting for it) (Fennick)");
    ASSERT_TRUE(QDir().mkpath(fennick));
    ASSERT_TRUE(wait_until([&] { return !status()->text().contains("missing"); }));
    write_file(fennick + "jones.fnr", fennick_report());
    ASSERT_TRUE(wait_until([&] { return QFileInfo::exists(html + "Fennick/jones.htm"); }));

    // Off: the watcher and the status text go.
    item()->trigger();
    EXPECT_EQ(status(), nullptr);
    EXPECT_FALSE(window->findChild<AutoConvert*>()->watching());
    EXPECT_FALSE(sys->Gen_AutoConvert());
}

}  // namespace
}  // namespace quillet::test
