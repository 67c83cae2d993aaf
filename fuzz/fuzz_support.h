// What every fuzz target needs besides its own checks: a way to stop on a
// broken invariant, a private folder for files, and a fresh function list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/tovi.h"

// Stops the run, naming what broke, when `holds` is false. The fuzzer counts
// the abort as a crash and keeps the input that caused it.
void Require(bool holds, const char* what);

// The path of `name` in a folder of this process's own, removed when the
// process ends.
std::string ScratchPath(const std::string& name);
// Writes `bytes` to the file `name` in the scratch folder; its path.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);
std::string ReadWholeScratchFile(const std::string& path);
// Names of everything in the scratch folder, sorted.
std::vector<std::string> ScratchNames();

// Forgets every window of the in-memory backend and makes a window holding
// an empty list, as kalvane's function list.
HWND NewFunctionList();
