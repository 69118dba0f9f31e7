// The main window's captions and menus, the dialogs it opens modally and
// File > Exit.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "app_info.h"
#include "frm_about.h"
#include "frm_options.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

class Menus : public MainWindowTest {
protected:
    // Runs command and closes the modal dialog it opens; returns its class.
    QString modal_dialog_of(const std::function<void()>& command) {
        QString seen;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                return;
            }
            seen = QString::fromLatin1(modal->metaObject()->className());
            EXPECT_EQ(modal->parentWidget(), window.get());
            modal->close();
        });
        command();
        return seen;
    }
};

TEST_F(Menus, CaptionsItemsAndSeparators) {
    open_window();
    QStringList shown;
    for (QAction* top : window->menuBar()->actions()) {
        shown << top->text();
        for (QAction* item : top->menu()->actions()) {
            shown << QStringLiteral("  ") +
                         (item->isSeparator() ? QStringLiteral("-") : item->text()) +
                         (item->isChecked() ? QStringLiteral(" [x]") : QString());
        }
    }
    EXPECT_EQ(shown.join('\n'), QStringLiteral("&File\n"
                                               "  &Open\n"
                                               "  -\n"
                                               "  E&xit\n"
                                               "&Reports\n"
                                               "  &Show HTML Reports\n"
                                               "  -\n"
                                               "  Convert &Orvella Reports to HTML\n"
                                               "  Convert &Fennick Reports to HTML\n"
                                               "&View\n"
                                               "  By &Student Number [x]\n"
                                               "  By Report &Name\n"
                                               "  By Report &Date\n"
                                               "  By &Comment\n"
                                               "  -\n"
                                               "  &Ascending [x]\n"
                                               "  &Descending\n"
                                               "  -\n"
                                               "  &Options\n"
                                               "&Help\n"
                                               "  &About - Quillet ") +
                                    gstrVersion);
    QStringList buttons;
    for (const char* name :
         {"cmdConvertOrvella", "cmdConvertFennick", "cmdShowReports", "cmdOptions"}) {
        buttons << find<QPushButton>(name)->text();
    }
    EXPECT_EQ(buttons, QStringList({"Convert &Orvella Reports", "Convert &Fennick Reports",
                                    "Show HTML &Reports", "&Options"}));
    EXPECT_EQ(find<QMenu>("mnuPopup")->actions().size(), 1);
    EXPECT_EQ(action("mnuPopup_Open")->text(), "Open");
}

TEST_F(Menus, OptionsAndAboutOpenModallyOverTheWindow) {
    open_window();
    EXPECT_EQ(modal_dialog_of([&] { click(find<QPushButton>("cmdOptions")); }),
              "quillet::frmOptions");
    EXPECT_EQ(modal_dialog_of([&] { trigger("mnuView_Options"); }), "quillet::frmOptions");
    EXPECT_EQ(modal_dialog_of([&] { trigger("mnuHelp_About"); }), "quillet::frmAbout");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(Menus, ExitClosesTheWindowAndSaves) {
    open_window();
    trigger("mnuFile_Exit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sandbox.stored("Settings/WindowState"), "0");
    EXPECT_EQ(sandbox.stored("Options/HTML Reports"), html);
}

}  // namespace
}  // namespace quillet::test
