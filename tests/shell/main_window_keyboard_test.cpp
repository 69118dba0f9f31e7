// The main window from the keyboard: where the focus starts, the access keys
// that captions share, the standard shortcuts, and the popup menu reached
// from the header row and the menu key.
#include <QtTest/QTest>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "frm_options.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

class Keyboard : public MainWindowTest {
protected:
    frmMain& open_active_window() {
        frmMain& shown = open_window();
        shown.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown, 30000));
        return shown;
    }
    // A key typed on the window as the keyboard types it: shortcuts first,
    // then the focus control.
    void type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), static_cast<Qt::Key>(key), modifiers);
    }
    // The popup menu that is open, by name; empty when none is.
    static QString open_popup() {
        QWidget* popup = QApplication::activePopupWidget();
        return popup != nullptr ? popup->objectName() : QString();
    }
    static void close_popups() {
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    }
    // Fails and closes any modal window that opens while command runs.
    static void without_dialogs(const std::function<void()>& command) {
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a dialog opened: " << modal->windowTitle().toStdString();
                modal->close();
            }
        });
        guard.start(50);
        command();
    }
    // Runs action on the first modal dialog of type T that opens from now on.
    template <typename T>
    void when_modal_opens(std::function<void(T&)> action) {
        watcher_ = std::make_unique<QTimer>();
        QObject::connect(watcher_.get(), &QTimer::timeout, [this, action] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                watcher_->stop();
                action(*dialog);
            }
        });
        watcher_->start(20);
    }
    QString document(const char* student) { return html + student + "/Analysis.htm"; }

    std::unique_ptr<QTimer> watcher_;
};

TEST_F(Keyboard, TheGridHasTheFocusFromTheStart) {
    write_file(html + "1111/Analysis.htm", "<html></html>");
    write_file(html + "2222/Analysis.htm", "<html></html>");
    write_file(orvella + "~drntrpa01.tmp", orvella_report("3333"));
    open_active_window();
    EXPECT_EQ(QApplication::focusWidget(), &grid());
    EXPECT_EQ(current_row(), 1);

    without_dialogs([&] { type(Qt::Key_Space); });
    EXPECT_FALSE(QFileInfo::exists(document("3333"))) << "Space converted the Orvella reports";

    type(Qt::Key_Down);
    EXPECT_EQ(current_row(), 2);
    type(Qt::Key_Return);
    ASSERT_EQ(browser.opened.size(), 1U);
    EXPECT_EQ(browser.opened[0], document("2222"));
}

TEST_F(Keyboard, AltAndAMenuTitlesLetterOpensThatMenuAtTheFirstPress) {
    write_file(orvella + "~drntrpa01.tmp", orvella_report("3333"));
    write_file(fennick + "jones.fnr", fennick_report());
    open_active_window();
    // "&File" shares its letter with "Convert &Fennick Reports", "&Reports"
    // with "Show HTML &Reports"; "&View" and "&Help" share theirs with nothing.
    for (const auto& [key, menu] : {std::pair{Qt::Key_F, "mnuFile"}, std::pair{Qt::Key_R, "mnuRep"},
                                    std::pair{Qt::Key_V, "mnuView"}, std::pair{Qt::Key_H, "mnuHelp"}}) {
        SCOPED_TRACE(menu);
        without_dialogs([&] { type(key, Qt::AltModifier); });
        EXPECT_EQ(open_popup(), menu);
        close_popups();
    }
    EXPECT_TRUE(prompts.informations.empty());
    EXPECT_EQ(model().rowCount(), 0) << "a command ran";
    EXPECT_FALSE(QFileInfo::exists(html + "Fennick/jones.htm"));
    // The captions stay as designed.
    EXPECT_EQ(find<QPushButton>("cmdConvertFennick")->text(), "Convert &Fennick Reports");
    EXPECT_EQ(find<QPushButton>("cmdShowReports")->text(), "Show HTML &Reports");
}

