// The dialogs the main window opens modally, and File > Exit.
#include <QPushButton>
#include <QTimer>

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

TEST_F(Menus, OptionsAndAboutOpenModallyOverTheWindowAndExitClosesAndSaves) {
    open_window();
    EXPECT_EQ(modal_dialog_of([&] { click(find<QPushButton>("cmdOptions")); }),
              "quillet::frmOptions");
    EXPECT_EQ(modal_dialog_of([&] { trigger("mnuView_Options"); }), "quillet::frmOptions");
    EXPECT_EQ(modal_dialog_of([&] { trigger("mnuHelp_About"); }), "quillet::frmAbout");
    EXPECT_TRUE(window->isVisible());
    trigger("mnuFile_Exit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sandbox.stored("Settings/WindowState"), "0");
    EXPECT_EQ(sandbox.stored("Options/HTML Reports"), html);
}

}  // namespace
}  // namespace quillet::test
