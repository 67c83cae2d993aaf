# kalvane_add_program(NAME LIBRARY): the executable NAME from LIBRARY and the
# backend of this platform, put at the top of the build folder. On Windows it
# is a GUI program with its resources (NAME_windows_resources), elsewhere a
# plain one; main.cpp or main_win32.cpp next to the caller is its entry.
function(kalvane_add_program name library)
  if(NOT TARGET tovi_${KALVANE_BACKEND})
    return()
  endif()
  if(WIN32)
    add_executable(${name} WIN32 main_win32.cpp)
    include(${PROJECT_SOURCE_DIR}/cmake/windows_resources.cmake)
    cmake_language(CALL ${name}_windows_resources ${name})
  else()
    add_executable(${name} main.cpp)
  endif()
  target_link_libraries(${name} PRIVATE ${library} tovi_${KALVANE_BACKEND})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
endfunction()
