#include "tests/allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// 0: no limit.
std::atomic<size_t> limit{0};

}  // namespace

namespace testing_support {

AllocationLimit::AllocationLimit(size_t bytes) {
  limit = bytes;
}

AllocationLimit::~AllocationLimit() {
  limit = 0;
}

}  // namespace testing_support

void* operator new(size_t size) {
  const size_t bytes = limit;
  if (bytes != 0 && size >= bytes) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, size_t) noexcept {
  std::free(memory);
}
