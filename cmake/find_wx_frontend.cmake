# Looks for what the wx front end needs: wxWidgets 3.2, GTK 3, libcanberra, ALSA, and the
# tools that make its icons (rsvg-convert, xxd). Sets
# casino_wx_found; when something is missing it says once which Debian packages to install.
set(casino_wx_found TRUE)
set(casino_wx_missing)

find_package(wxWidgets 3.2 QUIET COMPONENTS core base)
if(NOT wxWidgets_FOUND)
  list(APPEND casino_wx_missing libwxgtk3.2-dev)
endif()
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(CANBERRA QUIET IMPORTED_TARGET libcanberra)
  pkg_check_modules(ALSA QUIET IMPORTED_TARGET alsa)
  pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
endif()
if(NOT CANBERRA_FOUND)
  list(APPEND casino_wx_missing libcanberra-dev)
endif()
if(NOT ALSA_FOUND)
  list(APPEND casino_wx_missing libasound2-dev)
endif()
if(NOT GTK3_FOUND)
  list(APPEND casino_wx_missing libgtk-3-dev)
endif()
if(NOT PkgConfig_FOUND)
  list(APPEND casino_wx_missing pkg-config)
endif()
# The icons are rendered from tools/icon/casino.svg, the window's compiled in with xxd.
if(NOT RSVG_CONVERT_PROGRAM)
  list(APPEND casino_wx_missing librsvg2-bin)
endif()
find_program(XXD_PROGRAM xxd)
if(NOT XXD_PROGRAM)
  list(APPEND casino_wx_missing xxd)
endif()

if(casino_wx_missing)
  set(casino_wx_found FALSE)
  list(JOIN casino_wx_missing " " casino_wx_packages)
  message(WARNING "The Linux game is not built: its development files are missing. "
                  "On Debian 12: apt-get install ${casino_wx_packages} "
                  "(or configure with -DCASINO_WX=OFF to build only the core and its tests).")
endif()
