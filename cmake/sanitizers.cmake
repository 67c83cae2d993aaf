# kalvane_sanitize_tests(TEST...): in a sanitizer build (KALVANE_SANITIZE),
# runs these tests, and every program they start, with the sanitizers'
# options. Leaks in the system libraries a backend stands on are listed, each
# with its reason, in lsan.supp beside the calling CMakeLists.txt (the
# backend's end-to-end runner); a backend without such leaks has no file.
function(kalvane_sanitize_tests)
  if(NOT KALVANE_SANITIZE)
    return()
  endif()
  set(leak_options "")
  set(suppressions ${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp)
  if(EXISTS ${suppressions})
    set(leak_options "suppressions=${suppressions}:print_suppressions=0")
  endif()
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "LSAN_OPTIONS=${leak_options}")
endfunction()
