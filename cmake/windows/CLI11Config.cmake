# CLI11 for the Windows build: the build machine's headers, and nothing else of /usr.
include(${CMAKE_CURRENT_LIST_DIR}/host_headers.cmake)
vrx_host_header_folder(CLI)
if(NOT TARGET CLI11::CLI11)
    add_library(CLI11::CLI11 INTERFACE IMPORTED)
    set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${VRX_HOST_HEADERS})
endif()
set(CLI11_FOUND TRUE)
