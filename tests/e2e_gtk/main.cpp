// The end-to-end runner's command line. Every mode starts its own X server
// and stops it again, whatever happens. The runner first starts itself
// again inside a D-Bus session of its own, with a runtime folder of its own:
// the accessibility bus keeps its socket there, so tests running side by
// side never share one.
//   gtk_e2e scenario FILE PROGRAMS DATA     plays a scenario file
//   gtk_e2e tour PROGRAMS EXAMPLES SHOTS    screenshots and the resize check
//   gtk_e2e wayland PROGRAMS DATA           kalvane in a nested Weston
//   gtk_e2e exec COMMAND...                 runs a command on the server
#include <cstdlib>
#include <iostream>

#include "tests/e2e_gtk/e2e.h"

namespace {

int Usage() {
  std::cerr << "usage: gtk_e2e scenario FILE PROGRAMS DATA\n"
               "       gtk_e2e tour PROGRAMS EXAMPLES SHOTS\n"
               "       gtk_e2e wayland PROGRAMS DATA\n"
               "       gtk_e2e exec COMMAND...\n";
  return 2;
}

int RunMode(const std::vector<std::string>& args) {
  const std::string& mode = args[0];
  if (mode == "scenario" && args.size() == 4) {
    e2e::PlayScenario(args[1], args[2], args[3]);
    std::cout << "passed: " << args[1] << std::endl;
    return 0;
  }
  if (mode == "tour" && args.size() == 4) {
    e2e::Tour(args[1], args[2], args[3]);
    std::cout << "passed: the tour; screenshots in " << args[3] << std::endl;
    return 0;
  }
  if (mode == "wayland" && args.size() == 3) {
    e2e::PlayOnWayland(args[1], args[2]);
    std::cout << "passed: kalvane on Wayland" << std::endl;
    return 0;
  }
  if (mode == "exec" && args.size() >= 2) {
    return e2e::Run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  return Usage();
}

constexpr const char* kInSession = "KALVANE_E2E_IN_SESSION";

int RunInOwnSession(const std::vector<std::string>& args) {
  const e2e::fs::path runtime = e2e::FreshFolder();
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  setenv(kInSession, "1", 1);
  // The session's services must not find the user's own display.
  unsetenv("DISPLAY");
  std::vector<std::string> argv = {"dbus-run-session", "--",
                                   e2e::fs::read_symlink("/proc/self/exe")};
  argv.insert(argv.end(), args.begin(), args.end());
  int status = 1;
  try {
    status = e2e::Run(argv);
  } catch (const std::exception& failure) {
    std::cerr << "FAILED: " << failure.what() << std::endl;
  }
  std::error_code ignored;
  e2e::fs::remove_all(runtime, ignored);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  if (std::getenv(kInSession) == nullptr) return RunInOwnSession(args);
  e2e::XServer server;
  int status = 1;
  try {
    server = e2e::StartXServer();
    e2e::StartAccessibility();
    status = RunMode(args);
  } catch (const std::exception& failure) {
    std::cerr << "FAILED: " << failure.what() << std::endl;
    status = 1;
  }
  try {
    e2e::StopXServer(server);
  } catch (const std::exception& failure) {
    std::cerr << "FAILED: " << failure.what() << std::endl;
    status = 1;
  }
  return status;
}
