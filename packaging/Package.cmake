# The Debian package: run-time dependencies come from the programs' libraries (dpkg-shlibdeps)
# plus the fonts the window's font substitution needs, which no library link reveals.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${DT_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "DriveTune developers")
set(CPACK_PACKAGE_CONTACT "${DT_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for e-bike and scooter motor controllers")
# Lines are kept under 80 characters: the control file shows them as they are.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "DriveTune reads the parameters of a brushless motor controller through a"
  "serial port, shows them in a grid grouped by topic, checks their ranges and"
  "writes them back. Parameter sets are saved to and loaded from files."
  ""
  "The package holds the window (drivetune), a command line for scripts"
  "(drivetune-cli) and a virtual controller on a pseudo-terminal for trying"
  "both without hardware (drivetune-sim).")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-microhei, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")

include(CPack)
