// Paths as the Windows file calls take them: UTF-8 on the program's side,
// UTF-16 on the system's. For every Windows program over the document.
#pragma once

#include <string>

// The full path in the extended-length form the system takes beyond
// MAX_PATH's 260 characters (file_io_win32.cpp tells why and how).
bool SystemPath(const std::string& utf8, std::wstring& wide);

// UTF-16 from the system (a name, a path) as UTF-8; false when it is no
// valid text.
bool Narrow(const std::wstring& wide, std::string& utf8);
