// What a failed save leaves beside its target when that file holds the only
// whole copy of some of the bytes, so that the user can be told its name.
#pragma once

#include <string>

struct KeptFile {
  std::string path;  // empty when nothing was kept
  // Which bytes it holds: the old ones (the backup of a save in place that
  // could neither finish nor put them back), or the new ones (a replacement
  // that lost the old file and could not move the new one in).
  bool oldBytes = false;
};
