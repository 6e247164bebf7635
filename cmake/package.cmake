# `make package`: a Debian package of everything `cmake --install` puts in place.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vrxconfig)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VRXConfig developers <vrxconfig@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure a VRX organ console unit over MIDI")
set(CPACK_PACKAGE_DESCRIPTION
    "VRXConfig loads a program from a VRX unit, the box in an organ console that turns\n\
stop tabs, keyboards and pedals into MIDI, edits its pins, MIDI channels, crescendo\n\
and tuning, and writes it back. vrxtool does the same from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt platform plugin for X11 and Wayland is loaded at run time, so the libraries
# alone do not name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, xdg-utils")
set(CPACK_PACKAGE_EXECUTABLES vrxconfig VRXConfig)
include(CPack)
