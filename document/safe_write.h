// Replaces a file so that it holds either all of its old bytes or all of the
// new ones, whatever fails on the way.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "document/file_io.h"
#include "document/kept_file.h"

// Hands the bytes on, in pieces; false when they could not be written.
using ChunkWriter = std::function<bool(std::string_view)>;

// Writes what `produce` hands to its writer into a temporary file beside
// `path`, puts it on disk and only then in the place of the file at `path`.
// A file whose owner, group, extended attributes and permissions the new
// file can be given keeps them; one it cannot (another owner, several names)
// is rewritten in place instead, after a backup of its old bytes is on disk,
// and the backup is removed once the new bytes are.
//
// False, with any temporary file or backup removed, when the path is empty,
// `produce` or any step fails; the file at `path` then holds its old bytes.
// The one exception: when the file at `path` holds neither its old bytes nor
// the new ones whole, the file beside it that holds one of them is their
// only copy; it then stays, and `kept` receives its path and which bytes it
// holds.
bool WriteFileSafely(const FileOps& ops, const std::string& path,
                     const std::function<bool(const ChunkWriter&)>& produce,
                     KeptFile* kept = nullptr);
