# The two Debian packages, from one build: cpack -G DEB in a build directory
# (scripts/package builds the release configuration and checks the packages
# with lintian).
#   loggrevy-check  the batch checker: the C++ runtime, libxlsxwriter and libcrypto
#   loggrevy        the desktop program: Qt 6, and the batch checker beside it
set(CPACK_PACKAGE_NAME "loggrevy")
set(CPACK_PACKAGE_VENDOR "Loggrevy-projektet")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Loggrevy-projektet <loggrevy@example.org>")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL checker desktop)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE "loggrevy")
set(CPACK_DEBIAN_PACKAGE_SECTION "hamradio")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_STRIP_FILES ON)
# The libraries each program links, found from its installed binary: the C++
# runtime, libxlsxwriter and libcrypto (the review file's SHA-256) for both, Qt
# for the desktop program. cpack stops rather than build
# a package without them (cmake/CPackChecks.cmake).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/CPackChecks.cmake")

set(CPACK_DEBIAN_CHECKER_PACKAGE_NAME "loggrevy-check")
set(CPACK_DEBIAN_CHECKER_DESCRIPTION
    "Batch checker of EDI (REG1TEST) logs of Swedish VHF/UHF contests
loggrevy-check reads a batch of EDI (REG1TEST) contest logs of the Swedish
VHF/UHF activity contests with the reader, checker and import code of the
desktop program loggrevy, and prints what the judge would see there, as a
report or a JSON document: each log's contest, claimed and accepted totals,
format deviations and broken rules. It needs no display and no Qt.")

set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME "loggrevy")
# The platform plugin, the fonts that stand in for the forms' fonts, and the
# database that knows the EDI file type.
set(CPACK_DEBIAN_DESKTOP_PACKAGE_DEPENDS
    "loggrevy-check (= ${PROJECT_VERSION}), qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, shared-mime-info")
set(CPACK_DEBIAN_DESKTOP_DESCRIPTION
    "Judge's tool for EDI (REG1TEST) logs of Swedish VHF/UHF contests
Loggrevy checks the EDI (REG1TEST) logs of the Swedish VHF/UHF/microwave
activity contests. The judge imports a batch of logs; each is read, filed
under its contest, re-scored from the distances between the locators and
checked against the rules, and single QSOs can be judged invalid or duplicate
with the score following at once. It only reads: it never writes to a log.")
include(CPack)
