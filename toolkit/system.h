// The few system calls the programs make directly, besides the toolkit.
//
// On Windows these are the real user-interface functions and types. Elsewhere
// the same five calls are declared here with the same meaning, and the backend
// linked into the program implements them over its own controls, so the
// programs' code reads the same on every platform.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The programs' message boxes name functions from the user's files. The ANSI
// MessageBoxA would read those names in the ANSI code page, while the lists
// read them as UTF-8 (see toolkit/win32/text.cpp); so the programs' calls
// go to the toolkit's own, which reads the text as the lists do and shows it
// through the wide call.
int ToviMessageBoxA(HWND owner, const char* text, const char* caption,
                    UINT style);
#define MessageBoxA ToviMessageBoxA

// Writes UTF-8 text where a console program's output goes: to standard
// output when it leads to a file or a pipe, else to the console the program
// was started from. A windowed program has no console of its own, yet
// --help and --version must answer in the terminal that asked. False when
// there is nowhere to write or the write fails.
bool ToviWriteConsole(const char* text);

#else

// Opaque handles: each backend defines what they point to.
struct HWND__;
struct HICON__;
struct HINSTANCE__;
using HWND = HWND__*;
using HICON = HICON__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using BOOL = int;
using UINT = unsigned int;

inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr int IDOK = 1;

// The control of `window` made with identifier `id`; null when there is none.
HWND GetDlgItem(HWND window, int id);

// Enables (non-zero) or disables (zero) a control. Returns non-zero when the
// control was disabled before the call, as the system call does.
BOOL EnableWindow(HWND control, BOOL enable);

// Shows a modal message box owned by `owner` and returns the button pressed
// (IDOK for the boxes these programs show).
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style);

// The icon resource `name` of `module`; null when there is none.
HICON LoadIconA(HINSTANCE module, const char* name);

// The program's own module for a null name.
HMODULE GetModuleHandleA(const char* name);

// Loads a system library by name. Off Windows there are no such libraries
// (the common controls are part of the backend), so this finds nothing and
// returns null.
HMODULE LoadLibraryA(const char* name);

#endif
