# Emscripten's linker runs its JavaScript optimiser under Node, which must find the acorn
# parser. Debian's emscripten package does not bring its own: Debian keeps acorn in
# /usr/share/nodejs, which Node searches only when NODE_PATH says so. Configuring checks
# that the optimiser will find it, looks in Debian's place when NODE_PATH is not set, and
# otherwise says what to do, rather than let the first link fail with "Cannot find module
# 'acorn'". Every link then runs with the NODE_PATH found working, whatever the build's
# environment, and so does a configure that the build itself starts again.
if(DEFINED ENV{NODE_PATH})
  set(CASINO_NODE_PATH "$ENV{NODE_PATH}" CACHE STRING "NODE_PATH for Emscripten's tools" FORCE)
elseif(CASINO_NODE_PATH)
  set(ENV{NODE_PATH} "${CASINO_NODE_PATH}")
endif()
if(CMAKE_CROSSCOMPILING_EMULATOR)
  list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 casino_node)
else()
  find_program(casino_node NAMES node nodejs)
endif()
if(NOT casino_node)
  message(FATAL_ERROR "Emscripten needs Node.js, which was not found (Debian 12: apt-get install nodejs)")
endif()
# Whether Node finds acorn from Emscripten's tools with this NODE_PATH ("" for none).
function(casino_node_finds_acorn node_path result)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=${node_path} ${casino_node} -e
            "require.resolve('acorn', {paths: [process.argv[1]]})" ${EMSCRIPTEN_ROOT_PATH}/tools
    RESULT_VARIABLE missing
    OUTPUT_QUIET ERROR_QUIET)
  if(missing)
    set(${result} FALSE PARENT_SCOPE)
  else()
    set(${result} TRUE PARENT_SCOPE)
  endif()
endfunction()
casino_node_finds_acorn("$ENV{NODE_PATH}" casino_acorn_found)
if(NOT casino_acorn_found AND NOT DEFINED ENV{NODE_PATH})
  # Debian's place for Node's shared modules, where its emscripten package finds acorn.
  casino_node_finds_acorn(/usr/share/nodejs casino_acorn_found)
  if(casino_acorn_found)
    set(CASINO_NODE_PATH /usr/share/nodejs CACHE STRING "NODE_PATH for Emscripten's tools" FORCE)
  endif()
endif()
if(NOT casino_acorn_found)
  message(FATAL_ERROR
    "Emscripten's JavaScript optimiser will not find the acorn parser, so linking would fail. "
    "Install it (Debian 12: apt-get install node-acorn) or point NODE_PATH at it, e.g. "
    "NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build/web")
endif()
if(CASINO_NODE_PATH)
  set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=${CASINO_NODE_PATH}")
endif()
