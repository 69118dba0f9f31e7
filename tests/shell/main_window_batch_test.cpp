// A batch in the main window runs beside the event loop: the window answers
// while rows come in, the commands that would change the list wait, and
// Cancel, Esc and closing the window stop it once the entries in flight end.
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QtTest/QTest>

#include "fault_injection.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

constexpr int kReports = 1500;

class WindowBatchTest : public MainWindowTest {
protected:
    // Many reports, each of a student of its own.
    void write_many_reports() {
        QByteArray body;
        for (int line = 0; line < 40; ++line) {
            body += "Line of the report body with ~B~bold~b~ words in it.\r\n";
        }
        for (int i = 0; i < kReports; ++i) {
            write_file(orvella + QStringLiteral("~drntrpa%1.tmp").arg(i, 5, 10, QLatin1Char('0')),
                       orvella_report(QByteArray::number(20000000 + i)) + body);
        }
    }
    // Starts converting the Orvella folder without waiting for the end.
    void start_batch() {
        action("mnuRep_Orvella")->trigger();
        ASSERT_TRUE(window->batch().running());
    }
    bool running() { return window->batch().running(); }
    QPushButton* cancel_button() { return find<QPushButton>("cmdCancelBatch"); }
    // Waits for the first rows, so that the batch is known to be under way.
    void wait_for_rows(int rows) {
        ASSERT_TRUE(wait_until([&] { return model().rowCount() >= rows || !running(); }));
    }
    // After a stopped batch: the list view of every entry, converted ones
    // first, then the ones never started; whole documents only. converted:
    // how many were converted.
    void expect_stopped_batch(int* converted_out = nullptr) {
        ASSERT_EQ(model().rowCount(), kReports);
        ASSERT_EQ(model().columnCount(), 5);
        int converted = 0;
        int cancelled = 0;
        for (int n = 1; n <= kReports; ++n) {
            EXPECT_EQ(model().index(n - 1, 0).data().toString(), QString::number(n));
            const QString comment = model().index(n - 1, 4).data().toString();
            if (comment == "Not converted: the batch was cancelled.") {
                ++cancelled;
                EXPECT_TRUE(model().index(n - 1, 2).data().toString().isEmpty()) << n;
                EXPECT_FALSE(sys->entry(n).Rep_Converted);
            } else {
                ASSERT_EQ(cancelled, 0) << "row " << n << " converted after a cancelled one";
                EXPECT_EQ(comment, "Created new HTML report") << n;
                ++converted;
            }
        }
        EXPECT_GT(cancelled, 0);
        EXPECT_EQ(unsound_documents(html, {}), QStringList());
        EXPECT_EQ(files_below(html).size(), static_cast<std::size_t>(converted));
        if (converted_out != nullptr) {
            *converted_out = converted;
        }
    }
};

