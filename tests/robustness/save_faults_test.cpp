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

class SaveFaults : public KalvaneSession {
 protected:
  // A file of one name is replaced by a new file; one of two names is
  // rewritten in place behind a backup, in steps of its own.
  void FailEachStep(bool inPlace);
};

void SaveFaults::FailEachStep(bool inPlace) {
  const ReversedFile file = MakeReversedFile();
  const std::string target = Path("target.ost");

  // A save without faults, to learn its steps.
  WriteBytes(target, file.bytes);
  if (inPlace) fs::create_hard_link(target, Path("second.ost"));
  const std::vector<std::string> files = folder.Names();
  Run([&] {
    Load(target);
    faulty_file_ops::Disarm();
    Save(target);
  });
  ASSERT_EQ(ReadBytes(target), file.arranged);
  // "discard" cleans up; it is no step that can fail.
  std::vector<std::string> steps = faulty_file_ops::Journal();
  std::erase(steps, "discard");
  ASSERT_GE(std::count(steps.begin(), steps.end(), "write"), 2) << "too small";
  ASSERT_EQ(steps.back(), inPlace ? "close" : "sync");
  const int firstWrite = static_cast<int>(
      std::find(steps.begin(), steps.end(), "write") - steps.begin());

  const size_t descriptors = OpenDescriptors();
  // One step more in place: the first write fails and so does the restore
  // after it (the steps after it being close, then restore), which leaves
  // the old bytes only in the backup.
  for (int step = 0; step < static_cast<int>(steps.size()) + inPlace; ++step) {
    const bool lost = step == static_cast<int>(steps.size());
    const std::string& name =
        steps[static_cast<size_t>(lost ? firstWrite : step)];
    std::vector<Failure> ways = {Failure::kRefuse};
    if (name == "write" || name == "close" || name == "replace") {
      ways.push_back(Failure::kAfterItsWork);
    }
    for (Failure how : ways) {
      SCOPED_TRACE("step " + std::to_string(step) + " " + name +
                   (how == Failure::kRefuse ? " refused" : " after its work"));
      // A replacement that lost the old file keeps the new bytes, named.
      const bool kept =
          lost || (name == "replace" && how == Failure::kAfterItsWork);
      std::string box = "Cannot save file";
      WriteBytes(target, file.bytes);
      Run([&] {
        Load(target);
        faulty_file_ops::Arm(lost ? firstWrite : step, how,
                             lost ? firstWrite + 2 : -1);
        Save(target);
        faulty_file_ops::Disarm();
        // Once the new file is in place, only the folder sync is left to
        // fail; the file then holds the new bytes, whole. A kept file's name
        // begins with the target's and sorts after it; one keeping the new
        // bytes stands in for the target, which is gone.
        const std::vector<std::string> names = folder.Names();
        ASSERT_EQ(names.size(), files.size() + lost);
        EXPECT_EQ(
            ReadBytes(Path(names.back())),
            name == "sync" || (kept && !lost) ? file.arranged : file.bytes);
        if (kept) {
          box += std::string("\n\nThe ") + (lost ? "old" : "new") +
                 " contents are kept in " + names.back() +
                 ", in the file's folder.";
          fs::remove(Path(names.back()));
        }
        EXPECT_EQ(OpenDescriptors(), descriptors);
        ExpectBoxes(1, box, "Error", MB_ICONERROR);
        Save(target);
      });
      ExpectBoxes(1, box, "Error", MB_ICONERROR);
      EXPECT_EQ(ReadBytes(target), file.arranged);
      EXPECT_EQ(folder.Names(), files);
      EXPECT_EQ(ReadBytes(Path(files[0])), file.arranged);
    }
  }
}

TEST_F(SaveFaults, EveryFailingStepKeepsTheFileAndIsReported) {
  FailEachStep(false);
  FailEachStep(true);
}

}  // namespace
