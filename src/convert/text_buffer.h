// A growing run of bytes that the document writers append to. Appending is
// inline: most pieces are short tags, and a call per piece would cost more
// than the copy. The memory is kept while the buffer lives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace quillet {

class TextBuffer {
public:
    void append(std::string_view text) {
        if (text.size() > capacity_ - size_) {
            grow(text.size());
        }
        if (!text.empty()) {
            std::memcpy(data_.get() + size_, text.data(), text.size());
        }
        size_ += text.size();
    }
    // count copies of c.
    void append(std::size_t count, char c) {
        if (count > capacity_ - size_) {
            grow(count);
        }
        if (count > 0) {
            std::memset(data_.get() + size_, c, count);
        }
        size_ += count;
    }
    // The first count bytes of bytes. All N are copied and the rest left
    // past the end: a copy of one fixed size costs less than one of a size
    // that varies.
    template <std::size_t N>
    void append_first(const std::array<char, N>& bytes, std::size_t count) {
        if (N > capacity_ - size_) {
            grow(N);
        }
        std::memcpy(data_.get() + size_, bytes.data(), N);
        size_ += count;
    }
    // text, which lies in bytes that may all be read: a short text is copied
    // as a whole block of a fixed size, as append_first does.
    void append_from(std::string_view text, std::string_view readable) {
        constexpr std::size_t kBlock = 64;
        const auto at = reinterpret_cast<std::uintptr_t>(text.data());
        const auto begin = reinterpret_cast<std::uintptr_t>(readable.data());
        if (text.size() <= kBlock && at >= begin && readable.size() >= kBlock &&
            at - begin <= readable.size() - kBlock && capacity_ - size_ >= kBlock) {
            std::memcpy(data_.get() + size_, text.data(), kBlock);
            size_ += text.size();
            return;
        }
        append(text);
    }
    TextBuffer& operator+=(std::string_view text) {
        append(text);
        return *this;
    }
    TextBuffer& operator+=(char c) {
        append(std::string_view(&c, 1));
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }
    // Drops the bytes from size on.
    void truncate(std::size_t size) {
        if (size < size_) {
            size_ = size;
        }
    }
    // Drops the first count bytes.
    void erase_front(std::size_t count);
    void reserve(std::size_t capacity) {
        if (capacity > capacity_) {
            grow(capacity - size_);
        }
    }

    std::string_view view() const { return {data_.get(), size_}; }
    operator std::string_view() const { return view(); }

private:
    void grow(std::size_t more);

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace quillet
