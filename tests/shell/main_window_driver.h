// Drives the desktop program's windows in the widget tests: a recording
// browser, scripted message boxes, mouse and key events, and a workspace of
// temporary folders with its own settings file.
#pragma once

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser_launcher.h"
#include "frm_about.h"
#include "frm_main.h"
#include "frm_options.h"
#include "frm_path.h"
#include "report_catalogue.h"
#include "report_grid_model.h"
#include "report_grid_view.h"
#include "settings_sandbox.h"
#include "shell_globals.h"
#include "sys_vars.h"
#include "test_support.h"
#include "user_prompts.h"
#include "window_batch.h"

namespace quillet::test {

inline void process_events() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

class RecordingBrowser final : public BrowserLauncher {
public:
    bool open(const QUrl& url) override {
        urls.push_back(url);
        if (!starts) {
            report_failure(url, QStringLiteral("No browser."));
        }
        return starts;
    }
    // The files of the urls opened.
    std::vector<QString> opened() const {
        std::vector<QString> files;
        for (const QUrl& url : urls) {
            files.push_back(url.toLocalFile());
        }
        return files;
    }
    std::vector<QUrl> urls;
    bool starts = true;
};

class ScriptedPrompts final : public UserPrompts {
public:
    struct Shown {
        QString title;
        QString text;
    };
    void information(QWidget*, const QString& title, const QString& text) override {
        informations.push_back({title, text});
    }
    bool question(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({title, text});
        if (on_question) {
            on_question();
        }
        return answer;
    }
    std::vector<Shown> informations;
    std::vector<Shown> questions;
    bool answer = true;
    std::function<void()> on_question;
};

// Events as the windowing system delivers them.
inline void send_mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    send_mouse(target, QEvent::MouseButtonPress, at, button);
    send_mouse(target, QEvent::MouseButtonRelease, at, button);
}

// Turns the event loop until done() holds or a generous time has passed.
inline bool wait_until(const std::function<bool()>& done, int limit_ms = 120000) {
    QElapsedTimer waited;
    waited.start();
    QTimer tick;  // wakes the loop now and then to look at the clock
    tick.start(20);
    while (!done()) {
        if (waited.elapsed() > limit_ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Waits until no main window is converting a batch.
inline void finish_batches() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmMain*>(widget)) {
            EXPECT_TRUE(wait_until([window] { return !window->batch().running(); }))
                << "the batch did not finish";
        }
    }
}

// Clicks a button and lets a batch it started run to its end.
inline void click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    click(button, button->rect().center());
    finish_batches();
}

inline void double_click(QWidget* target, QPoint at) {
    click(target, at);
    send_mouse(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    send_mouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}

inline void press_key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// The centre of grid row n (from 1), in the grid's viewport.
inline QPoint row_centre(ReportGridView& grid, int n) {
    return grid.visualRect(grid.model()->index(n - 1, 1)).center();
}

// The text of every cell, a line a row, the header row first: "a | b | c".
inline std::string grid_text(const ReportGridModel& model) {
    std::string out;
    for (int r = -1; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) {
            const QVariant cell =
                r < 0 ? model.headerData(c, Qt::Horizontal) : model.index(r, c).data();
            out += (c == 0 ? "" : " | ") + cell.toString().toStdString();
        }
        out += '\n';
    }
    return out;
}

// Whether column c of grid is wide enough to show text whole, not elided.
inline bool shows_whole(ReportGridView& grid, int c, const QString& text) {
    const int margins =
        2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) +
        (grid.showGrid() ? 1 : 0);  // the grid line
    return grid.columnWidth(c) >= grid.fontMetrics().horizontalAdvance(text) + margins;
}

// A row of a report that was not converted: white text on a grey that still
// lets it be read.
inline bool is_greyed_out(const std::pair<QColor, QColor>& colours) {
    const auto& [background, text] = colours;
    const int grey = background.red();
    return text == QColor(255, 255, 255) && background.green() == grey &&
           background.blue() == grey && grey >= 96 && grey <= 160;
}

// The header row of the list view, and the comment of a document written.
constexpr const char* kListHeader = "No. | Student Number | Report name | Date | Comment\n";
constexpr const char* kCreated = "Created new HTML report";

// A page break as the converter writes it.
inline const QByteArray kPageBreak =
    "<H1 class=\"pagebreak\"><HR></H1>\n<br clear=all style='page-break-after:always'>\r\n";

// Report sources as the two programs write them (Windows-1252, CR LF).
inline QByteArray orvella_report(const QByteArray& student) {
    return "@\r\n~biuC18~\r\nOrvella Analysis Report for student " + student +
           "\r\n~biuL12~\r\nName:\t\tAlex Morgan\r\n@\r\nThe body.\r\n";
}
inline QByteArray fennick_report() {
    return "@\r\n~biuL12~\r\nQuestionnaire completed by\t\tChris Jones\r\n";
}

