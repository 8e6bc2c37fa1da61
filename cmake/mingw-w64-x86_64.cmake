# Cross-compiles Hivora's toolkit-free layers (core/, platform/) and their tests for 64-bit
# Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64). The programs are linked
# statically, so they run under Wine, or on Windows, without any MinGW DLL beside them.
#
#   cmake -S . -B build/mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DHIVORA_BUILD_GUI=OFF -DHIVORA_BUILD_BENCH=OFF
#
# Tests then run through CMAKE_CROSSCOMPILING_EMULATOR (wine64); see tests/wine/run_wine_tests.sh.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
# The "-posix" flavour of the compiler has std::thread and std::mutex; the default "-win32" one of
# GCC 12 has not.
find_program(CMAKE_C_COMPILER NAMES ${mingw_prefix}-gcc-posix ${mingw_prefix}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_prefix}-g++-posix ${mingw_prefix}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_prefix}-windres windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: libgcc, libstdc++ and winpthread are linked into every program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows 7 API level at least; UNICODE stays off so that the "A" functions are the plain names.
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")

find_program(HIVORA_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(HIVORA_WINE64 NAMES wine64 wine)
if(HIVORA_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HIVORA_WINE64})
endif()
