#include "tests/robustness/faulty_file_ops.h"

#include <cstdio>

#include "document/file_io.h"

// The platform's own operations, and the replacement the document's calls
// of PlatformFileOps() reach instead; the names are those the linker gives
// them under -Wl,--wrap=_Z15PlatformFileOpsv.
const FileOps& PlatformFileOpsOfTheSystem() __asm__(
    "__real__Z15PlatformFileOpsv");
const FileOps& FaultyPlatformFileOps() __asm__("__wrap__Z15PlatformFileOpsv");

namespace faulty_file_ops {
namespace {

int steps = 0;
int failAt = -1;
int alsoFailAt = -1;
Failure failure = Failure::kRefuse;
std::vector<std::string> journal;

// Notes the step; true when it is the one to fail.
bool Fails(const char* name) {
  journal.emplace_back(name);
  const int step = steps++;
  return step == failAt || step == alsoFailAt;
}

const FileOps& Real() {
  return PlatformFileOpsOfTheSystem();
}

bool ResolveTarget(const std::string& path, SaveTarget& target) {
  return !Fails("resolve") && Real().resolveTarget(path, target);
}

bool CreateTemporary(const SaveTarget& target, TempFile& temp) {
  return !Fails("create") && Real().createTemporary(target, temp);
}

bool Write(TempFile& temp, std::string_view bytes) {
  if (!Fails("write")) return Real().write(temp, bytes);
  // A disk that fills up takes part of the bytes before it refuses more.
  if (failure == Failure::kAfterItsWork) {
    Real().write(temp, bytes.substr(0, bytes.size() / 2));
  }
  return false;
}

bool FlushToDisk(TempFile& temp) {
  return !Fails("flush") && Real().flushToDisk(temp);
}

bool Close(TempFile& temp) {
  if (!Fails("close")) return Real().close(temp);
  // Some file systems report a lost write only at the close, which has
  // released the descriptor all the same.
  if (failure == Failure::kAfterItsWork) Real().close(temp);
  return false;
}

Replacement Replace(const TempFile& temp, const SaveTarget& target) {
  if (!Fails("replace")) return Real().replace(temp, target);
  if (failure == Failure::kRefuse) return Replacement::kRefused;
  // Windows can lose the old file and then fail to move the new one in.
  std::remove(target.path.c_str());
  return Replacement::kOnlyInTemporary;
}

bool SyncFolder(const SaveTarget& target) {
  return !Fails("sync") && Real().syncFolder(target);
}

void Discard(TempFile& temp) {
  journal.emplace_back("discard");
  Real().discard(temp);
}

bool BackUp(const SaveTarget& target, TempFile& backup) {
  return !Fails("backup") && Real().backUp(target, backup);
}

bool OpenInPlace(const SaveTarget& target, TempFile& file) {
  return !Fails("open") && Real().openInPlace(target, file);
}

bool Truncate(TempFile& file) {
  return !Fails("truncate") && Real().truncate(file);
}

bool Restore(const TempFile& backup, const SaveTarget& target) {
  return !Fails("restore") && Real().restore(backup, target);
}

}  // namespace

void Arm(int step, Failure how, int alsoStep) {
  Disarm();
  failAt = step;
  alsoFailAt = alsoStep;
  failure = how;
}

void Disarm() {
  steps = 0;
  failAt = -1;
  alsoFailAt = -1;
  journal.clear();
}

const std::vector<std::string>& Journal() {
  return journal;
}

}  // namespace faulty_file_ops

const FileOps& FaultyPlatformFileOps() {
  using namespace faulty_file_ops;
  static const FileOps ops = {
      ResolveTarget, CreateTemporary, Write,  FlushToDisk, Close,    Replace,
      SyncFolder,    Discard,         BackUp, OpenInPlace, Truncate, Restore};
  return ops;
}