// A sandboxed settings store whose three folders are empty temporary folders.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        gSortChoice = SortChoice{};
        // The text index of the documents, kept with the rest of the test's files.
        qputenv("XDG_CACHE_HOME", sandbox.path(QStringLiteral("cache")).toUtf8());
        orvella = sandbox.make_folder(QStringLiteral("work/orvella"));
        fennick = sandbox.make_folder(QStringLiteral("work/fennick"));
        html = sandbox.make_folder(QStringLiteral("work/html"));
    }
    ~MainWindowTest() override {
        if (window) {
            window->hide();
        }
    }

    // Writes the settings file: the three folders and the two policies.
    void configure(int convert_option = 0, int fennick_choice = 0, const QByteArray& extra = {}) {
        sandbox.write_ini("[Options]\nOrvella=" + orvella.toUtf8() +
                          "\nFennick=" + fennick.toUtf8() + "\nHTML%20Reports=" + html.toUtf8() +
                          "\nConvert%20Option=" + QByteArray::number(convert_option) +
                          "\nFennick%20Choice=" + QByteArray::number(fennick_choice) + "\n" +
                          extra);
    }

    // A settings object on the sandbox with its catalogue built, and the main
    // window over it (opening documents with launcher, else browser), shown in
    // place of any earlier one.
    frmMain& open_window(BrowserLauncher* launcher = nullptr) {
        window.reset();
        if (!QFileInfo::exists(sandbox.ini_file())) {
            configure();
        }
        sys = sandbox.make();
        pr_Get_List_Of_Converted_Files(*sys, gSortChoice);
        window = std::make_unique<frmMain>(*sys, launcher ? *launcher : browser, prompts);
        window->show();
        process_events();
        return *window;
    }

    // The main window, opened and made the active window, as keys need it.
    void open_active_window() {
        open_window();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 30000));
    }
    // Writes small documents below the HTML folder.
    void write_documents(std::initializer_list<const char*> paths) {
        for (const char* path : paths) {
            write_file(html + path, "<html></html>");
        }
    }
    // Row n of the list view, of the document below the HTML folder named
    // without ".htm", as grid_text writes it.
    std::string listed(int n, const char* student, const QString& document,
                       const char* comment = kCreated) {
        const QDateTime written = QFileInfo(html + document + ".htm").lastModified();
        return std::to_string(n) + " | " + student + " | " +
               document.section(u'/', -1).toStdString() + " | " +
               format_document_date(written).toStdString() + " | " + comment + '\n';
    }
    template <typename T>
    T* find(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* action(const char* name) { return find<QAction>(name); }
    // Triggers a command and lets a batch it started run to its end.
    void trigger(const char* name) {
        if (QAction* item = action(name)) {
            item->trigger();
        }
        finish_batches();
    }
    ReportGridView& grid() { return window->grid(); }
    const ReportGridModel& model() { return window->grid_model(); }
    // The colours of grid row n: background and text.
    std::pair<QColor, QColor> row_colours(int n) {
        const QModelIndex cell = model().index(n - 1, 0);
        return {cell.data(Qt::BackgroundRole).value<QColor>(),
                cell.data(Qt::ForegroundRole).value<QColor>()};
    }
    int current_row() {
        return grid().currentIndex().isValid() ? grid().currentIndex().row() + 1 : 0;
    }
    void select_row(int n) { grid().setCurrentIndex(grid().model()->index(n - 1, 0)); }
    // The "Report name" column as the grid shows it, top to bottom.
    QStringList report_names() {
        QStringList names;
        for (int r = 0; r < grid().model()->rowCount(); ++r) {
            names << grid().model()->index(r, 2).data().toString();
        }
        return names;
    }
    // The checked items of the View menu's sort choices.
    QStringList checked_sort_items() {
        QStringList names;
        for (const char* name : {"mnuView_Student", "mnuView_ReportName", "mnuView_ReportDate",
                                 "mnuView_Comment", "mnuView_Asc", "mnuView_Desc"}) {
            if (action(name)->isChecked()) {
                names << name;
            }
        }
        return names;
    }

    // Calls check with the main window, the about box, the options dialog
    // and the folder chooser.
    void for_every_window(const std::function<void(QWidget&)>& check) {
        open_window();
        RecordingBrowser about_browser;
        frmAbout about(about_browser);
        frmOptions options(*sys);
        gintPathTarget = 2;
        frmPath chooser(*sys);
        for (QWidget* shown :
             std::initializer_list<QWidget*>{window.get(), &about, &options, &chooser}) {
            check(*shown);
        }
    }

    SettingsSandbox sandbox;
    QString orvella, fennick, html;
    RecordingBrowser browser;
    ScriptedPrompts prompts;
    std::unique_ptr<cSys_vars> sys;
    std::unique_ptr<frmMain> window;
};

}  // namespace quillet::test
