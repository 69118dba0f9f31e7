// A parallel batch for a program with an event loop (the desktop program, the
// watch mode): the workers convert, and this object's thread, never blocked,
// receives the entries in list order and answers the overwrite question.
//
//   BatchRunner runner(sys, question);          // entries 1..Rep_FileCount
//   connect(&runner, &BatchRunner::entryDone, ...);   // index, in list order
//   connect(&runner, &BatchRunner::finished, ...);
//   runner.start();
//   ...  runner.cancel();  // the entries in flight finish; the rest are
//                          // delivered with the comment kBatchCancelled
//
// entryDone(n) is emitted once entry n of the settings object holds its
// outcome. question is asked on this object's thread, one question at a time,
// in list order. finished() comes after the last entryDone(). Slots connected
// to these signals must not delete the runner (use deleteLater()).
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

#include "parallel_batch.h"

namespace quillet {

// The workers wake this object's thread through an event counter that a
// socket notifier watches: they share no memory with the event loop.
class BatchRunner final : public QObject {
    Q_OBJECT
public:
    // A batch of the entries indexes of sys (in list order); jobs as for
    // ParallelBatch. question must outlive the batch.
    BatchRunner(cSys_vars& sys, std::vector<int> indexes, OverwriteQuestion& question, int jobs = 0,
                QObject* parent = nullptr);
    // A batch of every entry of the report list.
    BatchRunner(cSys_vars& sys, OverwriteQuestion& question, int jobs = 0,
                QObject* parent = nullptr);
    // Cancels and waits for the entries in flight, without delivering them.
    ~BatchRunner() override;

    // The owner's thread turns to the batch at most once every pace (0, the
    // default: whenever a worker has something for it), so that a fast batch
    // does not wake it for every entry. Set before start().
    void set_pace(std::chrono::milliseconds pace) { pace_ = pace; }
    void start();
    bool running() const { return started_ && !done_; }
    bool is_finished() const { return done_; }
    bool cancel_requested() const { return batch_->cancel_requested(); }
    int size() const { return batch_->size(); }
    int delivered() const { return batch_->delivered(); }
    int jobs() const { return batch_->jobs(); }

public Q_SLOTS:
    // No entry starts from now on.
    void cancel();

Q_SIGNALS:
    void entryDone(int index);
    void finished(bool cancelled);

private:
    void pump();

    // A wake-up from the workers, or the paced turn (by_timer).
    void woken(bool by_timer);

    int wakeup_fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* paced_ = nullptr;  // the next turn, when paced
    std::chrono::milliseconds pace_{0};
    std::unique_ptr<ParallelBatch> batch_;
    OverwriteQuestion& question_;
    bool started_ = false;
    bool done_ = false;
};

}  // namespace quillet
