// The engine's output on its way into a document. A small document is
// written as the engine hands it over; once a document grows large, its
// bytes go through a bounded queue to a thread of their own, so that the
// engine converts the next part while the disk takes the last one.
#pragma once

#include <QString>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "atomic_file.h"
#include "report_engine.h"

namespace quillet {

// What a failed write throws into the engine, which then stops.
class WriteFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class DocumentWriter final : public HtmlSink {
public:
    // direct_bytes: written straight away before the writer thread starts;
    // queued_bytes: at most this much waits for the disk.
    explicit DocumentWriter(AtomicFile& file, std::size_t direct_bytes = 2 * 1024 * 1024,
                            std::size_t queued_bytes = 4 * 1024 * 1024);
    // Stops the writer thread; bytes not yet written are dropped.
    ~DocumentWriter() override;
    DocumentWriter(const DocumentWriter&) = delete;
    DocumentWriter& operator=(const DocumentWriter&) = delete;

    // Throws WriteFailure once a write has failed.
    void write(std::string_view bytes) override;
    // Waits until every byte is in the file. False when a write failed
    // (the reason in error()).
    bool finish();
    const QString& error() const { return error_; }

private:
    void write_behind();
    void hand_over();  // queues block_
    void stop();

    AtomicFile& file_;
    const std::size_t direct_bytes_;
    const std::size_t block_bytes_;
    const std::size_t queued_limit_;
    std::size_t written_directly_ = 0;
    std::string block_;  // bytes gathered for the writer thread

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queue_;
    std::vector<std::string> spare_;  // emptied blocks, reused
    std::size_t queued_ = 0;
    bool closing_ = false;
    bool failed_ = false;
    QString error_;
    std::thread writer_;
};

}  // namespace quillet
