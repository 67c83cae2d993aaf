#include "arrange/source_files.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "arrange/folders.h"
#include "document/file_stamp.h"

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
    switch (KindOf(given)) {
      case PathKind::kFolder:
        Folder(given);
        break;
      case PathKind::kOther:
        File(given);
        break;
      case PathKind::kMissing:
        files_.push_back({given, false, "no such file or folder"});
        break;
    }
  }

 private:
  // The file a path leads to, told by the system's identity for it, not by
  // its name: hard links, other spellings of a name (letter case on
  // Windows), junctions and links all lead to one identity. A path that
  // leads nowhere (a dangling link) stands for itself.
  static std::string Identity(const std::string& path) {
    FileStamp stamp;
    if (IdentifyFile(path, stamp) && stamp.exists) {
      return std::to_string(stamp.volume) + ":" + std::to_string(stamp.fileId);
    }
    std::error_code error;
    return "path:" +
           ToUtf8(fs::absolute(FromUtf8(path), error).lexically_normal());
  }

  void File(const std::string& path) {
    if (seen_.insert(Identity(path)).second)
      files_.push_back({path, false, ""});
  }

  // A folder met again (through a link back up, say) is not walked again,
  // which ends a loop of links at once.
  void Folder(const std::string& folder) {
    if (!seen_.insert(Identity(folder)).second) return;
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries)) {
      files_.push_back({folder, false, "cannot read the folder"});
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) {
                return FromUtf8(a.name) < FromUtf8(b.name);
              });
    for (const FolderEntry& entry : entries) {
      const fs::path name = FromUtf8(entry.name);
      const std::string child = ToUtf8(FromUtf8(folder) / name);
      if (entry.folder) {
        if (!IsHidden(name)) Folder(child);
      } else if (IsSourceName(name)) {
        // Not only regular files: a link that leads nowhere or a pipe
        // named *.ost is reported as unreadable rather than passed over.
        File(child);
      }
    }
  }

  std::vector<SourceFile>& files_;
  std::set<std::string> seen_;  // identities of the files and folders met
};

}  // namespace

std::vector<SourceFile> FindSourceFiles(const std::vector<std::string>& paths) {
  std::vector<SourceFile> files;
  Finder finder(files);
  for (const std::string& path : paths) finder.Path(path);
  return files;
}
