// A batch that converts the entries of the report list on several worker
// threads, with exactly the outcome of the one-at-a-time batch
// (ReportConverter::pr_Convert_Report_List): the same documents byte for byte,
// the same comments, and the entries delivered in list order.
//
// How the order is kept:
// - The entries are handed to the workers in list order. Each worker reads its
//   entry's source and works out the destination on its own, then, strictly in
//   list order, makes sure the sub-folder exists (so a new student folder is
//   created once, by the first entry that names it) and registers the
//   document's path.
// - An entry whose document path (letter case ignored) was already named by an
//   earlier entry waits until that entry is done, so the later entry still
//   sees, and replaces, the earlier one's document.
// - With the "ask" policy the overwrite question is asked by the owner thread
//   (the one that calls pump() or run()), one at a time, in list order, once
//   every entry before it has been delivered; entries that need no answer go
//   on meanwhile.
// - Finished entries are delivered by the owner thread in list order: their
//   fields are written back into the settings object and entry_done(index) is
//   called. Workers never touch the settings object's report list: they work
//   on copies taken when the batch is made, so the owner may read the list
//   (and append to it) while the batch runs. They read the settings (folders,
//   policy) as they were when the batch was made.
//
// Cancelling lets the entries in flight finish; the entries never started get
// the comment kBatchCancelled and keep no document. A failure in one entry,
// exception included, ends that entry only.
#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "report_conversion.h"

namespace quillet {

inline const QString kBatchCancelled = QStringLiteral("Not converted: the batch was cancelled.");

// The number of worker threads a batch uses when none is asked for: one per core.
int default_batch_jobs();
// 1..Rep_FileCount: every entry of the report list.
std::vector<int> report_list_indexes(const cSys_vars& sys);

class ParallelBatch {
public:
    using EntryDone = std::function<void(int index)>;

    // A batch of the entries indexes of sys (1-based, in list order), or of all
    // entries 1..Rep_FileCount. jobs: worker threads; 0 or less: one per core.
    ParallelBatch(cSys_vars& sys, std::vector<int> indexes, int jobs = 0,
                  const SectionHeadingTable& headings = standard_section_headings());
    explicit ParallelBatch(cSys_vars& sys, int jobs = 0,
                           const SectionHeadingTable& headings = standard_section_headings());
    // Cancels, answers an open question No and waits for the workers. Call
    // cancel() and pump() to the end first to keep every outcome.
    ~ParallelBatch();
    ParallelBatch(const ParallelBatch&) = delete;
    ParallelBatch& operator=(const ParallelBatch&) = delete;

    // Called on a worker thread (or in cancel()) when pump() has something
    // to do. Must be cheap and thread-safe; calls are coalesced until the next
    // pump(). Set before start().
    void set_wakeup(std::function<void()> wakeup);
    // Starts the workers. Once only.
    void start();
    // Any thread: no entry starts from now on.
    void cancel();
    bool cancel_requested() const { return cancel_.load(); }

    // Owner thread: asks an open overwrite question through question, and
    // delivers the entries finished so far in list order, for at most budget
    // (then wakeup is called again when there is more). Returns true once
    // every entry has been delivered. Once cancelled, the entries that never
    // started are all delivered in one call, whatever the budget. A call made
    // while an earlier one is still running (a question's nested event loop)
    // does nothing.
    bool pump(OverwriteQuestion& question, const EntryDone& entry_done,
              std::chrono::milliseconds budget = std::chrono::milliseconds::max());
    // Owner thread: starts the batch when not yet started and pumps until
    // every entry has been delivered.
    void run(OverwriteQuestion& question, const EntryDone& entry_done = {});

    int size() const { return static_cast<int>(slots_.size()); }
    int jobs() const { return jobs_; }
    // Entries delivered so far (owner thread).
    int delivered() const { return next_delivery_; }
    bool finished() const { return next_delivery_ == size(); }

private:
    enum class Stage { waiting, claimed, done };
    struct Slot {
        int index = 0;  // the entry's number in the report list
        ReportEntry entry;
        Stage stage = Stage::waiting;
        bool past_question = false;  // will not ask, or has asked
    };
    struct Question {
        int position = 0;
        QString title, text;
        std::optional<bool> answer;
    };
    class TurnQuestion;

    void work();
    void convert(ReportConverter& converter, int position);
    bool ask_in_turn(int position, const QString& title, const QString& text);
    // Under the lock.
    void mark_past_question(int position);
    bool question_due() const;
    bool owner_has_work() const;
    bool owner_wait_over() const;
    // Wakes the owner's pump (wakeup) and, when asked, an owner waiting in run().
    void notify_owner(bool wake_waiting_owner = true);

    // run() delivers finished entries when this many wait, a question or a
    // cancel is pending, or the batch is done; else at the latest every tick.
    static constexpr int kDeliveryRun = 64;
    static constexpr std::chrono::milliseconds kDeliveryTick{50};

    cSys_vars& sys_;
    const SectionHeadingTable& headings_;
    const int jobs_;
    const FilingSettings settings_;  // as they were when the batch was made
    std::shared_ptr<ReportFolders> folders_ = std::make_shared<ReportFolders>();
    // The documents written go to the text index (made when the batch starts).
    std::shared_ptr<DocumentIndexFeed> index_feed_;
    std::function<void()> wakeup_;

    std::mutex mutex_;
    std::condition_variable workers_cv_;
    std::condition_variable owner_cv_;
    std::vector<Slot> slots_;
    int next_claim_ = 0;     // the next position handed to a worker
    int placed_upto_ = 0;    // positions before this have registered their document
    int asked_upto_ = 0;     // positions before this are past their question
    int next_delivery_ = 0;  // the next position the owner delivers
    int done_count_ = 0;     // entries done, delivered or not
    // Document path (lower-cased) -> the last position that registered it.
    QHash<QString, int> last_of_document_;
    std::optional<Question> question_;
    bool abandoned_ = false;  // the destructor answers every question No
    std::atomic<bool> cancel_{false};
    std::atomic<bool> wakeup_pending_{false};
    bool pumping_ = false;
    bool started_ = false;
    std::vector<std::jthread> workers_;
};

// Converts entries 1..Rep_FileCount of sys with jobs workers (0: one per core)
// and calls entry_done(index) in list order. jobs == 1 is the one-at-a-time
// ReportConverter::pr_Convert_Report_List on the calling thread.
void pr_Convert_Report_List(cSys_vars& sys, OverwriteQuestion& question, int jobs,
                            const std::function<void(int)>& entry_done = {});

}  // namespace quillet
