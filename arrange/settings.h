// A project's choices for kalvane-arrange, kept in a .kalvane-arrange.toml
// beside its files: read by kalvane-arrange and by kalvane-lsp's formatting
// alike, so both give a file the same result.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

inline constexpr char kSettingsFileName[] = ".kalvane-arrange.toml";

struct ArrangeSettings {
  // The folder holding the settings file (UTF-8, absolute, '/' between
  // names); empty when no file applies.
  std::string folder;
  bool sort = false;
  // Patterns as for --extend-exclude, relative to `folder`.
  std::vector<std::string> exclude;
};

// Finds and reads the settings file that applies to each folder: the first
// one met going up from the folder, stopping at the root of its git work
// tree (the folder that holds .git) or of the file system. Each folder is
// looked at and each file read once.
class SettingsLookup {
 public:
  // The settings for the files in `folder` (UTF-8, absolute, normal). Null
  // when the settings file that applies is invalid; `error` then reads
  // "PATH:LINE: error: what is wrong", once per file.
  const ArrangeSettings* ForFolder(const std::string& folder,
                                   std::string& error);

 private:
  struct Found {
    ArrangeSettings settings;
    bool valid = true;
  };
  std::shared_ptr<Found> Read(const std::string& file,
                              const std::string& folder, std::string& error);
  std::map<std::string, std::shared_ptr<Found>> byFolder_;
};

// A UTF-8 path as the standard library takes it; a narrow path would be
// read in the Windows code page.
std::filesystem::path FromUtf8(const std::string& text);

// `path` made absolute and normal, UTF-8 with '/' between names.
std::string AbsolutePath(const std::string& path);

// The folder that holds `path`, as AbsolutePath gives it.
std::string FolderOf(const std::string& path);

// `path` (as AbsolutePath gives it) relative to `folder`, with '/' between
// names; empty when it does not lie under it.
std::string RelativeTo(const std::string& path, const std::string& folder);

// The settings that apply to the file at `path` (UTF-8), for a program that
// arranges one file at a time. Settings from an invalid file count as none.
ArrangeSettings SettingsForFile(const std::string& path);
