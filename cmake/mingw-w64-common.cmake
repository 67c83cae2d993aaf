# What the 64-bit and 32-bit mingw-w64 toolchains share; the including file
# sets KALVANE_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${KALVANE_MINGW_TRIPLET})

# The POSIX thread model: its C++ runtime has std::thread and std::mutex,
# which GoogleTest uses; winpthreads is linked in statically below.
set(CMAKE_C_COMPILER ${KALVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KALVANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KALVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs must start on a Windows without any of the compiler's DLLs:
# the C++ runtime, libgcc and winpthreads all go into the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix of the build's own so that a
# run never touches the user's ~/.wine and a fresh build folder starts clean.
# Mono and Gecko are not wanted and would otherwise be offered on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= wine)

# Test programs are asked for their test lists when the tests run, not while
# they are built, so that building needs no Wine at all.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
