// Plays a whole-program scenario on the in-memory backend: the program runs
// through its real entry point, and the scenario's steps are what the user
// does inside its event loop.
#pragma once

#include <filesystem>
#include <string>

#include "tests/scenarios/scenario.h"

namespace scenario {

// Runs the program the scenario names in a fresh temporary folder and checks
// every expectation with GoogleTest assertions that name the scenario line.
void PlayInMemory(const Scenario& scenario,
                  const std::filesystem::path& dataFolder);

}  // namespace scenario
