#include "arrange/source_files.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "arrange/folders.h"
#include "arrange/git_ignore.h"
#include "arrange/glob_match.h"
#include "arrange/settings.h"
#include "document/file_stamp.h"

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 on every platform, as in the document (FromUtf8).
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

std::vector<std::string_view> Views(const std::vector<std::string>& texts) {
  return std::vector<std::string_view>(texts.begin(), texts.end());
}

class Finder {
 public:
  Finder(const ArrangeOptions& options, std::vector<SourceFile>& files,
         std::string& errors, std::string& unknownRules)
      : options_(options),
        excludes_(Views(options.exclude)),
        files_(files),
        errors_(errors),
        unknownRules_(unknownRules) {}

  void Path(const std::string& given) {
    if (given == "-") {
      StandardInput();
      return;
    }
    switch (KindOf(given)) {
      case PathKind::kFolder:
        Tree(given);
        break;
      case PathKind::kOther:
        if (const ArrangeSettings* settings = Settings(FolderOf(given))) {
          File(given, settings->sort);
        }
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

  // The settings for the files of `folder` (absolute), or the defaults;
  // null when the settings file that applies is invalid.
  const ArrangeSettings* Settings(const std::string& folder) {
    static const ArrangeSettings kNone;
    if (options_.noConfig) return &kNone;
    std::string error;
    const ArrangeSettings* settings = settings_.ForFolder(folder, error);
    errors_ += error;
    return settings;
  }

  // Whether the settings file's own patterns exclude `absolute`.
  static bool ExcludedBy(const ArrangeSettings& settings,
                         const std::string& absolute, bool folder) {
    if (settings.exclude.empty()) return false;
    const std::string relative = RelativeTo(absolute, settings.folder);
    return !relative.empty() &&
           Excluded(Views(settings.exclude), relative, folder);
  }

  void File(const std::string& path, bool sort) {
    if (seen_.insert(Identity(path)).second) {
      files_.push_back({path, false, "", options_.sort || sort, false});
    }
  }

  // Standard input stands for the file --stdin-filename names: its
  // settings apply, and when that path is excluded, the input is passed
  // on as it came, as an editor's hook expects of a file it may not touch.
  void StandardInput() {
    SourceFile file{"<stdin>", true, "", options_.sort, false};
    const std::string& name = options_.stdinName;
    if (!name.empty()) {
      file.path = name;
      const std::string absolute = AbsolutePath(name);
      const ArrangeSettings* settings = Settings(FolderOf(name));
      if (settings == nullptr) return;
      file.sort = options_.sort || settings->sort;
      std::string relative = RelativeTo(absolute, AbsolutePath("."));
      if (relative.empty()) relative = absolute;
      file.passThrough = Excluded(excludes_, relative, false) ||
                         ExcludedBy(*settings, absolute, false);
    }
    files_.push_back(std::move(file));
  }

  // A folder named on the command line: its files, less those git ignores.
  void Tree(const std::string& root) {
    root_ = ResolvedPath(root);
    found_.clear();
    Folder(root, AbsolutePath(root), "");
    std::vector<std::string> relative;
    for (const Found& found : found_) {
      if (found.error.empty()) relative.push_back(found.relative);
    }
    std::string unknown;
    const std::optional<std::vector<bool>> ignored =
        IgnoredByGit(root, relative, unknown);
    // Rules that cannot be read leave every file of the tree possibly
    // ignored (generated, another project's): none is touched.
    if (!ignored && unknownRules_.empty()) unknownRules_ = unknown;
    size_t asked = 0;
    for (const Found& found : found_) {
      if (!found.error.empty()) {
        files_.push_back({found.path, false, found.error});
      } else if (ignored && !(*ignored)[asked++]) {
        File(found.path, found.sort);
      }
    }
  }

  // A link to a folder outside the tree searched leads elsewhere (a whole
  // disk, another project) and is followed only on request.
  bool Leads(const std::string& link) const {
    if (options_.followLinks) return true;
    const std::string target = ResolvedPath(link);
    return !target.empty() && !root_.empty() &&
           (target == root_ || !RelativeTo(target, root_).empty());
  }

  // A folder met again (through a link back up, say) is not walked again,
  // which ends a loop of links at once. `absolute` is its path made
  // absolute, `relative` its path under the folder named on the command
  // line ("" for that folder).
  void Folder(const std::string& folder, const std::string& absolute,
              const std::string& relative) {
    if (!seen_.insert(Identity(folder)).second) return;
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries)) {
      // In its place among the files, as the report of a file would be.
      found_.push_back({folder, relative, false, "cannot read the folder"});
      return;
    }
    const ArrangeSettings* settings = Settings(absolute);
    if (settings == nullptr) return;
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) {
                return FromUtf8(a.name) < FromUtf8(b.name);
              });
    for (const FolderEntry& entry : entries) {
      const fs::path name = FromUtf8(entry.name);
      if (!entry.folder && !IsSourceName(name)) continue;
      const std::string child = ToUtf8(FromUtf8(folder) / name);
      const std::string childAbsolute = absolute.back() == '/'
                                            ? absolute + entry.name
                                            : absolute + "/" + entry.name;
      const std::string childRelative =
          relative.empty() ? entry.name : relative + "/" + entry.name;
      if (Excluded(excludes_, childRelative, entry.folder) ||
          ExcludedBy(*settings, childAbsolute, entry.folder)) {
        continue;
      }
      if (entry.folder) {
        if (!entry.link || Leads(child)) {
          Folder(child, childAbsolute, childRelative);
        }
      } else {
        // Not only regular files: a link that leads nowhere or a pipe
        // named *.ost is reported as unreadable rather than passed over.
        found_.push_back({child, childRelative, settings->sort, ""});
      }
    }
  }

  struct Found {
    std::string path, relative;
    bool sort = false;
    std::string error;  // a folder that cannot be read
  };

  const ArrangeOptions& options_;
  const std::vector<std::string_view> excludes_;
  SettingsLookup settings_;
  std::string root_;          // the tree searched, links resolved
  std::vector<Found> found_;  // the files found in it so far
  std::vector<SourceFile>& files_;
  std::string& errors_;
  std::string& unknownRules_;
  std::set<std::string> seen_;  // identities of the files and folders met
};

}  // namespace

std::vector<SourceFile> FindSourceFiles(const ArrangeOptions& options,
                                        std::string& errors,
                                        std::string& unknownRules) {
  std::vector<SourceFile> files;
  Finder finder(options, files, errors, unknownRules);
  for (const std::string& path : options.paths) finder.Path(path);
  return files;
}
