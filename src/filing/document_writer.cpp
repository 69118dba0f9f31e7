#include "document_writer.h"

#include <algorithm>
#include <utility>

namespace quillet {

DocumentWriter::DocumentWriter(AtomicFile& file, std::size_t direct_bytes,
                               std::size_t queued_bytes)
    : file_(file),
      direct_bytes_(direct_bytes),
      block_bytes_(std::max<std::size_t>(queued_bytes / 4, 1)),
      queued_limit_(queued_bytes) {}

DocumentWriter::~DocumentWriter() {
    stop();
}

void DocumentWriter::stop() {
    if (!writer_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        for (const std::string& block : queue_) {
            queued_ -= block.size();
        }
        queue_.clear();
    }
    changed_.notify_all();
    writer_.join();
}

void DocumentWriter::write(std::string_view bytes) {
    if (!writer_.joinable()) {
        if (written_directly_ + bytes.size() <= direct_bytes_) {
            if (!file_.write(bytes)) {
                error_ = file_.error();
                throw WriteFailure(error_.toStdString());
            }
            written_directly_ += bytes.size();
            return;
        }
        // A large document: the disk takes the rest on a thread of its own.
        writer_ = std::thread([this] { write_behind(); });
    }
    while (!bytes.empty()) {
        if (block_.capacity() < block_bytes_) {
            block_.reserve(block_bytes_);
        }
        const std::size_t room = block_bytes_ - block_.size();
        const std::size_t take = std::min(room, bytes.size());
        block_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (block_.size() == block_bytes_) {
            hand_over();
        }
    }
}

void DocumentWriter::hand_over() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return failed_ || queued_ + block_.size() <= queued_limit_; });
    if (failed_) {
        throw WriteFailure(error_.toStdString());
    }
    queued_ += block_.size();
    queue_.push_back(std::move(block_));
    if (!spare_.empty()) {
        block_ = std::move(spare_.back());
        spare_.pop_back();
    } else {
        block_ = std::string();
    }
    block_.clear();
    lock.unlock();
    changed_.notify_all();
}

void DocumentWriter::write_behind() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return closing_ || !queue_.empty(); });
        if (queue_.empty() || failed_) {
            return;  // closing with nothing left, or nothing more to do
        }
        std::string block = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        const bool written = file_.write(block);
        lock.lock();
        queued_ -= block.size();
        block.clear();
        spare_.push_back(std::move(block));
        if (!written) {
            failed_ = true;
            error_ = file_.error();
        }
        changed_.notify_all();
    }
}

bool DocumentWriter::finish() {
    if (!writer_.joinable()) {
        return error_.isEmpty();
    }
    if (!block_.empty()) {
        try {
            hand_over();
        } catch (const WriteFailure&) {
            stop();
            return false;
        }
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return failed_ || queue_.empty(); });
    }
    stop();
    return !failed_;
}

}  // namespace quillet
