// The file operations the document needs, one implementation per platform
// (file_io_posix.cpp, file_io_win32.cpp). Paths are UTF-8.
//
// Saving goes through FileOps, a table of the single steps of a safe write,
// so that a test can make any one of them fail and see that nothing is lost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/file_stamp.h"

// Reading goes through ReadOps, the steps of reading a whole file, so that a
// test can give a file any size and see the handle closed however reading
// ends.
struct ReadOps {
  // Opens a regular file for reading and tells its size. False when it
  // cannot be opened or is no regular file (a directory, a pipe, a device).
  bool (*open)(const std::string& path, intptr_t& handle, uint64_t& size);
  // Reads up to `room` bytes into `buffer`; `got` is 0 at the end. False on
  // an error.
  bool (*read)(intptr_t handle, char* buffer, size_t room, size_t& got);
  void (*close)(intptr_t handle);
  // The open file's identity and modification time; null where there is
  // no file system behind the handle.
  bool (*identify)(intptr_t handle, FileStamp& stamp);
};

const ReadOps& PlatformReadOps();

// Reads the whole file into `bytes`, in binary. False when it cannot be
// opened or read, or is no regular file; `bytes` must then be dropped.
// `stamp`, when given, describes the file opened and exactly the bytes read
// from it, so a change made while it was read shows later.
bool ReadWholeFile(const ReadOps& ops, const std::string& path,
                   std::string& bytes, FileStamp* stamp = nullptr);
inline bool ReadWholeFile(const std::string& path, std::string& bytes,
                          FileStamp* stamp = nullptr) {
  return ReadWholeFile(PlatformReadOps(), path, bytes, stamp);
}

// What the file at `path` is now, its bytes hashed as they are read, without
// holding them all: a `stamp` as ReadWholeFile gives. False when it cannot be
// opened or read, or is no regular file; never throws.
bool StampOfFile(const ReadOps& ops, const std::string& path, FileStamp& stamp);
inline bool StampOfFile(const std::string& path, FileStamp& stamp) {
  return StampOfFile(PlatformReadOps(), path, stamp);
}

// Asks the system to back the buffer at [data, data + size) with large
// pages where it can: a huge file's bytes are then mapped in a few hundred
// steps instead of tens of thousands. Only advice; nothing changes where it
// is not taken.
void PreferLargePages(void* data, size_t size);

// The line terminator of the platform, for a file that brings none.
std::string_view PlatformTerminator();

// The file a save replaces.
struct SaveTarget {
  std::string path;          // symbolic links followed
  bool exists = false;       // else the save creates it
  uint32_t permissions = 0;  // the platform's own, when it exists
  // A new file put in the target's place would lose what makes it this file
  // (further names for it, an owner the saver cannot give a new file), so
  // the new bytes are written into the file itself, behind a backup.
  bool inPlace = false;
  uint32_t owner = 0;  // POSIX only: the owner and group a new file
  uint32_t group = 0;  // in its place must be given
};

// A temporary file being written beside the target, a backup beside it, or
// (with no path, so that nothing ever deletes it) the target itself being
// rewritten in place.
struct TempFile {
  std::string path;
  intptr_t handle = -1;  // the platform's, -1 once closed
};

// What became of the target when the temporary file was to take its place.
enum class Replacement {
  kDone,     // the target holds the new bytes
  kRefused,  // the target keeps its old bytes; the temporary file may go
  // The target lost its old bytes, and the new ones could not be put in its
  // place: the temporary file holds the only copy of them and must stay.
  kOnlyInTemporary,
};

struct FileOps {
  // Where a save to `path` lands. False when that is no place for a file
  // (a directory, say), cannot be examined, or is a file that may not be
  // written (marked read-only, or not writable by this user).
  bool (*resolveTarget)(const std::string& path, SaveTarget& target);
  // A file of a new name in the target's folder, created exclusively (never
  // an existing file), with the target's permissions when it exists.
  bool (*createTemporary)(const SaveTarget& target, TempFile& temp);
  bool (*write)(TempFile& temp, std::string_view bytes);
  bool (*flushToDisk)(TempFile& temp);
  bool (*close)(TempFile& temp);
  // Puts the closed temporary file in the target's place, in one step.
  Replacement (*replace)(const TempFile& temp, const SaveTarget& target);
  // Makes the replacement itself survive a crash.
  bool (*syncFolder)(const SaveTarget& target);
  // Closes the temporary file if it is open, and deletes it.
  void (*discard)(TempFile& temp);

  // The steps of a save in place, taken instead of the replacement when the
  // target asks for one (SaveTarget::inPlace); write, flushToDisk and close
  // then work on the target itself.
  //
  // Copies the target's bytes into a file of a new name beside it, readable
  // by its owner only, and puts that file and its folder on disk: from then
  // on a crash cannot lose the old bytes. False, with no backup left, when
  // that fails.
  bool (*backUp)(const SaveTarget& target, TempFile& backup);
  // Opens the target for writing from its first byte, its bytes untouched.
  bool (*openInPlace)(const SaveTarget& target, TempFile& file);
  // Ends the file where the last write ended, dropping old bytes beyond.
  bool (*truncate)(TempFile& file);
  // Writes the backup's bytes back over the target, ends it there and puts
  // it on disk. False unless the target holds them all again.
  bool (*restore)(const TempFile& backup, const SaveTarget& target);
};

const FileOps& PlatformFileOps();

// A name for a temporary file beside `target`: the target's name with a
// random suffix, so that a retry finds a free one; the name is shortened
// where the suffix would make it longer than a file system allows.
std::string TemporaryNameFor(const std::string& target);
