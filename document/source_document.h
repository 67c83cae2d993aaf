// The source document: an Ostrel file held as lines and function records.
//
// Loading reads the file's bytes, lists every declared function in the
// function list (a list control reached through the toolkit), and rearranges
// the function bodies into declaration order. Moves exchange two neighbouring
// functions everywhere at once: declaration lines, blocks, records and list
// entries. Saving writes every line back with its own terminator.
//
// Users trust this with their source: the saved lines are always exactly the
// lines read, rearranged. A file whose structure cannot be represented loads
// with its lines untouched, keeps its functions listed, and refuses moves;
// `problem` then says why, naming the first offending line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "document/file_stamp.h"
#include "document/source_bytes.h"
#include "toolkit/tovi.h"

// A function's declaration line and block, as line indexes. A function
// declared without a body has an empty block: lastLine is firstLine - 1.
struct FunctionRecord {
  int32_t declLine = -1;
  int32_t firstLine = -1;
  int32_t lastLine = -1;
  friend bool operator==(const FunctionRecord&,
                         const FunctionRecord&) = default;
};

// One line: where its text and its terminator lie in the document's bytes.
// The text never includes the terminator (LF, CRLF, CR, or none for a last
// line read without one).
struct SourceLine {
  int64_t offset = 0;
  int32_t length = 0;
  int32_t terminatorLength = 0;
};

// One move as the history keeps it: the function at list position `from`
// was put at position `to`. Two numbers, whatever the size of the file, so
// the history can be as long as a session.
struct FunctionMove {
  int32_t from = -1;
  int32_t to = -1;
};

// A new order of all the functions at once, as a sort makes: position i
// took the function that stood at order[i].
struct FunctionOrder {
  std::vector<int32_t> order;
};

// One step of the history: a move, or a new order.
using MoveStep = std::variant<FunctionMove, FunctionOrder>;

struct MoveHistory {
  std::vector<MoveStep> undo;  // the last step done is last
  std::vector<MoveStep> redo;  // the last step undone is last
};

struct SourceDocument {
  SourceBytes bytes;  // the file as read; lines point into it
  std::vector<SourceLine> lines;
  int32_t lineCount = 0;
  std::vector<FunctionRecord> functions;
  int32_t lastFunction = -1;
  // Empty when functions can be moved; otherwise "Line N: " and what is
  // wrong with line N (counted from 1), the first problem in the file.
  std::string problem;
  // Every move since the load; a new load starts a new document, and with it
  // an empty history.
  MoveHistory history;

  // The text of line i, without its terminator.
  std::string_view Text(int32_t i) const;
  // The terminator line i was read with; empty for a last line without one.
  std::string_view Terminator(int32_t i) const;
};

// The n-th field of `line` (from 1): the pieces between single spaces, so a
// run of spaces gives empty fields. A field that does not exist is empty.
std::string_view FieldOf(std::string_view line, int32_t n);

// Reads the file at `path` into `doc` and fills `list` with the names of the
// declared functions. kFalse, with `doc` and `list` unchanged, when the file
// cannot be read. `stamp`, when given, receives what the file was when read
// (only on success), so that a later change by another program shows.
// With `mayMap`, a large file's bytes may be left in the file, mapped,
// rather than copied: only for a caller done with the document within one
// quick run, which trusts what it made from them only once
// doc.bytes.StillAsRead() says so. (Should such a file be shortened while
// it is mapped and then fail to be read, `doc` and `list` hold what the
// mapping showed, which StillAsRead() disowns.)
ToviBool LoadSource(SourceDocument& doc, HWND list, const std::string& path,
                    FileStamp* stamp = nullptr, bool mayMap = false);

// LoadSource for bytes already read (standard input, say): the same lines,
// list and problem as a file holding `bytes` would give. kFalse, with `doc`
// and `list` unchanged, when the bytes are too many lines or too large for
// memory.
ToviBool LoadSourceBytes(SourceDocument& doc, HWND list, SourceBytes bytes);

// Writes every line of `doc` to `path`, replacing the file only once all of
// the new bytes are safely on disk; the file keeps its owner, group,
// permissions, extended attributes and every name it has. kFalse when
// nothing was written (an empty path, a file that nobody or not this user
// may write, or any failure); the file at `path` then keeps its old bytes.
// Only where the system took the old bytes away and then failed to put the
// new ones in their place (which Windows can do), or where a file rewritten
// in place could neither take the new bytes nor get its old ones back, does
// the file at `path` lack them; a file beside it then keeps them, whose
// path `kept` receives (SaveSourceChecked tells which bytes it holds).
ToviBool SaveSource(const SourceDocument& doc, const std::string& path,
                    std::string* kept = nullptr);

enum class SaveResult {
  kSaved,
  kFailed,         // the file at the path keeps its old bytes
  kKeptAside,      // as SaveSource's `kept`: the new bytes are in `kept`
  kBackupKept,     // the file holds part of the new bytes, `kept` the old
  kChangedOnDisk,  // the file no longer held the expected bytes: untouched
};

