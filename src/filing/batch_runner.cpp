#include "batch_runner.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>
#include <utility>

#include <sys/eventfd.h>
#include <unistd.h>

namespace quillet {

namespace {
// The longest the owner's thread spends delivering entries in one turn.
constexpr std::chrono::milliseconds kDeliveryBudget{8};
}  // namespace

BatchRunner::BatchRunner(cSys_vars& sys, std::vector<int> indexes, OverwriteQuestion& question,
                         int jobs, QObject* parent)
    : QObject(parent),
      wakeup_fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      batch_(std::make_unique<ParallelBatch>(sys, std::move(indexes), jobs)),
      question_(question) {
    if (wakeup_fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    notifier_ = new QSocketNotifier(static_cast<qintptr>(wakeup_fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { woken(false); });
    paced_ = new QTimer(this);
    paced_->setSingleShot(true);
    connect(paced_, &QTimer::timeout, this, [this] { woken(true); });
    batch_->set_wakeup([fd = wakeup_fd_] {
        const std::uint64_t one = 1;
        while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
        }
    });
}

BatchRunner::BatchRunner(cSys_vars& sys, OverwriteQuestion& question, int jobs, QObject* parent)
    : BatchRunner(sys, report_list_indexes(sys), question, jobs, parent) {}

BatchRunner::~BatchRunner() {
    batch_.reset();  // the workers are gone before the counter is closed
    delete notifier_;
    ::close(wakeup_fd_);
}

void BatchRunner::woken(bool by_timer) {
    std::uint64_t count = 0;
    ssize_t got = 0;
    while ((got = ::read(wakeup_fd_, &count, sizeof count)) < 0 && errno == EINTR) {
    }
    const bool wakeups = got == static_cast<ssize_t>(sizeof count) && count > 0;
    if (pace_.count() > 0 && !done_) {
        if (by_timer && !wakeups) {
            notifier_->setEnabled(true);  // idle: the next wake-up is seen at once
            return;
        }
        // Until the next turn, the workers' wake-ups add up in the counter.
        notifier_->setEnabled(false);
        paced_->start(pace_);
    }
    pump();
}

void BatchRunner::start() {
    if (started_) {
        return;
    }
    started_ = true;
    batch_->start();
    // An empty batch finishes at once, but never inside start().
    QMetaObject::invokeMethod(this, &BatchRunner::pump, Qt::QueuedConnection);
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
