// Every scenario in tests/scenarios, played on the in-memory backend.
#include <gtest/gtest.h>

#include "tests/programs/scenario_player.h"

namespace {

class ScenarioTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ScenarioTest, Plays) {
  scenario::PlayInMemory(scenario::Load(GetParam()), KALVANE_TEST_DATA);
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = std::filesystem::path(info.param).stem().string();
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Memory, ScenarioTest,
                         ::testing::ValuesIn(scenario::List(KALVANE_SCENARIOS)),
                         TestName);

}  // namespace
