# Links one folder of the build machine's /usr/include into the build's own header
# folder, which holds nothing else.
function(vrx_host_header_folder name)
    file(MAKE_DIRECTORY ${VRX_HOST_HEADERS})
    if(NOT EXISTS ${VRX_HOST_HEADERS}/${name})
        file(CREATE_LINK /usr/include/${name} ${VRX_HOST_HEADERS}/${name} SYMBOLIC)
    endif()
endfunction()
