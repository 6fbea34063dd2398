# The packages, made into <build>/packages by the target "packages" (scripts/package.sh
# copies them into dist/):
#   Linux    casino_<version>_<arch>.deb           package_deb, by CPack
#            casino-<version>-linux-<cpu>.tar.gz   package_tgz
#   Windows  casino-<version>-win64.zip            package_zip
#            casino-<version>-win64.msi            package_msi, by wixl
#   Web      casino-<version>-web.zip              package_web: the static folder
# Each comes out the same, byte for byte, whenever the same source is built, wherever and
# whenever (cmake/reproducible.cmake; scripts/check-reproducible.sh shows it). The archives
# are packed by tools/packaging/archive.py rather than by CPack, whose archivers add files
# in the order the file system lists them; CPack's .deb sorts its members itself.
set(CPACK_PACKAGE_NAME casino)
set(CPACK_PACKAGE_VENDOR "The casino developers")
set(CPACK_PACKAGE_CONTACT "The casino developers <casino@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "roulette game with a pawnshop, in Russian")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)

if(EMSCRIPTEN)
  set(CPACK_PACKAGE_FILE_NAME casino-${PROJECT_VERSION}-web)
elseif(WIN32)
  set(CPACK_PACKAGE_FILE_NAME casino-${PROJECT_VERSION}-win64)
else()
  set(CPACK_PACKAGE_FILE_NAME casino-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()

set(packages_dir ${PROJECT_BINARY_DIR}/packages)
set(stage_dir ${packages_dir}/stage)
find_package(Python3 COMPONENTS Interpreter)
add_custom_target(packages)

# ---- The installed tree the archives and the installer are made from ----
if(Python3_Interpreter_FOUND)
  # Stripped, except for casino.exe, which is linked stripped: the MinGW strip would write
  # the time into its header again.
  if(WIN32)
    set(strip)
  else()
    set(strip --strip)
  endif()
  # The staged tree gets fixed permissions, whatever the umask: every folder 0755, every
  # file 0644, or 0755 when anyone may execute it. (Only a Unix host has a umask to undo.)
  if(CMAKE_HOST_UNIX)
    set(fix_permissions COMMAND chmod -R a=rX,u+w ${stage_dir})
  endif()
  add_custom_target(package_stage
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage_dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packages_dir}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} ${strip}
            --prefix ${stage_dir}/${CPACK_PACKAGE_FILE_NAME} > ${packages_dir}/stage.log
    ${fix_permissions}
    COMMENT "Installing into ${stage_dir}"
    VERBATIM)
  foreach(target casino make_sounds casino_data casino_changelog site)
    if(TARGET ${target})
      add_dependencies(package_stage ${target})
    endif()
  endforeach()

  # An archive of the installed tree: package_zip on Windows, package_web for the web (the
  # folder to put on a web server), package_tgz elsewhere.
  if(EMSCRIPTEN)
    set(archive_kind web)
    set(archive_format zip)
  elseif(WIN32)
    set(archive_kind zip)
    set(archive_format zip)
  else()
    set(archive_kind tgz)
    set(archive_format tar.gz)
  endif()
  add_custom_target(package_${archive_kind}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/packaging/archive.py ${archive_format}
            ${packages_dir}/${CPACK_PACKAGE_FILE_NAME}.${archive_format}
            ${stage_dir}/${CPACK_PACKAGE_FILE_NAME} ${CPACK_PACKAGE_FILE_NAME}
            --mtime ${CASINO_SOURCE_DATE_EPOCH}
    COMMENT "Packing ${CPACK_PACKAGE_FILE_NAME}.${archive_format}"
    VERBATIM)
  add_dependencies(package_${archive_kind} package_stage)
  add_dependencies(packages package_${archive_kind})
else()
  message(STATUS "casino: no Python 3, so no packages (Debian: apt-get install python3)")
endif()

