# The packages, made by CPack from the install rules: on Linux casino_<version>_amd64.deb
# and casino-<version>-linux-x86_64.tar.gz, on Windows casino-<version>-win64.zip.
set(CPACK_PACKAGE_NAME casino)
set(CPACK_PACKAGE_VENDOR "The casino developers")
set(CPACK_PACKAGE_CONTACT "The casino developers <casino@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "roulette game with a pawnshop, in Russian")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME casino-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME casino-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The libraries the game opens itself at its first cue, which dpkg-shlibdeps cannot see.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcanberra0, libasound2")
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A small single-window casino game; every text in it is Russian. The player\n"
    "starts on the street with 60 bucks, walks into the casino and plays roulette\n"
    "on red or black, odd or even, the three dozens or single numbers. Chips cost a\n"
    "different price on every spin, hidden fortune events strike before every bet,\n"
    "and the player's clothes can be pawned for cash and bought back later.")
endif()
include(CPack)
