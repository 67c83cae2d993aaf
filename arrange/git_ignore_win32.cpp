#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>

#include "arrange/git_ignore.h"
#include "arrange/settings.h"

// Windows has no libgit2 here: git.exe, when it is on PATH, answers for
// all the files at once through `git check-ignore --stdin -z`, run in the
// folder searched. Without git there are no ignore rules to apply, so the
// rules are never unknown here.

namespace {

std::wstring Widen(const std::string& utf8) {
  const int length = MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), length);
  }
  return wide;
}

struct Handle {
  HANDLE handle = nullptr;
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  void Close() {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
    }
    handle = nullptr;
  }
};

// What git printed for `input`, or false when it could not be started.
bool AskGit(const std::wstring& folder, const std::string& input,
            std::string& output) {
  wchar_t git[MAX_PATH];
  if (SearchPathW(nullptr, L"git.exe", nullptr, MAX_PATH, git, nullptr) == 0) {
    return false;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Handle childIn, toChild, fromChild, childOut, nul;
  if (!CreatePipe(&childIn.handle, &toChild.handle, &inherit, 0) ||
      !CreatePipe(&fromChild.handle, &childOut.handle, &inherit, 0)) {
    return false;
  }
  // Only the child's ends are inherited.
  SetHandleInformation(toChild.handle, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(fromChild.handle, HANDLE_FLAG_INHERIT, 0);
  // git's complaints (no work tree here, say) are not this program's.
  nul.handle = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn.handle;
  startup.hStdOutput = childOut.handle;
  startup.hStdError = nul.handle;
  std::wstring command =
      L"\"" + std::wstring(git) + L"\" check-ignore --stdin -z";
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(git, command.data(), nullptr, nullptr, TRUE,
                      CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  childIn.Close();
  childOut.Close();
  // Written while the answer is read, so that neither pipe fills up with
  // both sides waiting.
  std::thread writer([&] {
    size_t at = 0;
    while (at < input.size()) {
      DWORD wrote = 0;
      const DWORD chunk =
          static_cast<DWORD>(std::min<size_t>(input.size() - at, 1 << 16));
      if (!WriteFile(toChild.handle, input.data() + at, chunk, &wrote,
                     nullptr)) {
        break;
      }
      at += wrote;
    }
    toChild.Close();
  });
  char buffer[1 << 16];
  DWORD got = 0;
  while (ReadFile(fromChild.handle, buffer, sizeof buffer, &got, nullptr) &&
         got > 0) {
    output.append(buffer, got);
  }
  writer.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

std::optional<std::vector<bool>> IgnoredByGit(
    const std::string& folder, const std::vector<std::string>& files,
    std::string&) {
  std::vector<bool> ignored(files.size(), false);
  if (files.empty()) return ignored;
  std::string input;
  for (const std::string& file : files) input += file + '\0';
  // A child starts in a folder given in full.
  std::wstring where = Widen(AbsolutePath(folder));
  std::replace(where.begin(), where.end(), L'/', L'\\');
  std::string output;
  if (!AskGit(where, input, output)) return ignored;
  // git names each ignored path as it was given.
  std::set<std::string> named;
  size_t start = 0;
  for (size_t end; (end = output.find('\0', start)) != std::string::npos;
       start = end + 1) {
    named.insert(output.substr(start, end - start));
  }
  for (size_t i = 0; i < files.size(); ++i)
    ignored[i] = named.count(files[i]) > 0;
  return ignored;
}
