// Any bytes at all, loaded as a source file: the document must hold exactly
// the file's lines, describe the function list, and give the bytes back when
// nothing moved.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/source_document.h"
#include "fuzz/document_invariants.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  HWND list = NewFunctionList();
  SourceDocument doc;
  Require(LoadSource(doc, list, WriteScratchFile("source.ost", bytes)) == kTrue,
          "any regular file loads");
  CheckDocument(doc, list, bytes);
  CheckFreshLoad(doc, bytes);
  return 0;
}
