#include "arrange/source_files.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 on every platform, as in the document; the standard
// library would read a narrow path in the Windows code page.
fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool IsSourceName(const fs::path& name) {
  std::string extension = ToUtf8(name.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
                 });
  return extension == ".ost";
}

bool IsHidden(const fs::path& name) {
  const std::string text = ToUtf8(name);
  return !text.empty() && text.front() == '.';
}

class Finder {
 public:
  explicit Finder(std::vector<SourceFile>& files) : files_(files) {}

  void Path(const std::string& given) {
    if (given == "-") {
      files_.push_back({"<stdin>", true, ""});
      return;
    }
    const fs::path path = FromUtf8(given);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
      Folder(path, given);
    } else if (fs::exists(status) ||
               fs::is_symlink(fs::symlink_status(path, error))) {
      File(path, given);
    } else {
      files_.push_back({given, false, given + ":1: no such file or folder"});
    }
  }

 private:
  // Where a path finally leads, to know a place met twice; a path that leads
  // nowhere (a dangling link) stands for itself.
  static fs::path Identity(const fs::path& path) {
    std::error_code error;
    fs::path canonical = fs::canonical(path, error);
    return error ? fs::absolute(path, error).lexically_normal() : canonical;
  }

  void File(const fs::path& path, const std::string& shown) {
    if (seenFiles_.insert(Identity(path)).second) {
      files_.push_back({shown, false, ""});
    }
  }

  void Folder(const fs::path& folder, const std::string& shown) {
    if (!seenFolders_.insert(Identity(folder)).second) return;
    std::error_code error;
    std::vector<fs::path> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
      names.push_back(it->path().filename());
    }
    if (error) {
      files_.push_back({shown, false, shown + ":1: cannot read the folder"});
      return;
    }
    std::sort(names.begin(), names.end());
    for (const fs::path& name : names) {
      const fs::path child = folder / name;
      const std::string childShown = ToUtf8(FromUtf8(shown) / name);
      std::error_code statusError;
      if (fs::is_directory(fs::status(child, statusError))) {
        if (!IsHidden(name)) Folder(child, childShown);
      } else if (IsSourceName(name)) {
        // Not only regular files: a link that leads nowhere or a pipe
        // named *.ost is reported as unreadable rather than passed over.
        File(child, childShown);
      }
    }
  }

  std::vector<SourceFile>& files_;
  std::set<fs::path> seenFolders_;
  std::set<fs::path> seenFiles_;
};

}  // namespace

std::vector<SourceFile> FindSourceFiles(const std::vector<std::string>& paths) {
  std::vector<SourceFile> files;
  Finder finder(files);
  for (const std::string& path : paths) finder.Path(path);
  return files;
}
