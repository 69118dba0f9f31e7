#include "index_search.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <utility>

namespace quillet {

namespace {

// Progress is told at most this often.
constexpr qint64 kProgressIntervalMs = 50;

QString first_line(const QString& text) {
    return text.section(u'\n', 0, 0).trimmed();
}

}  // namespace

struct IndexSearch::Job {
    Request request;
    std::atomic<bool> cancelled{false};
    Outcome outcome;  // written by the job's thread, read once it has finished
};

IndexSearch::IndexSearch(QObject* parent) : QObject(parent) {}

IndexSearch::~IndexSearch() {
    cancel();
    if (thread_ != nullptr) {
        thread_->wait();
        delete thread_;
    }
}

void IndexSearch::request(const QString& html_folder, const QString& query, int limit) {
    Request request{html_folder, query, limit};
    if (busy()) {
        waiting_ = std::move(request);
        return;
    }
    start(std::move(request));
}

void IndexSearch::cancel() {
    waiting_.reset();
    if (job_ != nullptr) {
        job_->cancelled = true;
    }
}

void IndexSearch::start(Request request) {
    job_ = std::make_shared<Job>();
    job_->request = std::move(request);
    job_->outcome.query = job_->request.query;
    thread_ = QThread::create([this, job = job_] { run(*job); });
    thread_->setObjectName(QStringLiteral("indexSearch"));
    connect(thread_, &QThread::finished, this, &IndexSearch::on_thread_finished);
    thread_->start(QThread::LowPriority);
}

void IndexSearch::run(Job& job) {
    Outcome& outcome = job.outcome;
    DocumentIndex index(job.request.folder);
    if (!index.ok()) {
        outcome.error = first_line(index.error());
        return;
    }
    const bool full = index.needs_full_build();
    QElapsedTimer clock;
    clock.start();
    qint64 told = -kProgressIntervalMs;
    const bool refreshed = index.refresh([&](qint64 done, qint64 total) {
        if (clock.elapsed() - told >= kProgressIntervalMs || done == total) {
            told = clock.elapsed();
            QMetaObject::invokeMethod(
                this, [this, done, total, full] { Q_EMIT progress(done, total, full); },
                Qt::QueuedConnection);
        }
        return !job.cancelled.load();
    });
    if (job.cancelled.load()) {
        outcome.cancelled = true;
        return;
    }
    if (!refreshed) {
        outcome.error = first_line(index.error());
        return;
    }
    if (!job.request.query.trimmed().isEmpty()) {
        SearchResult result = index.search(job.request.query, job.request.limit);
        outcome.hits = std::move(result.hits);
        outcome.error = first_line(result.error);
    }
}

void IndexSearch::on_thread_finished() {
    thread_->deleteLater();
    thread_ = nullptr;
    const std::shared_ptr<Job> job = std::exchange(job_, nullptr);
    if (waiting_) {
        // A later request stands in for this one's answer.
        start(*std::exchange(waiting_, std::nullopt));
        return;
    }
    Q_EMIT finished(job->outcome);
}

}  // namespace quillet
