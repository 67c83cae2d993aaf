// Starting, waiting for and ending the processes a test needs.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "tests/e2e_gtk/e2e.h"

extern char** environ;

namespace e2e {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int Status(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  return 128 + (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0);
}

}  // namespace

void Fail(const std::string& what) {
  throw Failure(what);
}

int Run(const std::vector<std::string>& argv, std::string* output) {
  int pipeEnds[2] = {-1, -1};
  if (output != nullptr && pipe(pipeEnds) != 0) Fail("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  }
  std::vector<std::string> args = argv;
  std::vector<char*> pointers = Pointers(args);
  pid_t pid = -1;
  const int error = posix_spawnp(&pid, pointers[0], &actions, nullptr,
                                 pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (output != nullptr) {
    close(pipeEnds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
      output->append(buffer, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
  }
  if (error != 0) Fail("cannot start " + argv[0] + ": " + std::strerror(error));
  int raw = 0;
  waitpid(pid, &raw, 0);
  return Status(raw);
}

pid_t Spawn(const std::vector<std::string>& argv,
            const std::vector<std::string>& environment,
            const fs::path& folder) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry)
    env.emplace_back(*entry);
  env.insert(env.end(), environment.begin(), environment.end());
  std::vector<std::string> args = argv;
  std::vector<char*> argPointers = Pointers(args);
  std::vector<char*> envPointers = Pointers(env);
  // The child changes to the folder itself: posix_spawn has no portable way.
  const pid_t pid = fork();
  if (pid < 0) Fail("fork failed");
  if (pid == 0) {
    if (chdir(folder.c_str()) == 0) {
      execve(argPointers[0], argPointers.data(), envPointers.data());
    }
    _exit(127);
  }
  return pid;
}

std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
  std::optional<int> status;
  WaitFor(
      [&] {
        int raw = 0;
        if (waitpid(pid, &raw, WNOHANG) == pid) status = Status(raw);
        return status.has_value();
      },
      timeout);
  return status;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  if (!WaitExit(pid, 3s)) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

bool WaitFor(const std::function<bool()>& ready,
             std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!ready()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

}  // namespace e2e
