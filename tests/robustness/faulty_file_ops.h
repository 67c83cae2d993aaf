// Every save this test program makes goes through the operations here: the
// link step routes the document's calls of PlatformFileOps() to them
// (-Wl,--wrap), and they pass each step on to the platform's own operations
// unless told to fail it.
#pragma once

#include <string>
#include <vector>

namespace faulty_file_ops {

enum class Failure {
  kRefuse,        // the step fails before it does anything
  kAfterItsWork,  // a write fails halfway, a close after closing
};

// Makes step number `step` (from 0, counted from this call on) fail, and
// `alsoStep` as well when given.
void Arm(int step, Failure how, int alsoStep = -1);
// Lets every step through again.
void Disarm();
// The steps taken since the last Arm or Disarm, by name: "resolve",
// "create", "write", "flush", "close", "replace", "sync", "discard", and
// for a save in place "backup", "open", "truncate", "restore".
const std::vector<std::string>& Journal();

}  // namespace faulty_file_ops
