#include "batch_runner.h"

#include <chrono>
#include <utility>

namespace quillet {

namespace {
// The longest the owner's thread spends delivering entries in one turn.
constexpr std::chrono::milliseconds kDeliveryBudget{8};
}  // namespace

BatchRunner::BatchRunner(cSys_vars& sys, std::vector<int> indexes, OverwriteQuestion& question,
                         int jobs, QObject* parent)
    : QObject(parent),
      batch_(std::make_unique<ParallelBatch>(sys, std::move(indexes), jobs)),
      question_(question) {
    batch_->set_wakeup([this] {
        QMetaObject::invokeMethod(this, [this] { pump(); }, Qt::QueuedConnection);
    });
}

BatchRunner::BatchRunner(cSys_vars& sys, OverwriteQuestion& question, int jobs, QObject* parent)
    : BatchRunner(sys, report_list_indexes(sys), question, jobs, parent) {}

BatchRunner::~BatchRunner() {
    batch_.reset();
}

void BatchRunner::start() {
    if (started_) {
        return;
    }
    started_ = true;
    batch_->start();
    // An empty batch finishes at once, but never inside start().
    QMetaObject::invokeMethod(this, [this] { pump(); }, Qt::QueuedConnection);
}

void BatchRunner::cancel() {
    if (running()) {
        batch_->cancel();
    }
}

void BatchRunner::pump() {
    if (done_ || !started_) {
        return;
    }
    const bool all_delivered = batch_->pump(
        question_, [this](int index) { Q_EMIT entryDone(index); }, kDeliveryBudget);
    if (all_delivered && !done_) {
        done_ = true;
        Q_EMIT finished(batch_->cancel_requested());
    }
}

}  // namespace quillet
