# Emscripten's linker runs its JavaScript optimiser under Node, which must find the acorn
# parser. Debian's emscripten package does not bring its own: Debian keeps acorn in
# /usr/share/nodejs, which Node searches only when NODE_PATH says so. Configuring checks
# that the optimiser will find it, and says how to make it, rather than let the first link
# fail with "Cannot find module 'acorn'". Every link then runs with the NODE_PATH that
# configure found working, whatever the environment of the build.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 casino_node)
else()
  find_program(casino_node NAMES node nodejs)
endif()
if(NOT casino_node)
  message(FATAL_ERROR "Emscripten needs Node.js, which was not found (Debian 12: apt-get install nodejs)")
endif()
execute_process(
  COMMAND ${casino_node} -e "require.resolve('acorn', {paths: [process.argv[1]]})"
          ${EMSCRIPTEN_ROOT_PATH}/tools
  RESULT_VARIABLE acorn_missing
  OUTPUT_QUIET ERROR_QUIET)
if(acorn_missing)
  message(FATAL_ERROR
    "Emscripten's JavaScript optimiser will not find the acorn parser, so linking would fail. "
    "Debian keeps acorn in /usr/share/nodejs: configure again with NODE_PATH set, e.g. "
    "NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build/web")
endif()
if(DEFINED ENV{NODE_PATH})
  set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=$ENV{NODE_PATH}")
endif()
