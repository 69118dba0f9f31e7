// The bytes of one source report. The memory is reused from one report to the
// next and is not cleared before a file is read into it.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace quillet {

class SourceBuffer {
public:
    // Room for size bytes; what it holds before they are written is undefined.
    char* prepare(std::size_t size) {
        if (size > capacity_) {
            allocate(size);
        }
        size_ = 0;
        return data_.get();
    }
    void set_size(std::size_t size) { size_ = size; }
    void clear() { size_ = 0; }
    // Gives the memory back when it is larger than a usual report needs.
    void release_if_larger_than(std::size_t bytes) {
        if (capacity_ > bytes) {
            data_.reset();
            capacity_ = 0;
            size_ = 0;
        }
    }
    std::string_view view() const { return {data_.get(), size_}; }

private:
    struct Free {
        void operator()(char* data) const noexcept { std::free(data); }
    };
    void allocate(std::size_t size);  // throws std::bad_alloc

    std::unique_ptr<char[], Free> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace quillet
