// Replaces a file so that it holds either all of its old bytes or all of the
// new ones, whatever fails on the way.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "document/file_io.h"

// Hands the bytes on, in pieces; false when they could not be written.
using ChunkWriter = std::function<bool(std::string_view)>;

// Writes what `produce` hands to its writer into a temporary file beside
// `path`, puts it on disk and only then in the place of the file at `path`.
// False, with any temporary file removed, when the path is empty, `produce`
// or any step fails. The one exception: when the file at `path` has lost
// its old bytes and the new ones could not take its place, the temporary
// file is their only copy; it then stays, and `kept` receives its path.
bool WriteFileSafely(const FileOps& ops, const std::string& path,
                     const std::function<bool(const ChunkWriter&)>& produce,
                     std::string* kept = nullptr);
