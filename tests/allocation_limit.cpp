#include "tests/allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> limit{0};
}  // namespace

void testing_support::LimitAllocations(size_t bytes) {
  limit = bytes;
}

void* operator new(size_t size) {
  const size_t most = limit;
  void* memory = most != 0 && size >= most ? nullptr : std::malloc(size + 1);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

// The standard library's temporary buffers (std::stable_sort) come from the
// nothrow form and go back through plain delete, so that form must use the
// same heap as the one above.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}

void operator delete(void* memory, size_t) noexcept {
  std::free(memory);
}
