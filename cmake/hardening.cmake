# Debian's hardening, as a Debian package's build gets it: the flags of dpkg-buildflags with
# every hardening feature on (DEB_BUILD_MAINT_OPTIONS=hardening=+all): _FORTIFY_SOURCE, the
# strong stack protector, format-string checks, full RELRO with BINDNOW (and PIE, which
# Debian's compilers make by default); and CET (-fcf-protection), which dpkg-buildflags adds
# on amd64 and i386 from dpkg 1.22 on, Debian 12's 1.21 not yet.
#
# They apply where a Debian package could be built: an optimised build for Linux by GCC or
# Clang on a machine with dpkg-buildflags. Not a Debug build (_FORTIFY_SOURCE needs the
# optimiser), not a cross or Emscripten build, not a sanitizer build (the sanitizers
# intercept what _FORTIFY_SOURCE replaces). dpkg-buildflags's -g, -O2 and its prefix map
# are left out: the build type sets the optimisation, cmake/reproducible.cmake the maps.
# CASINO_HARDENING=OFF leaves the flags out.
option(CASINO_HARDENING "Build with Debian's hardening flags (dpkg-buildflags) where they apply" ON)

set(casino_hardened OFF)
find_program(DPKG_BUILDFLAGS_PROGRAM dpkg-buildflags)
if(CASINO_HARDENING AND DPKG_BUILDFLAGS_PROGRAM AND CMAKE_SYSTEM_NAME STREQUAL "Linux"
   AND NOT CMAKE_CROSSCOMPILING AND NOT EMSCRIPTEN AND NOT CASINO_SANITIZE
   AND CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang)$"
   AND NOT "${CMAKE_CXX_FLAGS} ${CMAKE_EXE_LINKER_FLAGS}" MATCHES "-fsanitize")
  set(casino_hardened ON)
endif()

if(casino_hardened)
  set(optimised "$<NOT:$<CONFIG:Debug>>")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${DPKG_BUILDFLAGS_PROGRAM} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^(-g.*|-O.*|-f(file|debug|macro)-prefix-map=.*)$")
    foreach(flag IN LISTS flags)
      if(kind STREQUAL "LDFLAGS")
        add_link_options("$<${optimised}:${flag}>")
      else()
        add_compile_options("$<${optimised}:${flag}>")
      endif()
      list(APPEND casino_hardening_flags ${flag})
    endforeach()
  endforeach()
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
    add_compile_options("$<${optimised}:-fcf-protection>")
    list(APPEND casino_hardening_flags -fcf-protection)
  endif()
  list(JOIN casino_hardening_flags " " casino_hardening_flags)
  message(STATUS "casino: Debian's hardening in optimised builds: ${casino_hardening_flags}")
endif()
