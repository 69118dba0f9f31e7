#include "source_buffer.h"

#include <new>

#include <sys/mman.h>

namespace quillet {

namespace {
// The size of the system's large pages, and the report size from which its
// memory is asked to be made of them.
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kLargeSource = std::size_t{8} << 20;
}  // namespace

void SourceBuffer::allocate(std::size_t size) {
    data_.reset();
    capacity_ = 0;
    if (size < kLargeSource) {
        data_.reset(static_cast<char*>(std::malloc(size)));
        if (!data_) {
            throw std::bad_alloc();
        }
        capacity_ = size;
        return;
    }
    // A large report is read into memory of large pages where the system
    // offers them: the kernel then fills 2 MB per fault instead of 4 KB, and
    // the faults were a large part of reading a large report. Only a hint:
    // without it the memory works the same.
    const std::size_t capacity = (size + kLargePage - 1) / kLargePage * kLargePage;
    data_.reset(static_cast<char*>(std::aligned_alloc(kLargePage, capacity)));
    if (!data_) {
        throw std::bad_alloc();
    }
    capacity_ = capacity;
#ifdef MADV_HUGEPAGE
    ::madvise(data_.get(), capacity, MADV_HUGEPAGE);
#endif
}

}  // namespace quillet
