// The end-to-end runner's command line. Every mode starts its own X server
// and stops it again, whatever happens; it runs inside its own D-Bus
// session (dbus-run-session), whose accessibility bus it reads.
//   gtk_e2e scenario FILE PROGRAMS DATA     plays a scenario file
//   gtk_e2e tour PROGRAMS EXAMPLES SHOTS    screenshots and the resize check
//   gtk_e2e exec COMMAND...                 runs a command on the server
#include <iostream>

#include "tests/e2e_gtk/e2e.h"

namespace {

int Usage() {
  std::cerr << "usage: gtk_e2e scenario FILE PROGRAMS DATA\n"
               "       gtk_e2e tour PROGRAMS EXAMPLES SHOTS\n"
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
  if (mode == "exec" && args.size() >= 2) {
    return e2e::Run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
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
