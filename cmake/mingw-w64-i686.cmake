# Cross-building the Windows programs with Debian's mingw-w64 (32-bit); needs
# the package g++-mingw-w64-i686. Running the result under Wine needs a
# 32-bit Wine, which a kernel without 32-bit support cannot run.
set(KALVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
