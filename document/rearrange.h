// What the moves, the sort and their history share inside the document.
//
// Every operation here either changes the function list whole or leaves it
// as it was, and none throws: they run inside toolkit callbacks, and a list
// short of memory may refuse an entry (-1, as a full native list does) or
// throw std::bad_alloc from inside the toolkit. Should not even the way back
// work, the list is emptied: an empty list refuses every move, whereas
// entries out of step with their records would make every later move carry
// another function than the one shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/source_document.h"

// Functions lo..hi can change places: their blocks lie one after the other
// inside the document, as loading lays them out, and every one of their
// declaration lines stands outside those blocks.
bool BlocksInOneRun(const SourceDocument& doc, int32_t lo, int32_t hi);

// Functions lo < hi are listed functions of a document that takes moves,
// and their blocks are in one run.
bool MovesAllowed(const SourceDocument& doc, int32_t lo, int32_t hi);

// MoveFunction without the history: puts the function at list position
// `from` at `to`, the list first and the document following, and selects
// it. Not recorded for undo. kFalse, changing nothing, when the document
// refuses the move or the list refuses the entry.
ToviBool CarryFunction(SourceDocument& doc, HWND list, int32_t from,
                       int32_t to) noexcept;

// Puts the list entry at `from` at `to`, the entries between shifting one
// place toward `from`, and selects it. False, with entries and selection as
// they were, when the list refuses (or, should even that fail, with the list
// emptied).
bool MoveListEntry(HWND list, int32_t from, int32_t to) noexcept;

// Replaces every entry with `entries`, in order. False, with the entries
// and selection as they were, when the list refuses any of them.
bool RefillList(HWND list, const std::vector<std::string>& entries) noexcept;

// Empties a list whose entries could no longer be trusted to match their
// records.
void AbandonList(HWND list) noexcept;

// The first selected position, or -1 when nothing is selected.
int32_t SelectedPosition(HWND list) noexcept;

// Selects `positions` (none when empty); a list that fails to only loses
// its selection.
void SelectEntries(HWND list, const std::vector<int32_t>& positions) noexcept;

// Puts the function that stands at order[i] at position i, for every i, in
// one step: declaration texts pass among their slots, blocks are laid out in
// the new order, and the list is rebuilt once before the document follows.
// The selected function stays selected. Not recorded for undo. kFalse,
// changing nothing, when the document refuses moves, `order` is not a
// permutation of the listed functions, or memory runs short.
ToviBool ArrangeFunctions(SourceDocument& doc, HWND list,
                          const std::vector<int32_t>& order) noexcept;

// Makes room for one more step, so that a step made is never left
// unrecorded for want of memory; throws std::bad_alloc before anything
// changes.
void MakeRoomForStep(std::vector<MoveStep>& steps);

// Adds a step just made to the undo history and forgets the steps undone
// before it. The caller made room for it first.
void RecordStep(SourceDocument& doc, MoveStep step) noexcept;
