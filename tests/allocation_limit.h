// Makes memory run out on purpose: while a limit is set, operator new fails
// with std::bad_alloc for every allocation of at least that many bytes. A
// test program gets it by linking allocation_limit.cpp.
#pragma once

#include <cstddef>

namespace testing_support {

// 0 lifts the limit.
void LimitAllocations(size_t bytes);

}  // namespace testing_support
