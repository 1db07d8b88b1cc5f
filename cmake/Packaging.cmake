# Debian package of the desktop program: cpack -G DEB in a build directory.
set(CPACK_PACKAGE_NAME "loggrevy")
set(CPACK_PACKAGE_VENDOR "Loggrevy-projektet")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Loggrevy-projektet <loggrevy@example.org>")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "hamradio")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The Qt libraries and the C++ runtime, found from the installed binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The platform plugin and the fonts that stand in for the forms' fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Checks EDI (REG1TEST) contest logs of the Swedish VHF/UHF activity contests.\nThe judge imports a batch of logs; each is read, scored and checked\nagainst the rules, and single QSOs can be judged invalid or duplicate.")
include(CPack)
