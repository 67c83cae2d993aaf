// kalvane on files far larger than source files get: one line of 50 MB, a
// million empty lines, thousands of shuffled bodies. All load, have their
// bodies rearranged, and are saved byte for byte.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/robustness/kalvane_session.h"
#include "toolkit/memory/memory_driver.h"

namespace {

// Declares A and B; B's body, standing first, holds `inside`. Loading puts
// A's body first.
struct Shuffled {
  std::string bytes;
  std::string arranged;
};

Shuffled WithBodyOfB(const std::string& inside) {
  const std::string declarations =
      "DECLARE FUNCTION A ()\nDECLARE FUNCTION B ()\n";
  const std::string a = "FUNCTION A ()\nEND FUNCTION\n";
  const std::string b = "FUNCTION B ()\n" + inside + "END FUNCTION\n";
  return {declarations + b + a, declarations + a + b};
}

class LargeInput : public KalvaneSession {
 protected:
  // Loads the file and saves it at once: the bodies follow the
  // declarations, every other byte is as it was. (Compared whole, so that a
  // failure does not print 50 MB.)
  void LoadAndSave(const Shuffled& file,
                   const std::vector<std::string>& names = {"A", "B"}) {
    WriteBytes(Path("in.ost"), file.bytes);
    Run([&] {
      Load(Path("in.ost"));
      EXPECT_EQ(tovi::memory::Entries(List()), names);
      Save(Path("out.ost"));
    });
    ExpectNoBoxes();
    EXPECT_TRUE(ReadBytes(Path("out.ost")) == file.arranged);
  }
};

TEST_F(LargeInput, FiftyMegabyteLine) {
  LoadAndSave(WithBodyOfB(std::string(50 << 20, 'x') + "\n"));
}

TEST_F(LargeInput, MillionEmptyLines) {
  LoadAndSave(WithBodyOfB(std::string(1000000, '\n')));
}

// Thousands of bodies of every length, from none to hundreds of lines, in
// shuffled order and with every line end, after a last line without one:
// each comes back whole after the declarations, in their order.
TEST_F(LargeInput, ThousandsOfShuffledBodies) {
  constexpr int kFunctions = 5000;
  const char* const kEnds[] = {"\n", "\r\n", "\r"};
  std::mt19937 random(7);
  std::string declarations;
  std::vector<std::string> names, bodies(kFunctions);
  for (int f = 0; f < kFunctions; ++f) {
    const std::string& name = names.emplace_back("F" + std::to_string(f));
    declarations += "DECLARE FUNCTION " + name + " ()\n";
    if (f % 7 == 3) continue;  // declared only
    bodies[f] = "FUNCTION " + name + " ()" + kEnds[f % 3];
    for (int i = static_cast<int>(random() % 300); i > 0; --i) {
      bodies[f] += "  total = total + " + std::to_string(i) + kEnds[i % 3];
    }
    bodies[f] += "END FUNCTION\n";
  }
  std::vector<int> order(kFunctions);
  for (int f = 0; f < kFunctions; ++f) order[f] = f;
  std::shuffle(order.begin(), order.end(), random);
  Shuffled file{declarations, declarations};
  for (int f = 0; f < kFunctions; ++f) {
    file.bytes += bodies[order[f]];
    file.arranged += bodies[f];
  }
  // The last line gets the first line's end when it is saved.
  file.bytes += "' end";
  file.arranged += "' end\n";
  LoadAndSave(file, names);
}

}  // namespace
