#include "arrange/settings.h"

#include <filesystem>
#include <string_view>
#include <system_error>

// The parser is compiled here alone, with exceptions, which is how it
// reports a file that is no valid TOML.
#define TOML_HEADER_ONLY 1
#include <toml++/toml.h>

#include "document/file_io.h"

namespace fs = std::filesystem;

namespace {

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(FromUtf8(path), error));
}

// The settings file's path as a message names it: relative to the current
// folder when it lies under it, as the files' own paths mostly are.
std::string Shown(const std::string& file) {
  std::error_code error;
  const std::string here = ToUtf8(fs::current_path(error));
  const std::string relative = error ? "" : RelativeTo(file, here);
  return relative.empty() ? file : relative;
}

std::string Error(const std::string& file, int64_t line,
                  const std::string& message) {
  return Shown(file) + ":" + std::to_string(line) + ": error: " + message +
         "\n";
}

int64_t LineOf(const toml::source_region& where) {
  return where.begin.line != 0 ? static_cast<int64_t>(where.begin.line) : 1;
}

// Reads the settings in `text`; false with `error` set when they are not
// what a settings file may hold.
bool Parse(const std::string& file, const std::string& text,
           ArrangeSettings& settings, std::string& error) {
  toml::table table;
  try {
    table = toml::parse(text, file);
  } catch (const toml::parse_error& problem) {
    error = Error(file, LineOf(problem.source()),
                  std::string(problem.description()));
    return false;
  }
  for (auto&& [key, node] : table) {
    const int64_t line = LineOf(key.source());
    if (key.str() == "sort") {
      const auto* value = node.as_boolean();
      if (value == nullptr) {
        error = Error(file, line, "sort must be true or false");
        return false;
      }
      settings.sort = value->get();
    } else if (key.str() == "exclude") {
      const auto* list = node.as_array();
      if (list == nullptr) {
        error = Error(file, line, "exclude must be an array of patterns");
        return false;
      }
      for (const toml::node& element : *list) {
        const auto* pattern = element.as_string();
        if (pattern == nullptr) {
          error = Error(file, LineOf(element.source()),
                        "exclude must hold only strings");
          return false;
        }
        settings.exclude.push_back(pattern->get());
      }
    } else {
      error = Error(file, line,
                    "unknown key '" + std::string(key.str()) +
                        "' (expected sort or exclude)");
      return false;
    }
  }
  return true;
}

}  // namespace

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(FromUtf8(path), error);
  if (error) absolute = FromUtf8(path);
  std::string text = ToUtf8(absolute.lexically_normal());
  // "/a/b/" and "/a/b" are one folder.
  while (text.size() > 1 && text.back() == '/' &&
         text[text.size() - 2] != ':') {
    text.pop_back();
  }
  return text;
}

std::string FolderOf(const std::string& path) {
  return ToUtf8(FromUtf8(AbsolutePath(path)).parent_path());
}

std::string RelativeTo(const std::string& path, const std::string& folder) {
  if (path.size() <= folder.size() || path.compare(0, folder.size(), folder)) {
    return "";
  }
  if (folder.back() == '/') return path.substr(folder.size());
  if (path[folder.size()] != '/') return "";
  return path.substr(folder.size() + 1);
}

std::shared_ptr<SettingsLookup::Found> SettingsLookup::Read(
    const std::string& file, const std::string& folder, std::string& error) {
  auto found = std::make_shared<Found>();
  found->settings.folder = folder;
  std::string text;
  if (!ReadWholeFile(file, text)) {
    error = Error(file, 1, "cannot read the settings file");
    found->valid = false;
  } else {
    found->valid = Parse(file, text, found->settings, error);
  }
  return found;
}

const ArrangeSettings* SettingsLookup::ForFolder(const std::string& folder,
                                                 std::string& error) {
  std::vector<std::string> passed;
  std::shared_ptr<Found> found;
  std::string at = folder;
  for (;;) {
    if (const auto known = byFolder_.find(at); known != byFolder_.end()) {
      found = known->second;
      break;
    }
    passed.push_back(at);
    const std::string file = at.back() == '/' ? at + kSettingsFileName
                                              : at + "/" + kSettingsFileName;
    if (Exists(file)) {
      found = Read(file, at, error);
      break;
    }
    const std::string parent = ToUtf8(FromUtf8(at).parent_path());
    if (Exists(at + "/.git") || parent == at || parent.empty()) {
      found = std::make_shared<Found>();
      break;
    }
    at = parent;
  }
  for (const std::string& each : passed) byFolder_[each] = found;
  return found->valid ? &found->settings : nullptr;
}

ArrangeSettings SettingsForFile(const std::string& path) {
  SettingsLookup lookup;
  std::string error;
  const ArrangeSettings* settings = lookup.ForFolder(FolderOf(path), error);
  return settings != nullptr ? *settings : ArrangeSettings{};
}
