#include "parallel_batch.h"

#include <QThread>
#include <algorithm>
#include <exception>
#include <numeric>
#include <utility>

namespace quillet {

namespace {

// Runs one step of an entry; a failure ends the entry with its description.
template <typename Step>
bool guarded(ReportEntry& entry, Step&& step) {
    try {
        return step();
    } catch (const std::exception& error) {
        ReportConverter::fail_entry(entry, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ReportConverter::fail_entry(entry, QStringLiteral("The report could not be converted."));
    }
    return false;
}

}  // namespace

std::vector<int> report_list_indexes(const cSys_vars& sys) {
    std::vector<int> indexes(static_cast<std::size_t>(std::max(0, sys.Rep_FileCount())));
    std::iota(indexes.begin(), indexes.end(), 1);
    return indexes;
}

int default_batch_jobs() {
    return std::max(1, QThread::idealThreadCount());
}

// The overwrite question of one worker: asked through the owner, in turn.
class ParallelBatch::TurnQuestion final : public OverwriteQuestion {
public:
    explicit TurnQuestion(ParallelBatch& batch) : batch_(batch) {}
    bool ask(const QString& title, const QString& text) override {
        return batch_.ask_in_turn(position, title, text);
    }
    int position = 0;

private:
    ParallelBatch& batch_;
};

ParallelBatch::ParallelBatch(cSys_vars& sys, std::vector<int> indexes, int jobs,
                             const SectionHeadingTable& headings)
    : sys_(sys),
      headings_(headings),
      jobs_(jobs > 0 ? jobs : default_batch_jobs()),
      settings_(FilingSettings::of(sys)) {
    slots_.resize(indexes.size());
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        slots_[i].index = indexes[i];
        slots_[i].entry = sys.entry(indexes[i]);
    }
}

ParallelBatch::ParallelBatch(cSys_vars& sys, int jobs, const SectionHeadingTable& headings)
    : ParallelBatch(sys, report_list_indexes(sys), jobs, headings) {}

ParallelBatch::~ParallelBatch() {
    {
        const std::lock_guard lock(mutex_);
        cancel_ = true;
        abandoned_ = true;
    }
    workers_cv_.notify_all();
    workers_.clear();  // joins
}

void ParallelBatch::set_wakeup(std::function<void()> wakeup) {
    wakeup_ = std::move(wakeup);
}

void ParallelBatch::start() {
    if (started_) {
        return;
    }
    started_ = true;
    const int count = std::min(jobs_, size());
    if (count > 0) {
        index_feed_ = std::make_shared<DocumentIndexFeed>(settings_.Path_HTMLReports);
    }
    workers_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

void ParallelBatch::cancel() {
    {
        const std::lock_guard lock(mutex_);
        cancel_ = true;
    }
    notify_owner();
}

void ParallelBatch::notify_owner(bool wake_waiting_owner) {
    if (wake_waiting_owner) {
        owner_cv_.notify_all();
    }
    if (!wakeup_pending_.exchange(true) && wakeup_) {
        wakeup_();
    }
}

void ParallelBatch::mark_past_question(int position) {
    slots_[static_cast<std::size_t>(position)].past_question = true;
    while (asked_upto_ < size() && slots_[static_cast<std::size_t>(asked_upto_)].past_question) {
        ++asked_upto_;
    }
}

bool ParallelBatch::question_due() const {
    // The entries before the question's are seen before it is asked.
    return question_ && !question_->answer && question_->position == next_delivery_;
}

bool ParallelBatch::owner_has_work() const {
    if (question_due() || next_delivery_ >= size()) {
        return true;
    }
    return slots_[static_cast<std::size_t>(next_delivery_)].stage == Stage::done ||
           (cancel_ && next_delivery_ >= next_claim_);
}

bool ParallelBatch::owner_wait_over() const {
    // Finished entries are delivered a run at a time (or at the owner's next
    // tick): waking the owner for each one would cost two switches of
    // threads per entry.
    return owner_has_work() && (question_ || cancel_ || done_count_ == size() ||
                                done_count_ - next_delivery_ >= kDeliveryRun);
}

void ParallelBatch::work() {
    TurnQuestion question(*this);
    ReportConverter converter(sys_, question, headings_, folders_, settings_);
    converter.set_index_feed(index_feed_);
    for (;;) {
        int position = 0;
        {
            const std::lock_guard lock(mutex_);
            if (cancel_ || next_claim_ >= size()) {
                break;
            }
            position = next_claim_++;
            slots_[static_cast<std::size_t>(position)].stage = Stage::claimed;
        }
        question.position = position;
        convert(converter, position);
    }
    // The entries never started can now be delivered as cancelled.
    notify_owner();
}

void ParallelBatch::convert(ReportConverter& converter, int position) {
    Slot& slot = slots_[static_cast<std::size_t>(position)];
    ReportEntry& entry = slot.entry;
    entry.Rep_Converted = false;

    // Reading the source and naming the document need no order.
    const bool resolved = guarded(entry, [&] {
        if (converter.resolve_entry(entry)) {
            return true;
        }
        entry.Rep_DestinationFilename.clear();
        return false;
    });

    // Folders and documents are claimed in list order.
    {
        std::unique_lock lock(mutex_);
        workers_cv_.wait(lock, [&] { return placed_upto_ == position; });
    }
    std::optional<QString> destination;
    if (resolved) {
        guarded(entry, [&] {
            destination = converter.place_entry(entry);
            return true;
        });
    }
    const bool writes = destination && !destination->isEmpty();
    int predecessor = -1;
    {
        const std::lock_guard lock(mutex_);
        if (writes) {
            int& last = last_of_document_[destination->toLower()];
            predecessor = last - 1;
            last = position + 1;
        }
        placed_upto_ = position + 1;
    }
    workers_cv_.notify_all();

    if (writes) {
        if (predecessor >= 0) {
            // The earlier entry of the same document writes first.
            std::unique_lock lock(mutex_);
            workers_cv_.wait(lock, [&] {
                return slots_[static_cast<std::size_t>(predecessor)].stage == Stage::done;
            });
        }
        guarded(entry, [&] {
            converter.convert_entry(entry, *destination);
            return true;
        });
    }
    converter.forget_source();

    bool owner_due = false;
    {
        const std::lock_guard lock(mutex_);
        slot.stage = Stage::done;
        ++done_count_;
        mark_past_question(position);
        owner_due = owner_wait_over();
    }
    workers_cv_.notify_all();
    notify_owner(owner_due);
}

bool ParallelBatch::ask_in_turn(int position, const QString& title, const QString& text) {
    std::unique_lock lock(mutex_);
    workers_cv_.wait(lock, [&] { return asked_upto_ >= position || abandoned_; });
    bool yes = false;
    if (!abandoned_) {
        question_ = Question{position, title, text, std::nullopt};
        lock.unlock();
        notify_owner();
        lock.lock();
        workers_cv_.wait(lock, [&] { return question_->answer.has_value() || abandoned_; });
        yes = !abandoned_ && *question_->answer;
        question_.reset();
    }
    mark_past_question(position);
    lock.unlock();
    workers_cv_.notify_all();
    return yes;
}

bool ParallelBatch::pump(OverwriteQuestion& question, const EntryDone& entry_done,
                         std::chrono::milliseconds budget) {
    if (pumping_) {
        return finished();
    }
    pumping_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{pumping_};
    wakeup_pending_ = false;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (;;) {
        std::unique_lock lock(mutex_);
        if (question_due()) {
            const QString title = question_->title;
            const QString text = question_->text;
            lock.unlock();
            const bool yes = question.ask(title, text);
            lock.lock();
            question_->answer = yes;
            lock.unlock();
            workers_cv_.notify_all();
            continue;
        }
        if (next_delivery_ >= size()) {
            return true;
        }
        Slot& slot = slots_[static_cast<std::size_t>(next_delivery_)];
        if (slot.stage != Stage::done) {
            if (!cancel_ || next_delivery_ < next_claim_) {
                // A worker that finishes from now on wakes the owner again.
                wakeup_pending_ = false;
                return false;
            }
            // Never started, and never will be: these and every entry after
            // them are marked and delivered in this one turn.
            ReportConverter::fail_entry(slot.entry, kBatchCancelled);
            slot.stage = Stage::done;
            ++done_count_;
            mark_past_question(next_delivery_);
            budget = std::chrono::milliseconds::max();
        }
        ReportEntry result = std::move(slot.entry);
        const int index = slot.index;
        ++next_delivery_;
        lock.unlock();

        if (index >= 1 && index <= sys_.Rep_FileCount()) {
            sys_.entry(index) = std::move(result);
        }
        if (entry_done) {
            entry_done(index);
        }
        // In the budget's own unit: a budget of milliseconds::max() would
        // overflow as nanoseconds.
        const auto spent =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        if (spent >= budget && !finished()) {
            // Come back for the rest after the caller has had its turn.
            wakeup_pending_ = true;
            if (wakeup_) {
                wakeup_();
            }
            return false;
        }
    }
}

void ParallelBatch::run(OverwriteQuestion& question, const EntryDone& entry_done) {
    start();
    while (!pump(question, entry_done)) {
        std::unique_lock lock(mutex_);
        owner_cv_.wait_for(lock, kDeliveryTick, [&] { return owner_wait_over(); });
    }
}

void pr_Convert_Report_List(cSys_vars& sys, OverwriteQuestion& question, int jobs,
                            const std::function<void(int)>& entry_done) {
    if (jobs == 1) {
        ReportConverter converter(sys, question);
        converter.pr_Convert_Report_List(entry_done);
        return;
    }
    ParallelBatch batch(sys, jobs);
    batch.run(question, entry_done);
}

}  // namespace quillet
