#include "document/file_io.h"
#include "document/safe_write.h"
#include "document/serialize.h"
#include "document/source_document.h"

SaveOutcome SaveSourceChecked(const SourceDocument& doc,
                              const std::string& path,
                              const FileStamp* expected, bool stampWritten) {
  SaveOutcome outcome;
  BytesHash hash;
  uint64_t size = 0;
  const auto produce = [&](const ChunkWriter& write) {
    if (!stampWritten) return WriteSerialized(doc, write);
    return WriteSerialized(doc, [&](std::string_view bytes) {
      hash.Add(bytes);
      size += bytes.size();
      return write(bytes);
    });
  };
  TargetCheck check;
  if (expected != nullptr) {
    // A file that was there when the save began and is gone by now was
    // removed by someone else: that too is a change not to be overridden.
    // Bytes still in the file they were mapped from must also be those the
    // lines were found in, or what was written mixes old and new; that is
    // asked first, so that it also sees a file since shortened.
    check = [expected, &doc](const SaveTarget& target) {
      return doc.bytes.StillAsRead() &&
             CompareWithDisk(target.path, *expected) == DiskState::kAsStamped;
    };
  }
  switch (
      WriteFileSafely(PlatformFileOps(), path, produce, &outcome.kept, check)) {
    case WriteResult::kWritten:
      outcome.result = SaveResult::kSaved;
      // What now stands at the path, so that a later change by another
      // program can be told from this save.
      if (stampWritten && IdentifyFile(path, outcome.written)) {
        outcome.written.size = size;
        outcome.written.hash = hash.Value();
      } else {
        outcome.written = {};
      }
      break;
    case WriteResult::kFailed:
      outcome.result = SaveResult::kFailed;
      break;
    case WriteResult::kNotSynced:
      outcome.result = SaveResult::kFailed;
      outcome.touched = true;
      break;
    case WriteResult::kKeptAside:
      outcome.result = SaveResult::kKeptAside;
      outcome.touched = true;
      break;
    case WriteResult::kBackupKept:
      outcome.result = SaveResult::kBackupKept;
      outcome.touched = true;
      break;
    case WriteResult::kTargetChanged:
      outcome.result = SaveResult::kChangedOnDisk;
      break;
  }
  return outcome;
}

ToviBool SaveSource(const SourceDocument& doc, const std::string& path,
                    std::string* kept) {
  const SaveOutcome outcome = SaveSourceChecked(doc, path, nullptr);
  if (kept != nullptr) *kept = outcome.kept;
  return outcome.result == SaveResult::kSaved ? kTrue : kFalse;
}
