# Installing on Windows: everything in one folder tree below the install prefix (as
# Program Files\VRXConfig), the programs in bin\ and their data in share\vrxconfig\,
# which is how the program tells an installed copy from an unpacked one. The installer
# is made by CPack with NSIS, a ZIP beside it for unpacking anywhere.
if(TARGET vrxconfig)
    set_target_properties(vrxconfig PROPERTIES WIN32_EXECUTABLE ON)
    # Qt's libraries and plugins go beside the program (windeployqt, run at install).
    qt_generate_deploy_app_script(TARGET vrxconfig OUTPUT_SCRIPT vrx_deploy_qt
                                  NO_UNSUPPORTED_PLATFORM_ERROR)
    install(SCRIPT ${vrx_deploy_qt})
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vrxconfig)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME VRXConfig)
set(CPACK_PACKAGE_VENDOR "VRXConfig developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure a VRX organ console unit over MIDI")
set(CPACK_PACKAGE_INSTALL_DIRECTORY VRXConfig)
set(CPACK_PACKAGE_EXECUTABLES vrxconfig VRXConfig)
set(CPACK_NSIS_DISPLAY_NAME VRXConfig)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# *.vrx files open in the program.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
    "WriteRegStr HKCR '.vrx' '' 'VRXConfig.File'
     WriteRegStr HKCR 'VRXConfig.File' '' 'VRXConfig configuration'
     WriteRegStr HKCR 'VRXConfig.File\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\bin\\\\vrxconfig.exe\\\" \\\"%1\\\"'")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "DeleteRegKey HKCR '.vrx'
     DeleteRegKey HKCR 'VRXConfig.File'")
include(CPack)
