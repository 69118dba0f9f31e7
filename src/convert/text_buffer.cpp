#include "text_buffer.h"

#include <algorithm>

namespace quillet {

void TextBuffer::erase_front(std::size_t count) {
    count = std::min(count, size_);
    if (count > 0 && count < size_) {
        std::memmove(data_.get(), data_.get() + count, size_ - count);
    }
    size_ -= count;
}

void TextBuffer::grow(std::size_t more) {
    const std::size_t capacity = std::max(size_ + more, capacity_ * 2);
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) {
        std::memcpy(data.get(), data_.get(), size_);
    }
    data_ = std::move(data);
    capacity_ = capacity;
}

}  // namespace quillet
