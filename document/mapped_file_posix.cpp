#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <system_error>

#include "document/file_io.h"
#include "document/mapped_file.h"

namespace {

// Smaller files are read: mapping and unmapping them costs more than the
// copy it spares.
constexpr uint64_t kSmallest = uint64_t{1} << 20;

// A file shortened by another program while it is mapped makes every read
// of a page past its new end raise SIGBUS, which would end the program. A
// guard per mapping tells the signal handler which addresses are ours; the
// handler puts zeros in place of the lost pages and marks the mapping, so
// that Intact() tells and nothing made from those bytes is used.
struct Guard {
  std::atomic<uintptr_t> begin{0};
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> taken{false};
  std::atomic<bool> lost{false};
};
constexpr int kGuards = 64;
Guard guards[kGuards];
uintptr_t pageSize = 4096;
struct sigaction previous;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  for (Guard& guard : guards) {
    const uintptr_t begin = guard.begin.load();
    const uintptr_t end = guard.end.load();
    if (address < begin || address >= end) continue;
    const uintptr_t page = address & ~(pageSize - 1);
    if (mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) {
      break;  // nothing to stand in for the bytes: as if no guard were here
    }
    guard.lost.store(true);
    return;
  }
  // Not a mapped file's fault: whatever would have happened without this
  // handler happens.
  if ((previous.sa_flags & SA_SIGINFO) != 0) {
    previous.sa_sigaction(signal, info, context);
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal);
  } else {
    // Returning runs the faulting access again, which now ends the program
    // as the signal would have.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(SIGBUS, &plain, nullptr);
  }
}

bool WatchBusErrors() {
  static bool watching = false;
  static std::once_flag once;
  std::call_once(once, [] {
    pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    watching = sigaction(SIGBUS, &action, &previous) == 0;
  });
  return watching;
}

int TakeGuard(const char* data, size_t size) {
  for (int i = 0; i < kGuards; ++i) {
    bool free = false;
    if (!guards[i].taken.compare_exchange_strong(free, true)) continue;
    guards[i].lost.store(false);
    guards[i].end.store(0);
    guards[i].begin.store(reinterpret_cast<uintptr_t>(data));
    guards[i].end.store(reinterpret_cast<uintptr_t>(data) + size);
    return i;
  }
  return -1;
}

void DropGuard(int i) {
  guards[i].begin.store(0);
  guards[i].end.store(0);
  guards[i].taken.store(false);
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::Map(const std::string& path) {
  if (!WatchBusErrors()) return nullptr;
  const ReadOps& ops = PlatformReadOps();
  intptr_t handle = -1;
  uint64_t size = 0;
  if (!ops.open(path, handle, size)) return nullptr;
  // The time is taken before the first byte is looked at: a write that
  // lands meanwhile then shows as a change.
  FileStamp opened;
  void* data = MAP_FAILED;
  if (ops.identify(handle, opened) && size >= kSmallest &&
      size <= SIZE_MAX / 2) {
    data = mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE,
                static_cast<int>(handle), 0);
  }
  ops.close(handle);
  if (data == MAP_FAILED) return nullptr;
  const int guard =
      TakeGuard(static_cast<const char*>(data), static_cast<size_t>(size));
  if (guard < 0) {
    munmap(data, static_cast<size_t>(size));
    return nullptr;
  }
  std::unique_ptr<MappedFile> mapped(new MappedFile(
      static_cast<const char*>(data), static_cast<size_t>(size), guard));
  madvise(data, static_cast<size_t>(size), MADV_SEQUENTIAL);
  mapped->opened_ = opened;
  mapped->opened_.size = size;
  // The hash is taken beside the scan of the lines, on the other processor
  // where there is one; without a thread to spare, here and now.
  const std::string_view bytes = mapped->Bytes();
  try {
    mapped->hashing_ = std::async(std::launch::async, HashOfBytes, bytes);
  } catch (const std::system_error&) {
    mapped->hash_ = HashOfBytes(bytes);
  }
  return mapped;
}

bool MappedFile::Stamp(FileStamp& stamp) {
  if (hashing_.valid()) hash_ = hashing_.get();
  if (guards[guard_].lost.load()) return false;
  stamp = opened_;
  stamp.hash = hash_;
  return true;
}

MappedFile::~MappedFile() {
  if (hashing_.valid()) hashing_.wait();
  DropGuard(guard_);
  munmap(const_cast<char*>(data_), size_);
}

bool MappedFile::Intact() const {
  return !guards[guard_].lost.load() && HashOfBytes(Bytes()) == hash_ &&
         !guards[guard_].lost.load();
}
