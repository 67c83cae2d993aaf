// What the driver's commands do: play a scenario file, walk the keyboard
// interface, or set a program up for a screenshot.
#pragma once

#include <filesystem>

#include "tests/e2e_wine/driver.h"

namespace e2e {

struct Programs {
  std::filesystem::path kalvane;   // kalvane.exe
  std::filesystem::path listdrag;  // listdrag.exe
  std::filesystem::path data;      // tests/data
};

// Plays `file` with the programs, in `folder` (empty, and the programs'
// working folder). Throws Failure at the first step that does not hold.
void PlayScenario(const std::filesystem::path& file, const Programs& programs,
                  const std::filesystem::path& folder);

// Walks kalvane's keyboard interface: Tab order, Enter and Space on
// buttons, arrows in the list, and Enter and Escape where they must do
// nothing.
void WalkKeyboard(const Programs& programs,
                  const std::filesystem::path& folder);

// Starts `program` ("kalvane" or "listdrag"), brings it into a state worth
// a picture, creates `ready`, and closes the program once `done` exists.
void Pose(const std::string& program, const Programs& programs,
          const std::filesystem::path& folder,
          const std::filesystem::path& ready,
          const std::filesystem::path& done);

// Presses the mouse on entry `from`, moves in steps to entry `to` and
// releases it there.
void DragEntry(Session& session, HWND list, int from, int to);
// The same, released at `end` (screen coordinates).
void DragEntryTo(Session& session, HWND list, int from, POINT end);

}  // namespace e2e