TEST_F(WindowBatchTest,
       TheWindowAnswersWhileRowsComeInAndCancelOrEscStopsItOnceEntriesInFlightEnd) {
    write_many_reports();
    for (const char* how : {"Cancel button", "Esc"}) {
        SCOPED_TRACE(how);
        QDir(html).removeRecursively();
        QDir().mkpath(html);
        open_active_window();
        int updates = 0;  // of the grid, while the batch runs
        const auto count = [&] { updates += running() ? 1 : 0; };
        QObject::connect(&model(), &QAbstractItemModel::rowsInserted, window.get(), count);
        QObject::connect(&model(), &QAbstractItemModel::dataChanged, window.get(), count);
        QAction* commands[] = {action("mnuRep_Orvella"), action("mnuRep_Fennick"),
                               action("mnuRep_Show"),    action("mnuView_ReportDate"),
                               action("mnuView_Desc"),   action("mnuView_Options")};
        start_batch();
        for (QAction* command : commands) {
            EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();
        }
        EXPECT_FALSE(find<QPushButton>("cmdConvertFennick")->isEnabled());
        EXPECT_FALSE(find<QPushButton>("cmdOptions")->isEnabled());
        EXPECT_TRUE(action("mnuFile_Open")->isEnabled());
        EXPECT_TRUE(find<QProgressBar>("batchProgress")->isVisible());
        EXPECT_TRUE(cancel_button()->isVisible());
        // A disabled command started while the batch runs does nothing.
        click(find<QPushButton>("cmdShowReports"), {5, 5});
        EXPECT_TRUE(prompts.informations.empty());
        // The window resizes and its menus open while rows come in, in list
        // order: row n shows entry n, filled as its entry finished.
        window->resize(window->width() + 40, window->height() + 30);
        QMenu* view = find<QMenu>("mnuView");
        view->popup(window->mapToGlobal(QPoint(10, 10)));
        process_events();
        EXPECT_TRUE(view->isVisible());
        view->close();
        int partly_filled_turns = 0;
        ASSERT_TRUE(wait_until([&] {
            const int rows = model().rowCount();
            if (rows > 0 && running()) {
                ++partly_filled_turns;
                EXPECT_EQ(model().index(rows - 1, 0).data().toString(), QString::number(rows));
                EXPECT_EQ(model().index(rows - 1, 6).data().toString(), "Created new HTML report");
            }
            return rows >= 20 || !running();
        }));
        EXPECT_GT(partly_filled_turns, 0);
        if (std::string(how) == "Esc") {
            QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        } else {
            click(cancel_button(), cancel_button()->rect().center());
        }
        updates = 0;
        const auto begun = files_below(html).size() + QThread::idealThreadCount();
        ASSERT_TRUE(wait_until([&] { return !running(); }));
        // No entry starts after the cancel, and the ones never started are
        // marked in one update of the grid, however many they are (besides
        // the rows that were waiting and those of the entries in flight).
        int converted = 0;
        expect_stopped_batch(&converted);
        EXPECT_LE(static_cast<std::size_t>(converted), begun);
        EXPECT_LE(updates, 2 + QThread::idealThreadCount());
        for (QAction* command : commands) {
            EXPECT_TRUE(command->isEnabled());
        }
        EXPECT_FALSE(find<QProgressBar>("batchProgress")->isVisible());
        EXPECT_FALSE(cancel_button()->isVisible());
    }
}

TEST_F(WindowBatchTest, ClosingDuringABatchAsksNoKeepsItRunningYesStopsItOrClosesAtOnceIfItEnded) {
    write_many_reports();
    open_window();
    start_batch();
    wait_for_rows(1);

    prompts.answer = false;
    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].title, "Quillet");
    EXPECT_EQ(prompts.questions[0].text, kStopBatchQuestion);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(wait_until([&] { return !running(); }));
    EXPECT_EQ(files_below(html).size(), static_cast<std::size_t>(kReports));
    EXPECT_TRUE(window->isVisible());
    // The list view of the whole batch follows.
    ASSERT_EQ(model().rowCount(), kReports);
    EXPECT_EQ(model().columnCount(), 5);
    EXPECT_EQ(model().index(kReports - 1, 1).data().toString(),
              QString::number(20000000 + kReports - 1));

    // Yes after the batch ended while asking closes at once and arms nothing.
    start_batch();
    wait_for_rows(1);

    // The batch ends while the question is open.
    prompts.on_question = [&] { EXPECT_TRUE(wait_until([&] { return !running(); })); };
    prompts.answer = true;
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());

    // The next batch ends without closing the window.
    prompts.on_question = {};
    window->show();
    start_batch();
    ASSERT_TRUE(wait_until([&] { return !running(); }));
    process_events();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts.questions.size(), 2u);

    // A batch started while the list is shown keeps its report list.
    // Alt+S then Alt+O: the second button's delayed click lands while the
    // first command repaints.
    QTimer::singleShot(0, [&] { action("mnuRep_Orvella")->trigger(); });
    action("mnuRep_Show")->trigger();
    ASSERT_TRUE(wait_until([&] { return !running(); }));
    EXPECT_EQ(sys->Rep_FileCount(), kReports);
    EXPECT_EQ(model().rowCount(), kReports);

    // Yes while it runs stops the batch, then closes; asking once.
    QDir(html).removeRecursively();
    QDir().mkpath(html);
    start_batch();
    wait_for_rows(1);
    prompts.questions.clear();
    EXPECT_FALSE(window->close());  // not yet: the entries in flight finish first
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompts.questions.size(), 1u);
    ASSERT_TRUE(wait_until([&] { return !window->isVisible(); }));
    EXPECT_FALSE(running());
    expect_stopped_batch();
}

}  // namespace
}  // namespace quillet::test
