#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "document/file_io.h"
#include "document/rebuild.h"
#include "document/source_document.h"
#include "document/structure.h"

namespace {

// Record i must describe entry i; a list that refuses an entry would break
// that for every later function, so moves are refused instead.
void FillList(HWND list, const SourceStructure& structure,
              SourceDocument& doc) {
  ToviListBox_Clear(list);
  for (size_t k = 0; k < structure.names.size(); ++k) {
    const std::string name(structure.names[k]);
    const int32_t position = ToviListBox_AddItem(list, -1, name);
    if (position != static_cast<int32_t>(k) && doc.problem.empty()) {
      doc.problem =
          "Line " + std::to_string(structure.functions[k].declLine + 1) +
          ": the function list did not take " + DescribeFunction(name) + ".";
    }
  }
}

}  // namespace

ToviBool LoadSource(SourceDocument& doc, HWND list, const std::string& path) {
  // Everything is read and analysed aside, so that a file that cannot be
  // read leaves the current document and list as they are.
  SourceDocument fresh;
  SourceStructure structure;
  try {
    if (!ReadWholeFile(path, fresh.bytes)) return kFalse;
    if (!ScanStructure(fresh.bytes, std::numeric_limits<int32_t>::max(),
                       structure)) {
      return kFalse;
    }
    LayOutLines(fresh.bytes, structure, fresh);
  } catch (const std::bad_alloc&) {
    // A file too large for memory is a file that cannot be loaded.
    return kFalse;
  } catch (const std::length_error&) {
    return kFalse;
  }
  fresh.problem = structure.problem;
  // The names point into fresh.bytes: fill the list before it moves.
  FillList(list, structure, fresh);
  doc = std::move(fresh);
  return kTrue;
}
