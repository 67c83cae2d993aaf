// Makes memory run out on purpose: while a limit is set, every allocation
// through operator new of at least that many bytes fails with
// std::bad_alloc, as it would on a machine without that much memory. A test
// program that links allocation_limit.cpp gets it.
#pragma once

#include <cstddef>

namespace testing_support {

class AllocationLimit {
 public:
  explicit AllocationLimit(size_t bytes);
  ~AllocationLimit();
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace testing_support
