# The libraries of a Windows cross-build, from the prefix that
# scripts/build-windows.sh fills (LAZRINE_WINDOWS_DEPS). They are given the
# target names the Linux build gets from pkg-config and the Debian packages,
# so the rest of the build is the same on both systems.
set(LAZRINE_WINDOWS_DEPS "" CACHE PATH "Prefix of the libraries built for Windows")
if(NOT EXISTS "${LAZRINE_WINDOWS_DEPS}/include/mdbtools.h")
  message(FATAL_ERROR "LAZRINE_WINDOWS_DEPS must name the prefix made by scripts/build-windows.sh")
endif()
set(_deps_include ${LAZRINE_WINDOWS_DEPS}/include)
set(_deps_lib ${LAZRINE_WINDOWS_DEPS}/lib)

add_library(PkgConfig::LIBMDB INTERFACE IMPORTED)
target_include_directories(PkgConfig::LIBMDB SYSTEM INTERFACE ${_deps_include})
target_link_libraries(PkgConfig::LIBMDB INTERFACE ${_deps_lib}/libmdb.a)

add_library(PkgConfig::XXHASH INTERFACE IMPORTED)
target_include_directories(PkgConfig::XXHASH SYSTEM INTERFACE ${_deps_include})
target_link_libraries(PkgConfig::XXHASH INTERFACE ${_deps_lib}/libxxhash.a)

add_library(PkgConfig::LIBICAL INTERFACE IMPORTED)
target_include_directories(PkgConfig::LIBICAL SYSTEM INTERFACE ${_deps_include})
target_link_libraries(PkgConfig::LIBICAL INTERFACE ${_deps_lib}/libical.a)
target_compile_definitions(PkgConfig::LIBICAL INTERFACE LIBICAL_ICAL_STATIC_DEFINE)

add_library(lazrine_minini INTERFACE)
target_include_directories(lazrine_minini SYSTEM INTERFACE ${_deps_include})
target_link_libraries(lazrine_minini INTERFACE ${_deps_lib}/libminIni.a)

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${_deps_include})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${_deps_include})

find_package(GTest CONFIG REQUIRED PATHS ${LAZRINE_WINDOWS_DEPS} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_package(Threads REQUIRED)
