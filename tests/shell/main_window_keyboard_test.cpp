// The main window from the keyboard and its menus: where the focus starts,
// access keys that no two controls of a window or items of a menu share, the
// standard shortcuts, Home and End, the popup menu reached from the header row
// and the menu key, and the dialogs the window opens modally.
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>

#include "main_window_driver.h"

namespace quillet::test {
namespace {

class Keyboard : public MainWindowTest {
protected:
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

TEST_F(Keyboard, TheGridHasTheFocusAltWithAMenuTitlesLetterOpensThatMenuAndAButtonsPressesIt) {
    write_documents({"1111/Analysis.htm", "2222/Analysis.htm"});
    write_file(orvella + "~drntrpa01.tmp", orvella_report("3333"));
    write_file(fennick + "jones.fnr", fennick_report());
    open_active_window();
    EXPECT_EQ(QApplication::focusWidget(), &grid());
    EXPECT_EQ(current_row(), 1);

    without_dialogs([&] { type(Qt::Key_Space); });
    EXPECT_FALSE(QFileInfo::exists(document("3333"))) << "Space converted the Orvella reports";

    type(Qt::Key_Down);
    EXPECT_EQ(current_row(), 2);
    type(Qt::Key_Return);
    EXPECT_EQ(browser.opened(), std::vector<QString>{document("2222")});

    // Each menu opens at the first press, and no command runs.
    for (const auto& [key, menu] :
         {std::pair{Qt::Key_F, "mnuFile"}, std::pair{Qt::Key_R, "mnuRep"},
          std::pair{Qt::Key_V, "mnuView"}, std::pair{Qt::Key_H, "mnuHelp"}}) {
        without_dialogs([&] { type(key, Qt::AltModifier); });
        EXPECT_EQ(open_popup(), menu);
        close_popups();
    }
    EXPECT_TRUE(prompts.informations.empty());
    EXPECT_EQ(model().rowCount(), 2) << "a command ran";
    EXPECT_FALSE(QFileInfo::exists(html + "Fennick/jones.htm"));
    EXPECT_FALSE(QFileInfo::exists(document("3333")));

    // Each button's underlined letter presses it.
    without_dialogs([&] { type(Qt::Key_O, Qt::AltModifier); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(document("3333")); }, 30000));
    finish_batches();
    without_dialogs([&] { type(Qt::Key_E, Qt::AltModifier); });
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QFileInfo::exists(html + "Fennick/jones.htm"); }, 30000));
    finish_batches();
    type(Qt::Key_S, Qt::AltModifier);  // a button's access key clicks it a moment later
    EXPECT_TRUE(QTest::qWaitFor([&] { return model().rowCount() == 4; }, 30000))
        << "Show HTML Reports listed the catalogue";

    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Comma, Qt::ControlModifier}, std::pair{Qt::Key_P, Qt::AltModifier}}) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 30000));
        bool options_opened = false;
        when_modal_opens<frmOptions>([&](frmOptions& dialog) {
            options_opened = dialog.parentWidget() == window.get();
            dialog.reject();
        });
        type(key, modifiers);
        EXPECT_TRUE(QTest::qWaitFor([&] { return options_opened; }, 30000)) << key;
    }
    bool about_opened = false;
    when_modal_opens<frmAbout>([&](frmAbout& dialog) {
        about_opened = dialog.parentWidget() == window.get();
        dialog.reject();
    });
    trigger("mnuHelp_About");
    EXPECT_TRUE(about_opened);
}

// The access keys of every control of a window (and of its menu bar), and of
// the items of every menu, that more than one of them takes.
QStringList access_key_clashes(QWidget& window) {
    // Captions by where they are (the window or a menu) and their access key.
    QMap<QPair<QString, QKeySequence>, QStringList> captions;
    const auto add = [&captions](const QString& where, const QString& caption) {
        if (const QKeySequence key = QKeySequence::mnemonic(caption); !key.isEmpty()) {
            captions[{where, key}] << caption;
        }
    };
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        add(window.objectName(), button->text());
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->buddy() != nullptr) {
            add(window.objectName(), label->text());
        }
    }
    for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (const QAction* title : bar->actions()) {
            add(window.objectName(), title->text());
        }
    }
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        for (const QAction* item : menu->actions()) {
            add(menu->objectName(), item->text());
        }
    }
    QStringList clashes;
    for (auto it = captions.cbegin(); it != captions.cend(); ++it) {
        if (it.value().size() > 1) {
            clashes << it.key().first + ": " + it.value().join(" / ");
        }
    }
    return clashes;
}

TEST_F(Keyboard, NoTwoControlsOfAWindowNorItemsOfAMenuShareAnAccessKey) {
    for_every_window([&](QWidget& shown) {
        EXPECT_EQ(access_key_clashes(shown), QStringList{}) << shown.objectName().toStdString();
    });
}

TEST_F(Keyboard, HomeEndTheStandardShortcutsAndThePopupMenu) {
    write_documents({"1111/Analysis.htm", "2222/Analysis.htm", "3333/Analysis.htm"});
    open_active_window();
    for (const Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::ControlModifier}) {
        type(Qt::Key_End, modifier);
        EXPECT_EQ(current_row(), 3) << modifier;
        type(Qt::Key_Home, modifier);
        EXPECT_EQ(current_row(), 1) << modifier;
    }

    // F5 lists the HTML reports again, with one written since the window opened.
    write_documents({"4444/Analysis.htm"});
    type(Qt::Key_F5);
    EXPECT_EQ(model().rowCount(), 4);
    type(Qt::Key_End);
    type(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(browser.opened(), std::vector<QString>{document("4444")});

    // The popup menu opens from the header row and the menu key.
    browser.urls.clear();
    type(Qt::Key_Home);
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
    EXPECT_EQ(browser.opened(), std::vector<QString>{document("1111")});

    type(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sandbox.stored("Settings/WindowState"), "0");
}

}  // namespace
}  // namespace quillet::test