# ---- Windows: the installer ----
# The upgrade code names the game for Windows Installer in every version there will ever
# be: it must never change. The product code comes from it and the version (a newer
# version replaces an older one, cmake/make_msi.cmake.in), the package code from the
# installer's contents.
set(CASINO_MSI_UPGRADE_CODE 1CB7A462-EA32-45A1-9C57-42D3B74CFEF7)
if(WIN32 AND Python3_Interpreter_FOUND AND NOT MSVC)
  # wixl builds it; msibuild (msitools) fills in what wixl leaves out of its tables.
  find_program(WIXL_PROGRAM wixl)
  find_program(MSIBUILD_PROGRAM msibuild)
  if(WIXL_PROGRAM AND MSIBUILD_PROGRAM)
    # casino.exe's own icon, made by the build (src/frontends/win32/CMakeLists.txt).
    set(CASINO_MSI_ICON ${CASINO_WIN32_ICON})
    # The installer's one language, the program's: Russian.
    set(CASINO_MSI_LANGUAGE 1049)
    configure_file(cmake/make_msi.cmake.in ${PROJECT_BINARY_DIR}/make_msi.cmake @ONLY)
    add_custom_target(package_msi
      COMMAND ${CMAKE_COMMAND} -P ${PROJECT_BINARY_DIR}/make_msi.cmake
      COMMENT "Building ${CPACK_PACKAGE_FILE_NAME}.msi"
      VERBATIM)
    add_dependencies(package_msi package_stage)
    add_dependencies(packages package_msi)
  else()
    message(STATUS "casino: no wixl or msibuild, so no Windows installer "
                   "(Debian: apt-get install wixl msitools)")
  endif()
endif()

# ---- Linux: the .deb ----
find_program(DPKG_PROGRAM dpkg)
if(NOT WIN32 AND NOT EMSCRIPTEN AND DPKG_PROGRAM)
  execute_process(COMMAND ${DPKG_PROGRAM} --print-architecture
                  OUTPUT_VARIABLE deb_architecture OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
  set(CPACK_DEBIAN_FILE_NAME casino_${PROJECT_VERSION}_${deb_architecture}.deb)
  # The prefix the manual page names (src/frontends/wx/CMakeLists.txt).
  if(NOT CASINO_DEB_PREFIX)
    set(CASINO_DEB_PREFIX /usr)
  endif()
  set(CPACK_PACKAGING_INSTALL_PREFIX ${CASINO_DEB_PREFIX})
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
  # CPack installs into a folder of its own, with the umask's permissions: the tree gets the
  # fixed ones before it is packed.
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_BINARY_DIR}/cpack_permissions.cmake)
  file(CONFIGURE OUTPUT ${CPACK_PRE_BUILD_SCRIPTS} CONTENT [[
execute_process(
  COMMAND chmod -R a=rX,u+w "${CPACK_TEMPORARY_DIRECTORY}"
  COMMAND_ERROR_IS_FATAL ANY)
]] @ONLY)
  # CPack takes the time of every member from SOURCE_DATE_EPOCH. The modes of the .deb's own
  # three members (debian-binary, control.tar.gz, data.tar.gz) it takes from the files it
  # writes for them, that is from the umask: it runs under umask 022.
  add_custom_target(package_deb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packages_dir}
    COMMAND sh -c "umask 022 && exec \"$@\"" sh
            ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CASINO_SOURCE_DATE_EPOCH}
            ${CMAKE_CPACK_COMMAND} -G DEB -B ${packages_dir}/cpack > ${packages_dir}/cpack.log
    COMMAND ${CMAKE_COMMAND} -E rename ${packages_dir}/cpack/${CPACK_DEBIAN_FILE_NAME}
            ${packages_dir}/${CPACK_DEBIAN_FILE_NAME}
    COMMENT "Building ${CPACK_DEBIAN_FILE_NAME}"
    VERBATIM)
  foreach(target casino make_sounds casino_data casino_changelog)
    if(TARGET ${target})
      add_dependencies(package_deb ${target})
    endif()
  endforeach()
  add_dependencies(packages package_deb)
  include(CPack)
endif()
