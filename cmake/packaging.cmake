# The Debian package, made by `cpack -G DEB` in a Release build configured
# with the prefix /usr (scripts/package does both).

set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_CONTACT "Quillet maintainers <maintainers@quillet.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert assessment reports into printable HTML documents")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_INSTALL_DIRECTORY quillet)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Folders 755 and files 644 (programs 755), whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Quillet turns the plain-text report files of the Orvella assessment suite
and its Fennick questionnaire into clean, printable HTML documents: a title
that names the report and the student, a linked table of contents, section
anchors, page breaks, fonts, tables, lists and the key to the scoring system.
Documents are filed in one folder per student.

The package holds the desktop program quillet, which lists every converted
document in a sortable grid, and the command-line converter quillet-convert
for batch use, with a systemd user unit that converts each report as it
arrives.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The window needs Qt's platform plugins (only recommended by Qt's GUI
# library); a Wayland session gets its own one. Documents open in the browser
# through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")

include(CPack)
