// kalvane on files far larger than source files get: one line of 50 MB and
// a million empty lines. Both load, have their bodies rearranged, and are
// saved byte for byte.
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
  void LoadAndSave(const Shuffled& file) {
    WriteBytes(Path("in.ost"), file.bytes);
    Run([&] {
      Load(Path("in.ost"));
      EXPECT_EQ(tovi::memory::Entries(List()),
                (std::vector<std::string>{"A", "B"}));
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

}  // namespace
