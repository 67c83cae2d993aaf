// The replacement step of a Windows save, over the two system calls it
// makes, so that a test can give it every outcome the system has for them.
#pragma once

#include <windows.h>

#include "document/file_io.h"

struct ReplaceCalls {
  // ReplaceFileW of `target` by `replacement`, keeping no backup of the
  // target: 0 when done, else the system's error code.
  DWORD (*replaceFile)(const wchar_t* target, const wchar_t* replacement);
  // MoveFileExW of `from` to `to`, replacing `to` and written through: 0 or
  // the error code.
  DWORD (*moveFile)(const wchar_t* from, const wchar_t* to);
};

const ReplaceCalls& PlatformReplaceCalls();

// The replace step of PlatformFileOps(), making its system calls through
// `calls`.
Replacement ReplaceThrough(const ReplaceCalls& calls, const TempFile& temp,
                           const SaveTarget& target);
