// Replaces a file so that it holds either all of its old bytes or all of the
// new ones, whatever fails on the way.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "document/file_io.h"

// Hands the bytes on, in pieces; false when they could not be written.
using ChunkWriter = std::function<bool(std::string_view)>;

// Asked just before an existing file is replaced: whether it still holds
// what the caller expects (the bytes it read, say). The file it is given is
// the target, symbolic links followed.
using TargetCheck = std::function<bool(const SaveTarget&)>;

enum class WriteResult {
  kWritten,
  kFailed,  // nothing changed at the path
  // The new bytes are at the path, but the folder could not be synced: a
  // crash could still bring back the old file, so no success to report.
  kNotSynced,
  // The file at the path has lost its old bytes, and the new ones could not
  // take its place: a file beside it, named in `kept`, holds them.
  kKeptAside,
  // A file rewritten in place could neither take all of the new bytes nor
  // get its old ones back: it holds part of the new ones, and its backup,
  // named in `kept`, holds the old ones.
  kBackupKept,
  // The check said no: someone else changed the file; nothing was written.
  kTargetChanged,
};

// Writes what `produce` hands to its writer into a temporary file beside
// `path`, puts it on disk and only then in the place of the file at `path`.
// The new file gets the old one's owner, group, extended attributes and
// permissions. A file it cannot stand in for (another owner than the new
// file could be given, several names) is rewritten in place instead, after
// a backup of its old bytes is on disk, and the backup is removed once the
// new bytes are; should anything fail, the backup is written back.
// kFailed, with any temporary file or backup removed, when the path is
// empty, the file may not be written, `produce` or any step fails. When
// `stillExpected` is given and says no about an existing file, nothing
// replaces it or is written into it: kTargetChanged.
WriteResult WriteFileSafely(
    const FileOps& ops, const std::string& path,
    const std::function<bool(const ChunkWriter&)>& produce,
    std::string* kept = nullptr, const TargetCheck& stillExpected = {});
