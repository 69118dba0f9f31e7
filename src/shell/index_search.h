// The text index of the documents, brought up to date and searched off the
// user-interface thread. One request runs at a time, on a thread of its own
// with its own DocumentIndex; a request made meanwhile waits for it and
// replaces any request that was already waiting, so only the latest query is
// answered.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "document_index.h"

class QThread;

namespace quillet {

class IndexSearch final : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        QString query;
        std::vector<SearchHit> hits;
        QString error;  // one line: a malformed query, or an index that could not be used
        bool cancelled = false;
    };

    explicit IndexSearch(QObject* parent = nullptr);
    // Stops a refresh under way and waits for its thread.
    ~IndexSearch() override;

    // Brings the index of html_folder up to date, then searches it for query
    // (unless query is blank) and answers with at most limit documents.
    void request(const QString& html_folder, const QString& query, int limit);
    // Stops the refresh under way (what it has read stays in the index) and
    // drops the waiting request.
    void cancel();
    bool busy() const { return thread_ != nullptr; }

Q_SIGNALS:
    // How far a refresh is; full when it reads every document.
    void progress(qint64 done, qint64 total, bool full);
    // The answer to the latest request.
    void finished(const quillet::IndexSearch::Outcome& outcome);

private:
    struct Job;
    struct Request {
        QString folder;
        QString query;
        int limit = 0;
    };
    void start(Request request);
    void run(Job& job);
    void on_thread_finished();

    std::shared_ptr<Job> job_;
    QThread* thread_ = nullptr;
    std::optional<Request> waiting_;
};

}  // namespace quillet
