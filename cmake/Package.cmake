# The Debian package (cpack -G DEB, see scripts/package): the client's install component alone,
# that is the stripped binary, its desktop entry, icon and metainfo; never the substitute server,
# the tests or the benchmarks. Its version is the project's.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME notes-client)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Notes client developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client for the notes kept on a notes web service")
# One line of the package's long description per line here (CPack indents them).
set(CPACK_PACKAGE_DESCRIPTION [[
Enter the server's address, a login and a password: the client signs in
over HTTPS and lists, searches, adds, saves and deletes short text notes,
ties a note to a client and a project picked from lists the server keeps,
and hands a note to the mail program. Unsaved text is kept as a draft, an
offline copy of the last lists stays readable when the server cannot be
reached, and the password is kept in the desktop keychain. In English and
Slovak.]])
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};client;/")
set(CPACK_STRIP_FILES ON)

# No public address exists for the project yet; home.arpa, like the application id, is nobody's.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Notes client developers <developers@notesclient.home.arpa>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The linked libraries come from dpkg-shlibdeps. Added here is what Qt and QtKeychain load while
# running, which no linker sees: the SVG library with its icon and image plugins (the window
# icon), the SQLite driver (the offline copy) and libsecret (the Secret Service client the
# keychain library opens). Recommended: the Wayland platform (else Qt runs through XWayland), Qt's
# own Slovak texts (dialog buttons, context menus) and the CAs that verify a server at its first
# login (without them every server is trusted by its key alone).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libqt6sql6-sqlite, libsecret-1-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n, ca-certificates")

include(CPack)