TEST_F(Keyboard, AltOConvertsTheOrvellaReportsAndCtrlCommaOpensTheOptions) {
    write_file(orvella + "~drntrpa01.tmp", orvella_report("3333"));
    open_active_window();
    // "Convert &Orvella Reports" and "&Options" share their letter: the
    // window's main command keeps it.
    without_dialogs([&] { type(Qt::Key_O, Qt::AltModifier); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(document("3333")); }, 30000));
    EXPECT_EQ(find<QPushButton>("cmdOptions")->text(), "&Options");

    bool options_opened = false;
    when_modal_opens<frmOptions>([&](frmOptions& dialog) {
        options_opened = true;
        dialog.reject();
    });
    type(Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(options_opened);
}

TEST_F(Keyboard, StandardShortcutsRunTheirCommands) {
    write_file(html + "1111/Analysis.htm", "<html></html>");
    open_active_window();

    // F5 lists the HTML reports again, with one written since the window opened.
    write_file(html + "2222/Analysis.htm", "<html></html>");
    type(Qt::Key_F5);
    EXPECT_EQ(model().rowCount(), 2);

    type(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(browser.opened.size(), 1U);
    EXPECT_EQ(browser.opened[0], document("1111"));

    type(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sandbox.stored("Settings/WindowState"), "0");
}

TEST_F(Keyboard, ThePopupMenuOpensFromTheHeaderRowAndTheMenuKey) {
    write_file(html + "1111/Analysis.htm", "<html></html>");
    open_active_window();
    QWidget* header = grid().horizontalHeader()->viewport();
    const QPoint on_header = header->rect().center();

    click(header, on_header, Qt::LeftButton);
    EXPECT_EQ(open_popup(), "") << "the left button";
    click(header, on_header, Qt::RightButton);
    EXPECT_EQ(open_popup(), "mnuPopup");
    close_popups();

    // The menu key, as the windowing system reports it to the focus control.
    QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(QApplication::focusWidget(), &menu_key);
    EXPECT_EQ(open_popup(), "mnuPopup");
    type(Qt::Key_Down);  // to "Open", the first item
    type(Qt::Key_Return);
    EXPECT_EQ(open_popup(), "");
    ASSERT_EQ(browser.opened.size(), 1U);
    EXPECT_EQ(browser.opened[0], document("1111"));
}

TEST_F(Keyboard, SortItemsShowCheckMarksAndStayExclusive) {
    open_active_window();
    const QStringList keys = {"mnuView_Student", "mnuView_ReportName", "mnuView_ReportDate",
                              "mnuView_Comment"};
    for (const QString& name : keys + QStringList{"mnuView_Asc", "mnuView_Desc"}) {
        // Qt draws the items of an exclusive group with radio dots.
        const QAction* item = action(qPrintable(name));
        ASSERT_NE(item->actionGroup(), nullptr);
        EXPECT_FALSE(item->actionGroup()->isExclusive()) << name.toStdString();
    }
    // Chosen from the open menu by their access keys, twice each: a second
    // choice of the checked item keeps its mark.
    const std::pair<Qt::Key, int> choices[] = {{Qt::Key_N, 1}, {Qt::Key_N, 1}, {Qt::Key_C, 3},
                                               {Qt::Key_S, 0}, {Qt::Key_S, 0}};
    for (const auto& [key, checked] : choices) {
        type(Qt::Key_V, Qt::AltModifier);
        ASSERT_EQ(open_popup(), "mnuView");
        type(key);
        EXPECT_EQ(open_popup(), "");
        for (int i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(action(qPrintable(keys[i]))->isChecked(), i == checked)
                << keys[i].toStdString() << " after " << checked;
        }
        EXPECT_EQ(gSortChoice.gintSortKey, checked);
    }
    // ("&Descending" shares its letter with "By Report &Date".)
    trigger("mnuView_Desc");
    for (int twice = 0; twice < 2; ++twice) {
        type(Qt::Key_V, Qt::AltModifier);
        type(Qt::Key_A);
        EXPECT_TRUE(action("mnuView_Asc")->isChecked());
        EXPECT_FALSE(action("mnuView_Desc")->isChecked());
        EXPECT_TRUE(gSortChoice.gblnSortAscending);
    }
}

}  // namespace
}  // namespace quillet::test
