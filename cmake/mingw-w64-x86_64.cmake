# Cross-compiles native 64-bit Windows programs with Debian's mingw-w64 (the
# POSIX thread model, for std::thread and std::mutex). The C and C++ runtimes
# are linked statically, so a program needs no DLL of ours beside it; the
# tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and library asks for Windows 10 or later in its header, so
# that an older Windows refuses to start it instead of failing on a missing
# function midway.
set(tarn_link_flags "-static -static-libgcc -static-libstdc++ -Wl,--major-subsystem-version,10,--minor-subsystem-version,0,--major-os-version,10,--minor-os-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${tarn_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${tarn_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${tarn_link_flags}")

find_program(TARN_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TARN_WINE})
