# The project's version, written in project() and nowhere else, in the other forms the
# build needs it:
#   CASINO_VERSION_QUAD     1.2.3.0, as the Windows manifest writes it
#   CASINO_VERSION_COMMAS   1,2,3,0, as the Windows version record writes it
# and <build>/version.txt, which the scripts read.
set(quad)
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND quad 0)
  else()
    list(APPEND quad ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN quad "." CASINO_VERSION_QUAD)
list(JOIN quad "," CASINO_VERSION_COMMAS)

file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/version.txt CONTENT "@PROJECT_VERSION@\n" @ONLY)
