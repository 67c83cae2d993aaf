#include "document/source_document.h"

std::string_view SourceDocument::Text(int32_t i) const {
  const SourceLine& line = lines[static_cast<size_t>(i)];
  return std::string_view(bytes).substr(static_cast<size_t>(line.offset),
                                        static_cast<size_t>(line.length));
}

std::string_view SourceDocument::Terminator(int32_t i) const {
  const SourceLine& line = lines[static_cast<size_t>(i)];
  return std::string_view(bytes).substr(
      static_cast<size_t>(line.offset + line.length),
      static_cast<size_t>(line.terminatorLength));
}
