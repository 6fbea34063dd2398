# Builds anyone can check: the same source gives the same bytes, whatever the folder it is
# built in and whenever it is built.
#
# CASINO_SOURCE_DATE_EPOCH is the one time the build records (the packages' file times,
# the release date): SOURCE_DATE_EPOCH when the caller sets it, otherwise the time of the
# last commit, otherwise the time of this checkout's CMakeLists.txt.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(CASINO_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(
      COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE CASINO_SOURCE_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE git_status
      ERROR_QUIET)
    execute_process(
      COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE git_dir
      OUTPUT_STRIP_TRAILING_WHITESPACE
      ERROR_QUIET)
    # A new commit moves the time, so it makes the build configure again.
    if(git_status EQUAL 0 AND EXISTS "${git_dir}/logs/HEAD")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${git_dir}/logs/HEAD")
    endif()
  endif()
  if(NOT CASINO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt CASINO_SOURCE_DATE_EPOCH "%s" UTC)
  endif()
endif()
if(NOT CASINO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not '${CASINO_SOURCE_DATE_EPOCH}'")
endif()

# The release date in the forms the data files write it. string(TIMESTAMP) formats
# SOURCE_DATE_EPOCH when it is set, so it is set for these lines alone.
set(caller_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${CASINO_SOURCE_DATE_EPOCH})
string(TIMESTAMP CASINO_RELEASE_DATE "%Y-%m-%d" UTC)                         # AppStream
string(TIMESTAMP CASINO_RELEASE_MONTH "%B %Y" UTC)                           # manual page
string(TIMESTAMP CASINO_RELEASE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)   # changelog
set(ENV{SOURCE_DATE_EPOCH} "${caller_epoch}")

# No build folder in the binaries: the paths the compiler records (__FILE__, debug
# information) are written relative to the source and the build folder.
if(NOT MSVC)
  add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=" "-ffile-prefix-map=${PROJECT_BINARY_DIR}/=")
endif()
# The MinGW linker writes the time of the link into the program's header unless told not to
# (SOURCE_DATE_EPOCH instead, when it is set, but the build does not pass it on).
if(MINGW)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# Installed folders get the same permissions whatever the umask of whoever builds. CMake
# applies the umask all the same to the folders it makes on the way (3.25 does), so the
# packages' trees are given fixed permissions before they are packed (packaging.cmake).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
