# SPDX-License-Identifier: MIT
# `make package` (cpack) builds skinsmith_<version>_<arch>.deb from the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skinsmith)
set(CPACK_PACKAGE_VENDOR "The Skinsmith developers")
set(CPACK_PACKAGE_CONTACT "The Skinsmith developers <skinsmith@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build Windows 95/98 Plus! desktop themes")
set(CPACK_PACKAGE_DESCRIPTION
    "Skinsmith assembles a desktop theme for Windows 95/98 with Microsoft Plus!\n"
    "from files you already have: a wallpaper, desktop icons, mouse pointers,\n"
    "event sounds, a screen saver, splash logos and window colours. It writes a\n"
    "theme folder under ~/skinvault holding the .theme file, a copy of every\n"
    "chosen file and a batch file that installs the splash logos.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # skinsmith_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE "")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dpkg-shlibdeps works out Depends
# Export into disk images runs mtools' programs, which no library link reveals.
set(CPACK_DEBIAN_PACKAGE_DEPENDS mtools)
# Maintainer scripts and control files with the modes Debian policy asks for.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
