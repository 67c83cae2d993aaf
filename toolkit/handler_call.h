// How every backend calls the programs' command and drag handlers.
//
// Between the event loop and a handler lies the system's own code (a window
// procedure on Windows, the toolkit's event dispatch elsewhere), which an
// exception must never unwind through. A handler that throws (memory can run
// out anywhere) is taken as one that finished without doing anything more:
// its answer is 0, which also cancels or refuses a drag.
#pragma once

#include <cstdint>
#include <utility>

namespace tovi {

template <typename Handler, typename... Args>
int32_t CallHandler(Handler handler, Args&&... args) noexcept {
  try {
    return handler(std::forward<Args>(args)...);
  } catch (...) {
    return 0;
  }
}

}  // namespace tovi
