#include <exception>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "document/file_io.h"
#include "document/mapped_file.h"
#include "document/rebuild.h"
#include "document/source_document.h"
#include "document/structure.h"

namespace {

// Record i must describe entry i; a list that refuses an entry would break
// that for every later function, so the file is then taken as one the model
// cannot represent: its lines stay where they stand and moves are refused.
void FillList(HWND list, SourceStructure& structure) {
  ToviListBox_Clear(list);
  for (size_t k = 0; k < structure.names.size(); ++k) {
    const std::string name(structure.names[k]);
    const int32_t position = ToviListBox_AddItem(list, -1, name);
    if (position != static_cast<int32_t>(k) && structure.problem.empty()) {
      structure.problem =
          "Line " + std::to_string(structure.functions[k].declLine + 1) +
          ": the function list did not take " + DescribeFunction(name) + ".";
    }
  }
}

// What the list showed before a load began to fill it.
struct ShownList {
  std::vector<std::string> entries;
  std::vector<int32_t> selection;
};

ShownList Shown(HWND list) {
  ShownList shown;
  const int32_t count = ToviListBox_GetCount(list);
  shown.entries.reserve(static_cast<size_t>(count > 0 ? count : 0));
  for (int32_t i = 0; i < count; ++i) {
    shown.entries.push_back(ToviListBox_GetItem(list, i));
  }
  ToviListBox_GetSelection(list, shown.selection);
  return shown;
}

// Puts the entries of the document still loaded back after a failed fill.
// Should memory not even allow that, the list is left empty rather than
// holding entries that match no record.
void RestoreList(HWND list, const ShownList& shown) {
  try {
    ToviListBox_Clear(list);
    for (const std::string& entry : shown.entries) {
      ToviListBox_AddItem(list, -1, entry);
    }
    ToviListBox_SetSelection(list, shown.selection);
  } catch (const std::exception&) {
    ToviListBox_Clear(list);
  }
}

}  // namespace

ToviBool LoadSource(SourceDocument& doc, HWND list, const std::string& path,
                    FileStamp* stamp, bool mayMap) {
  FileStamp read;
  try {
    std::shared_ptr<MappedFile> mapped =
        mayMap ? MappedFile::Map(path) : nullptr;
    if (mapped != nullptr) {
      if (LoadSourceBytes(doc, list, SourceBytes(mapped)) != kTrue) {
        return kFalse;
      }
      // A file shortened while it was mapped is read as it is now.
      if (mapped->Stamp(read)) {
        if (stamp != nullptr) *stamp = read;
        return kTrue;
      }
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes, stamp != nullptr ? &read : nullptr)) {
      return kFalse;
    }
    if (LoadSourceBytes(doc, list, std::move(bytes)) != kTrue) return kFalse;
  } catch (const std::exception&) {
    // A file too large for memory is a file that cannot be loaded.
    return kFalse;
  }
  if (stamp != nullptr) *stamp = read;
  return kTrue;
}

ToviBool LoadSourceBytes(SourceDocument& doc, HWND list, SourceBytes bytes) {
  // Everything is analysed aside, so that bytes that cannot be taken leave
  // the current document and list as they are.
  SourceDocument fresh;
  fresh.bytes = std::move(bytes);
  SourceStructure structure;
  ShownList shown;
  bool listChanged = false;
  try {
    if (!ScanStructure(fresh.bytes, std::numeric_limits<int32_t>::max(),
                       structure, &fresh.lines)) {
      return kFalse;
    }
    shown = Shown(list);
    // The list decides first: what it refuses decides how the lines are
    // laid out. The names point into fresh.bytes, which stays put until
    // fresh is moved into doc.
    listChanged = true;
    FillList(list, structure);
    LayOutLines(structure, fresh);
  } catch (const std::exception&) {
    // A file too large for memory (std::bad_alloc, std::length_error) is a
    // file that cannot be loaded.
    if (listChanged) RestoreList(list, shown);
    return kFalse;
  }
  fresh.problem = std::move(structure.problem);
  doc = std::move(fresh);
  return kTrue;
}