struct SaveOutcome {
  SaveResult result = SaveResult::kFailed;
  std::string kept;
  FileStamp written;  // what the path holds after kSaved
  // A failed save that got as far as the file itself: the path may now
  // hold the new bytes, part of them, or nothing, changed by this save and
  // by no other program.
  bool touched = false;
};

// SaveSource that replaces an existing file only while it still holds the
// bytes `expected` describes, checked just before the replacement; a
// missing file is simply created. Without `expected`, SaveSource itself.
// A caller that will not look at the file again (kalvane-arrange) passes
// `stampWritten` false: `written` then stays empty and the bytes are not
// hashed on their way to the file.
SaveOutcome SaveSourceChecked(const SourceDocument& doc,
                              const std::string& path,
                              const FileStamp* expected,
                              bool stampWritten = true);

// The bytes SaveSource writes: each line with its own terminator; a line read
// without one gets the first line's, or the platform's when there is none.
std::string SerializeSource(const SourceDocument& doc);

// Whether SerializeSource(doc) == doc.bytes, told without making the bytes.
bool SerializesAsRead(const SourceDocument& doc);

// The two halves of exchanging neighbours, as the Up and Down commands use
// them: the list entries first, and the functions only once the list took
// them, so that record i keeps describing entry i. Each is the
// neighbouring case of the matching half of MoveFunction.
//
// ExchangeFunctions exchanges functions a and b = a + 1: their declaration
// texts, blocks and records. kFalse, changing nothing, when the document
// refuses moves or a and b are no such pair of listed functions.
ToviBool ExchangeFunctions(SourceDocument& doc, int32_t a, int32_t b);

// ExchangeListEntries exchanges the texts of neighbouring list entries i and
// j. kFalse, with the entries and selection as they were, when they are no
// neighbours in the list or the list refuses.
ToviBool ExchangeListEntries(HWND list, int32_t i, int32_t j);

// Puts the function at list position `from` at position `to` in one step,
// the functions between shifting one place toward `from`: exactly what the
// chain of neighbour exchanges carrying it there would give. Only the
// declaration lines of those functions and the lines of their blocks change
// places. The list entry moves first, and the document only once the list
// took it; the moved entry is then selected and the move recorded for undo.
// kFalse, changing nothing, when the document refuses moves, from equals
// to, either is not a listed function, or the list refuses the entry.
ToviBool MoveFunction(SourceDocument& doc, HWND list, int32_t from, int32_t to);

// Undoes the last step, or redoes the last step undone: bytes, records and
// list become what they were before it (after it, for redo). After a move
// the moved function is selected; across a sort the selected function stays
// selected. kFalse, changing nothing, when there is no such step or the list
// refuses it (the step then stays where it was). Nothing here throws: the
// moves run inside toolkit callbacks.
ToviBool UndoMove(SourceDocument& doc, HWND list);
ToviBool RedoMove(SourceDocument& doc, HWND list);

// The Up and Down commands: move the function selected in `list` one place,
// the selection following it; each move is recorded for undo. They are the
// neighbouring case of MoveFunction, except that Up never moves a function
// into position 0.
void MoveFunctionUp(SourceDocument& doc, HWND list);
void MoveFunctionDown(SourceDocument& doc, HWND list);

// Puts the selected function first / last, in one step, like a drag to the
// first position or below the last (so position 0 can be reached). The
// selection follows it; recorded for undo. kFalse, changing nothing, when
// nothing is selected, it is already there, or the document refuses moves.
ToviBool MoveFunctionToTop(SourceDocument& doc, HWND list);
ToviBool MoveFunctionToBottom(SourceDocument& doc, HWND list);

// Puts the functions in natural order of their names (NaturalNameLess:
// letter case ignored, Item2 before Item10, equal names keeping their
// order), declarations and blocks together, as one step that one undo takes
// back. The names are the bytes the declaration lines give, not the texts
// the list hands back, so every platform and kalvane-arrange agree on the
// order. The list is rebuilt once, before the document follows; the
// selected function stays selected. kFalse, changing nothing, when the
// document refuses moves or its functions already stand in that order.
ToviBool SortFunctionsByName(SourceDocument& doc, HWND list);

// Puts the function that stands at order[i] at position i, for every i, as
// one step that one undo takes back (a sort is one such step). The list is
// rebuilt once, before the document follows; the selected function stays
// selected. kFalse, changing nothing, when the document refuses moves,
// `order` is no permutation of the listed functions, or it changes nothing.
ToviBool PutFunctionsInOrder(SourceDocument& doc, HWND list,
                             std::vector<int32_t> order);

// Whether SortFunctionsByName would change anything: true when the document
// takes moves and its functions are not yet in natural order (so a menu item
// for the sort is enabled exactly when this is true).
bool SortWouldChangeOrder(const SourceDocument& doc, HWND list);
