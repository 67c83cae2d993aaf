// The window behind the open and save dialogs: the folder shown, its
// sub-folders and the files of the chosen type, a file name field and the
// list of types. A name typed in the field is taken as it is: a folder is
// opened, anything else is the answer (a relative name within the folder
// shown).
#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "toolkit/fltk/backend.h"

namespace fs = std::filesystem;

namespace tovi::fltk {
namespace {

struct Entry {
  std::string name;
  bool folder;
};

struct Chooser {
  const FileRequest* request = nullptr;
  Fl_Window* window = nullptr;
  Fl_Output* folderView = nullptr;
  Fl_Hold_Browser* list = nullptr;
  Fl_Input* nameField = nullptr;
  Fl_Choice* typeChoice = nullptr;
  fs::path folder;
  std::vector<Entry> entries;  // as listed, after the ".." entry if any
  std::string answer;
};

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::ranges::lexicographical_compare(a, b, [](char x, char y) {
    auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return lower(x) < lower(y);
  });
}

bool HasParent(const fs::path& folder) {
  return folder.has_relative_path();
}

// Lists the folder: sub-folders first, then the files that match the type
// chosen; hidden names (a leading dot) are left out, as desktops do.
void Fill(Chooser& chooser) {
  const auto& types = chooser.request->types;
  const int type = chooser.typeChoice->value();
  const FileFilter* filter = type >= 0 && type < static_cast<int>(types.size())
                                 ? &types[static_cast<size_t>(type)]
                                 : nullptr;
  std::vector<Entry> folders;
  std::vector<Entry> files;
  std::error_code error;
  for (const fs::directory_entry& item : fs::directory_iterator(
           chooser.folder, fs::directory_options::skip_permission_denied,
           error)) {
    std::string name = item.path().filename().string();
    if (name.starts_with('.')) continue;
    std::error_code kindError;
    if (item.is_directory(kindError)) {
      folders.push_back(Entry{std::move(name), true});
    } else if (filter == nullptr || MatchesFilter(*filter, name)) {
      files.push_back(Entry{std::move(name), false});
    }
  }
  auto byName = [](const Entry& a, const Entry& b) {
    return LessIgnoringCase(a.name, b.name);
  };
  std::ranges::sort(folders, byName);
  std::ranges::sort(files, byName);
  chooser.entries = std::move(folders);
  chooser.entries.insert(chooser.entries.end(), files.begin(), files.end());

  chooser.list->clear();
  if (HasParent(chooser.folder)) chooser.list->add("../");
  for (const Entry& entry : chooser.entries) {
    chooser.list->add((entry.name + (entry.folder ? "/" : "")).c_str());
  }
  chooser.folderView->value(chooser.folder.string().c_str());
}

void OpenFolder(Chooser& chooser, const fs::path& folder) {
  chooser.folder = folder.lexically_normal();
  if (chooser.folder.has_filename() == false && HasParent(chooser.folder)) {
    chooser.folder = chooser.folder.parent_path();
  }
  chooser.nameField->value("");
  Fill(chooser);
}

// The entry at a line of the list: nullptr for the ".." line.
const Entry* EntryAt(const Chooser& chooser, int line) {
  const int first = HasParent(chooser.folder) ? 2 : 1;
  if (line < first) return nullptr;
  const auto index = static_cast<size_t>(line - first);
  return index < chooser.entries.size() ? &chooser.entries[index] : nullptr;
}

void Answer(Chooser& chooser, const fs::path& path) {
  const std::string chosen = path.string();
  if (chooser.request->accept && !chooser.request->accept(chosen)) return;
  chooser.answer = chosen;
  chooser.window->hide();
}

// Enter in the name field or OK: a folder is opened, a file is the answer.
void Take(Chooser& chooser) {
  const std::string typed = chooser.nameField->value();
  if (typed.empty()) return;
  const fs::path path = chooser.folder / fs::path(typed);
  std::error_code error;
  if (fs::is_directory(path, error)) {
    OpenFolder(chooser, path);
    return;
  }
  Answer(chooser, path);
}

void OnList(Fl_Widget*, void* data) {
  auto& chooser = *static_cast<Chooser*>(data);
  const int line = chooser.list->value();
  if (line <= 0) return;
  const Entry* entry = EntryAt(chooser, line);
  // A double click or Enter opens the entry; a single click picks it.
  const bool open =
      Fl::event() == FL_KEYBOARD
          ? Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter
          : Fl::event_clicks() > 0;
  if (entry != nullptr && !entry->folder) {
    chooser.nameField->value(entry->name.c_str());
    if (open) Answer(chooser, chooser.folder / entry->name);
  } else if (open) {
    OpenFolder(chooser, entry == nullptr ? chooser.folder.parent_path()
                                         : chooser.folder / entry->name);
  }
}

// A menu label shows '&' as a shortcut mark and reads '/' and '|' as
// structure; the descriptions mean them literally.
std::string MenuLabel(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += '&';
    if (c == '/' || c == '|' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

void Build(Chooser& chooser, const std::string& title) {
  constexpr int kWidth = 500;
  constexpr int kLabel = 110;
  constexpr int kButton = 90;
  constexpr int kRow = 26;
  auto* window = new Fl_Window(kWidth, 372);
  window->copy_label(title.c_str());
  chooser.window = window;
  chooser.folderView =
      new Fl_Output(kLabel, 10, kWidth - kLabel - 10, kRow, "Look in:");
  chooser.list = new Fl_Hold_Browser(10, 46, kWidth - 20, 240);
  chooser.list->format_char(0);
  chooser.list->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED | FL_WHEN_ENTER_KEY);
  chooser.list->callback(OnList, &chooser);
  const int fieldWidth = kWidth - kLabel - kButton - 20;
  chooser.nameField = new Fl_Input(kLabel, 298, fieldWidth, kRow, "File name:");
  chooser.nameField->when(FL_WHEN_ENTER_KEY_ALWAYS);
  chooser.nameField->callback(
      [](Fl_Widget*, void* data) { Take(*static_cast<Chooser*>(data)); },
      &chooser);
  chooser.typeChoice =
      new Fl_Choice(kLabel, 334, fieldWidth, kRow, "Files of type:");
  for (const FileFilter& type : chooser.request->types) {
    chooser.typeChoice->add(MenuLabel(type.description).c_str());
  }
  chooser.typeChoice->value(0);
  chooser.typeChoice->callback(
      [](Fl_Widget*, void* data) { Fill(*static_cast<Chooser*>(data)); },
      &chooser);
  auto* ok = new PushButton(kWidth - kButton - 10, 298, kButton, kRow, "OK");
  ok->callback(
      [](Fl_Widget*, void* data) { Take(*static_cast<Chooser*>(data)); },
      &chooser);
  auto* cancel =
      new PushButton(kWidth - kButton - 10, 334, kButton, kRow, "Cancel");
  cancel->callback([](Fl_Widget* widget, void*) { widget->window()->hide(); });
  window->resizable(chooser.list);
  window->end();
}

}  // namespace

std::string ChooseFile(HWND owner, const FileRequest& request) {
  Chooser chooser;
  chooser.request = &request;
  Build(chooser, request.title);
  std::unique_ptr<Fl_Window> window(chooser.window);

  const fs::path initial(request.initialName);
  std::error_code error;
  fs::path folder = initial.has_parent_path() ? initial.parent_path()
                                              : fs::current_path(error);
  if (!fs::is_directory(folder, error)) folder = fs::current_path(error);
  OpenFolder(chooser, fs::absolute(folder, error));
  chooser.nameField->value(initial.filename().string().c_str());
  // The name is selected, so typing replaces it.
  chooser.nameField->position(chooser.nameField->size(), 0);

  PlaceOver(*window, owner);
  RunModal(*window, chooser.nameField);
  return chooser.answer;
}

}  // namespace tovi::fltk
