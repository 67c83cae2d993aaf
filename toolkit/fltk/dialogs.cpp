// The open and save dialogs: the programs' filter becomes the list of file
// types, and saving over an existing file is asked about first.
#include <filesystem>
#include <system_error>

#include "toolkit/fltk/backend.h"

namespace tovi::fltk {
namespace {

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error);
}

// Replacing a file cannot be undone, so No is the default answer.
bool MayReplace(HWND owner, const std::string& title, const std::string& path) {
  if (!Exists(path)) return true;
  const std::string name = std::filesystem::path(path).filename().string();
  const std::string question =
      name + " already exists.\nDo you want to replace it?";
  NoteShown("question", title, question);
  return ShowBox(owner, title, question, BoxIcon::kWarning, {"&Yes", "&No"}, 1,
                 1) == 0;
}

FileRequest Request(const std::string& title, const std::string& filter,
                    const std::string& initialName) {
  FileRequest request;
  request.title = title;
  request.types = ParseDialogFilter(filter);
  request.initialName = initialName;
  return request;
}

}  // namespace
}  // namespace tovi::fltk

// The name of a file that does not exist is taken too: the program, not the
// dialog, tells the user it cannot be opened.
std::string ToviDialog_OpenFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                int32_t /*flags*/) {
  tovi::fltk::NoteShown("open", title, initialName);
  return tovi::fltk::ChooseFile(
      parent, tovi::fltk::Request(title, filter, initialName));
}

std::string ToviDialog_SaveFile(HWND parent, const std::string& title,
                                const std::string& filter,
                                const std::string& initialName,
                                ToviBool confirmReplace) {
  tovi::fltk::FileRequest request =
      tovi::fltk::Request(title, filter, initialName);
  if (confirmReplace != kFalse) {
    request.accept = [&](const std::string& path) {
      return tovi::fltk::MayReplace(parent, title, path);
    };
  }
  tovi::fltk::NoteShown("save", title, initialName);
  return tovi::fltk::ChooseFile(parent, request);
}
