#include "document_index_feed.h"

#include <QFileInfo>
#include <chrono>
#include <exception>
#include <optional>

#include "document_index.h"

namespace quillet {

namespace {
// How long the writer lets paths gather before a transaction.
constexpr std::chrono::milliseconds kGather{100};
}  // namespace

DocumentIndexFeed::DocumentIndexFeed(QString html_folder)
    : html_folder_(std::move(html_folder)), writer_([this] { write(); }) {}

DocumentIndexFeed::~DocumentIndexFeed() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    writer_.join();
}

void DocumentIndexFeed::add(const QString& path) {
    bool first = false;
    {
        const std::lock_guard lock(mutex_);
        first = pending_.isEmpty();
        pending_.append(path);
    }
    // The writer waits for the first path of a gathering only; waking it for
    // each later one would cost a switch of threads per document.
    if (first) {
        wake_.notify_all();
    }
}

void DocumentIndexFeed::write() {
    std::optional<DocumentIndex> index;
    for (;;) {
        QStringList paths;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !pending_.isEmpty(); });
            if (!stopping_) {
                wake_.wait_for(lock, kGather, [&] { return stopping_; });
            }
            paths.swap(pending_);
            if (paths.isEmpty() && stopping_) {
                return;
            }
        }
        try {
            if (!index) {
                if (!QFileInfo::exists(DocumentIndex::location_for(html_folder_))) {
                    continue;  // the first search builds it
                }
                index.emplace(html_folder_);
            }
            index->update_documents(paths);
        } catch (const std::exception&) {
            // A cache: the next search reads what is missing.
        }
    }
}

}  // namespace quillet
