# The programs' Windows resources: icon, version and, for kalvane, the
# manifest.
#
# Include this from the top directory on Windows (or from each directory
# whose targets call the functions below); it turns on the
# resource compiler, which must be enabled in a directory above every target
# that uses it. The resource scripts name their files without a folder, and
# the resource compiler finds them through the include folders given to the
# script alone, so the programs' own C++ include paths stay as they are.
include_guard(DIRECTORY)
enable_language(RC)

set(KALVANE_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR}/../resources)
cmake_path(NORMAL_PATH KALVANE_RESOURCES_DIR)

# Every script includes version.rc, which reads the version numbers from a
# header written here from the project's version.
function(_kalvane_add_resource_script target script)
  set(rc ${KALVANE_RESOURCES_DIR}/${script})
  set(version ${CMAKE_CURRENT_BINARY_DIR}/kalvane_version.h)
  configure_file(${KALVANE_RESOURCES_DIR}/version.h.in ${version} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES
    INCLUDE_DIRECTORIES "${KALVANE_RESOURCES_DIR};${CMAKE_CURRENT_BINARY_DIR}"
    OBJECT_DEPENDS
      "${KALVANE_RESOURCES_DIR}/quorlet.ico;${KALVANE_RESOURCES_DIR}/version.rc;${version};${ARGN}")
endfunction()

# kalvane.exe: the icon "quorlet", the version and a manifest for the
# target's processor.
function(kalvane_windows_resources target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KALVANE_MANIFEST_ARCH amd64)
  else()
    set(KALVANE_MANIFEST_ARCH X86)
  endif()
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/kalvane.manifest)
  configure_file(${KALVANE_RESOURCES_DIR}/kalvane.manifest.in ${manifest} @ONLY)
  _kalvane_add_resource_script(${target} kalvane.rc ${manifest})
endfunction()

# listdrag.exe: the icon "quorlet" and the version.
function(listdrag_windows_resources target)
  _kalvane_add_resource_script(${target} listdrag.rc)
endfunction()
