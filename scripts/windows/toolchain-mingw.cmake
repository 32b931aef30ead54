# Cross-compiling for Windows with MinGW-w64 (the POSIX-threads variant, for
# std::thread and std::mutex). LAZRINE_WINDOWS_ARCH is x86_64 or i686.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT LAZRINE_WINDOWS_ARCH)
  set(LAZRINE_WINDOWS_ARCH "$ENV{LAZRINE_WINDOWS_ARCH}")
endif()
if(NOT LAZRINE_WINDOWS_ARCH)
  set(LAZRINE_WINDOWS_ARCH x86_64)
endif()
# try_compile projects read this file again and need the architecture too.
set(ENV{LAZRINE_WINDOWS_ARCH} "${LAZRINE_WINDOWS_ARCH}")
set(CMAKE_SYSTEM_PROCESSOR ${LAZRINE_WINDOWS_ARCH})
set(_triple ${LAZRINE_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One self-contained .exe: no MinGW run-time DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
