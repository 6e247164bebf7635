# Windows builds. Both the MSVC build of the whole program (CMakePresets.json) and the
# mingw-w64 build made here (cmake/mingw-w64-x86_64.cmake) come through this file.

# <windows.h> would otherwise define min and max as macros.
add_compile_definitions(NOMINMAX)

if(NOT CMAKE_CROSSCOMPILING)
    return()
endif()

# The mingw-w64 build: vrxtool.exe and the tests of everything below the window, run
# under Wine. Qt for Windows is not available to it.
set(VRX_BUILD_GUI OFF CACHE BOOL "Build the Qt program vrxconfig" FORCE)

# The header-only packages are the build machine's own; cmake/windows/ offers them to
# find_package without letting its /usr/include into the compiler's search path.
set(VRX_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "" FORCE)

# Every test program and vrxtool.exe run through Wine, in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run
    ${CMAKE_BINARY_DIR}/wine-prefix)
