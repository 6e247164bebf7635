# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix-threads
# compiler, which std::thread and std::mutex need). The programs are linked
# statically, so a bare Windows or a fresh Wine prefix runs them without any DLL
# beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VRX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VRX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VRX_MINGW_TRIPLET}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Libraries and headers come from the mingw tree only, never from the build machine's
# /usr: its glibc headers would not compile here. The header-only packages are
# offered through cmake/windows/, and the build's own tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VRX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
