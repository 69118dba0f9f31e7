// A conversion batch in the main window: the entries are converted on worker
// threads while the window stays responsive. Rows come in list order through
// entriesDone(), a few at a time (at most every kRowIntervalMs, and at once
// before a question and at the end); a progress bar and a "Cancel" button stand in the status bar
// while it runs, and Esc cancels too; the commands that would change the
// report list are disabled meanwhile. The overwrite question is asked by the
// window, one at a time, in list order.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

#include "user_prompts.h"

class QMainWindow;
class QProgressBar;
class QPushButton;
class QShortcut;

namespace quillet {

class BatchRunner;
class cSys_vars;

inline const QString kStopBatchQuestion = QStringLiteral(
    "Reports are still being converted.\n"
    "Stop converting and quit? The reports in progress are finished first.");

class WindowBatch final : public QObject {
    Q_OBJECT
public:
    // Puts the progress bar and the Cancel button into window's status bar.
    // commands are disabled while a batch runs (QAction or QWidget objects).
    WindowBatch(cSys_vars& sys, UserPrompts& prompts, QMainWindow& window,
                QList<QObject*> commands);
    ~WindowBatch() override;

    // Converts the entries indexes of the report list (all of it when empty).
    // Does nothing while a batch runs.
    void start(std::vector<int> indexes = {});
    bool running() const;
    // Stops the batch once the entries in flight are finished; the entries
    // never started are all marked cancelled at once.
    void cancel();
    // The window is asked to close. While a batch runs, asks whether to stop
    // it and quit: Yes cancels and closes the window when the batch is over,
    // or lets it close at once when the batch ended while the question was
    // open. True when the window may close now.
    bool allow_close();
    // Jobs of the next batch; 0 (the default): one per core.
    void set_jobs(int jobs) { jobs_ = jobs; }

    // The longest rows wait before they are passed on.
    static constexpr int kRowIntervalMs = 40;
    // The event loop turns to the batch at most this often.
    static constexpr int kTurnIntervalMs = 10;

Q_SIGNALS:
    // Entries of the report list that hold their outcome, in list order.
    void entriesDone(const QList<int>& indexes);
    // After the last entriesDone(); cancelled when it was stopped.
    void finished(bool cancelled);

private:
    class FlushingQuestion;
    void set_running(bool running);
    void on_finished(bool cancelled);
    // Passes on the entries delivered so far.
    void flush();

    cSys_vars& sys_;
    UserPrompts& prompts_;
    QMainWindow& window_;
    QList<QPointer<QObject>> commands_;
    std::unique_ptr<OverwriteQuestion> question_;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QShortcut* escape_ = nullptr;
    BatchRunner* runner_ = nullptr;
    QList<int> done_;  // delivered by the runner, not yet passed on
    QTimer flush_timer_;
    int jobs_ = 0;
    bool asking_to_close_ = false;
    bool close_when_done_ = false;  // only while the batch it was set for runs
};

}  // namespace quillet
