#include "document/file_io.h"
#include "document/safe_write.h"
#include "document/serialize.h"
#include "document/source_document.h"

ToviBool SaveSource(const SourceDocument& doc, const std::string& path,
                    KeptFile* kept) {
  const bool saved = WriteFileSafely(
      PlatformFileOps(), path,
      [&](const ChunkWriter& write) { return WriteSerialized(doc, write); },
      kept);
  return saved ? kTrue : kFalse;
}
