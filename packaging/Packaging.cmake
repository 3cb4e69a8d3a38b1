# The Debian package of the program and its tools, made by `cpack -G DEB` in a build
# folder (scripts/build_package.sh does all of it) from what packaging/ and the targets
# install. Its dependencies come from the binaries through dpkg-shlibdeps; the Qt
# platform plugins are named, as nothing links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vyhod-tarni)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vyhod_Tarni maintainers <maintainers@vyhodtarni.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scoring of the TARNI picture-choice psychological test")
set(CPACK_PACKAGE_DESCRIPTION
    "Vyhod_Tarni scores the TARNI picture-choice psychological test. For each
subject the examiner records the identity, clicks the chosen pictures item by
item on the test's template image and confirms the record; the program
evaluates the answers against the test configuration and keeps every subject's
identity, answers and results in a dBase (.dbf) results table in the user's
data folder.
.
The package also holds dbftool, which inspects, exports and prepares dBase
tables, and dbfview, a window over one table for looking through and editing
it.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${package_release})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The program speaks Czech in Qt's own dialogs when the translation is there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
