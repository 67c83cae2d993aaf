// kalvane's Save meeting a failure at each single step of a save: the file
// keeps all of its old bytes, no temporary file stays behind, no descriptor
// leaks, the user is told, and the next Save works.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "tests/robustness/faulty_file_ops.h"
#include "tests/robustness/kalvane_session.h"

namespace {

namespace fs = std::filesystem;
using faulty_file_ops::Failure;

// A file whose bodies stand in reverse order, large enough to go out in
// several writes, and what a save writes once the bodies follow the
// declarations.
struct ReversedFile {
  std::string bytes;
  std::string arranged;
};

ReversedFile MakeReversedFile() {
  constexpr int kFunctions = 400;
  std::string declarations;
  std::vector<std::string> bodies;
  for (int f = 0; f < kFunctions; ++f) {
    const std::string name = "F" + std::to_string(f);
    declarations += "DECLARE FUNCTION " + name + " ()\n";
    std::string body = "FUNCTION " + name + " ()\n";
    for (int i = 0; i < 160; ++i) body += "  PRINT \"line " + name + "\"\n";
    bodies.push_back(body + "END FUNCTION\n");
  }
  ReversedFile file{declarations, declarations};
  for (int f = kFunctions - 1; f >= 0; --f) file.bytes += bodies[f];
  for (const std::string& body : bodies) file.arranged += body;
  return file;
}

size_t OpenDescriptors() {
  return static_cast<size_t>(
      std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

using SaveFaults = KalvaneSession;

TEST_F(SaveFaults, EveryFailingStepKeepsTheFileAndIsReported) {
  const ReversedFile file = MakeReversedFile();
  const std::string target = Path("target.ost");

  // A save without faults, to learn its steps.
  WriteBytes(target, file.bytes);
  Run([&] {
    Load(target);
    faulty_file_ops::Disarm();
    Save(target);
  });
  ASSERT_EQ(ReadBytes(target), file.arranged);
  const std::vector<std::string> steps = faulty_file_ops::Journal();
  ASSERT_GE(std::count(steps.begin(), steps.end(), "write"), 2) << "too small";
  ASSERT_EQ(steps.back(), "sync");

  const size_t descriptors = OpenDescriptors();
  for (int step = 0; step < static_cast<int>(steps.size()); ++step) {
    const std::string& name = steps[static_cast<size_t>(step)];
    std::vector<Failure> ways = {Failure::kRefuse};
    if (name == "write" || name == "close" || name == "replace") {
      ways.push_back(Failure::kAfterItsWork);
    }
    for (Failure how : ways) {
      SCOPED_TRACE("step " + std::to_string(step) + " " + name +
                   (how == Failure::kRefuse ? " refused" : " after its work"));
      // A replacement that lost the old file keeps the new bytes, named.
      const bool kept = name == "replace" && how == Failure::kAfterItsWork;
      std::string box = "Cannot save file";
      WriteBytes(target, file.bytes);
      Run([&] {
        Load(target);
        faulty_file_ops::Arm(step, how);
        Save(target);
        faulty_file_ops::Disarm();
        // Once the new file is in place, only the folder sync is left to
        // fail; the file then holds the new bytes, whole.
        const std::vector<std::string> names = folder.Names();
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(ReadBytes(Path(names[0])),
                  name == "sync" || kept ? file.arranged : file.bytes);
        if (kept) {
          box += "\n\nThe new contents are kept in " + names[0] +
                 ", in the file's folder.";
          fs::remove(Path(names[0]));
        }
        EXPECT_EQ(OpenDescriptors(), descriptors);
        ExpectBoxes(1, box, "Error", MB_ICONERROR);
        Save(target);
      });
      ExpectBoxes(1, box, "Error", MB_ICONERROR);
      EXPECT_EQ(ReadBytes(target), file.arranged);
      EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.ost"});
    }
  }
}

}  // namespace
