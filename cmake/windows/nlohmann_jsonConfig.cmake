# nlohmann-json for the Windows build: the build machine's headers, and nothing else of
# /usr.
include(${CMAKE_CURRENT_LIST_DIR}/host_headers.cmake)
vrx_host_header_folder(nlohmann)
if(NOT TARGET nlohmann_json::nlohmann_json)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${VRX_HOST_HEADERS})
endif()
set(nlohmann_json_FOUND TRUE)
