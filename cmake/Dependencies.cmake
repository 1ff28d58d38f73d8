# Everything comes from Debian's packages; nothing is vendored.
# RapidJSON is header-only and serves both builds from /usr/include.
find_path(RAPIDJSON_INCLUDE_DIR rapidjson/document.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT RAPIDJSON_INCLUDE_DIR)
  message(FATAL_ERROR "RapidJSON not found: apt-get install rapidjson-dev")
endif()
# Reached through a folder of its own: adding /usr/include itself would put the host's C library
# headers in front of MinGW's.
set(VOXTRANE_RAPIDJSON_DIR ${CMAKE_BINARY_DIR}/_deps/rapidjson/include)
file(MAKE_DIRECTORY ${VOXTRANE_RAPIDJSON_DIR})
file(CREATE_LINK ${RAPIDJSON_INCLUDE_DIR}/rapidjson ${VOXTRANE_RAPIDJSON_DIR}/rapidjson SYMBOLIC)
add_library(rapidjson INTERFACE)
target_include_directories(rapidjson SYSTEM INTERFACE ${VOXTRANE_RAPIDJSON_DIR})

# GoogleTest: built from Debian's sources (the googletest package) so the MinGW build gets its own.
set(VOXTRANE_GOOGLETEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${VOXTRANE_GOOGLETEST_SRC}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found: apt-get install googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VOXTRANE_GOOGLETEST_SRC} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Google Benchmark for bench/, native build only.
if(NOT WIN32)
  find_package(benchmark QUIET)
endif()

# cairo (native build only): the editor's canvas for snapshots and the artwork generator.
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft freetype2 fontconfig)
endif()
