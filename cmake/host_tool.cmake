# A build-time tool, run on the build machine: a target of this build, or, in a cross build,
# a project of its own (the tool's host/ folder) built with the build machine's compiler and
# run from there.
#   casino_host_tool(<name> <sources>...)
# sets <name>_command (what a custom command runs) and <name>_depends (what it must wait
# for) in the caller's scope. In a cross build the sources are host/'s to name.
function(casino_host_tool name)
  if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(host_dir ${CMAKE_CURRENT_BINARY_DIR}/host)
    ExternalProject_Add(${name}_host
      SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/host
      BINARY_DIR ${host_dir}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
      INSTALL_COMMAND ""
      BUILD_BYPRODUCTS ${host_dir}/${name}
      BUILD_ALWAYS OFF)
    set(${name}_command ${host_dir}/${name} PARENT_SCOPE)
    set(${name}_depends ${name}_host PARENT_SCOPE)
  else()
    add_executable(${name} ${ARGN})
    set(${name}_command ${name} PARENT_SCOPE)
    set(${name}_depends ${name} PARENT_SCOPE)
  endif()
endfunction()
