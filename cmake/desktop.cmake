# What makes the installed program a citizen of the desktop: its menu entry, the *.vrx
# file type, the icon in every size the desktop asks for, the user guide and the manual
# pages.
set(VRX_ICON_SVG ${VRX_RESOURCE_DIR}/icons/vrxconfig.svg)
set(VRX_ICON_SIZES 48 128 256)

install(FILES ${VRX_RESOURCE_DIR}/vrxconfig.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VRX_RESOURCE_DIR}/vrxconfig-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vrxconfig.xml)
install(FILES ${VRX_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The bitmaps are drawn from the one SVG at build time, so they never drift from it.
find_program(VRX_RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_files)
foreach(side ${VRX_ICON_SIZES})
    set(png ${CMAKE_BINARY_DIR}/icons/${side}/vrxconfig.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${side}
        COMMAND ${VRX_RSVG_CONVERT} -w ${side} -h ${side} -o ${png} ${VRX_ICON_SVG}
        DEPENDS ${VRX_ICON_SVG} VERBATIM)
    list(APPEND icon_files ${png})
    install(FILES ${png}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
endforeach()
add_custom_target(vrx_icons ALL DEPENDS ${icon_files})

# The user guide with its pictures: installed for the system, and beside the executable
# in the build so the help window finds it there as in an unpacked copy.
set(VRX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vrxconfig)
install(FILES ${CMAKE_SOURCE_DIR}/docs/USER_GUIDE.md DESTINATION ${VRX_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION ${VRX_DOC_DIR})
add_custom_target(vrx_user_guide ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/docs
            ${CMAKE_BINARY_DIR}/bin/docs)

# Manual pages from the programs' own --help and --version, so they say what the
# programs do.
# Installed compressed, as the manual reader expects them.
find_program(VRX_HELP2MAN help2man REQUIRED)
find_program(VRX_GZIP gzip REQUIRED)
function(vrx_manual_page program description)
    set(text ${CMAKE_BINARY_DIR}/man/${program}.1)
    set(page ${text}.gz)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND ${VRX_HELP2MAN} --no-info --no-discard-stderr --section=1
                --name=${description} --output=${text} $<TARGET_FILE:${program}>
        COMMAND ${VRX_GZIP} -9nf ${text}
        DEPENDS ${program} VERBATIM)
    add_custom_target(${program}_manual ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
vrx_manual_page(vrxtool "read, convert and write VRX configurations without the editor")
if(VRX_BUILD_GUI)
    vrx_manual_page(vrxconfig "configure a VRX organ console unit over MIDI")
endif()
