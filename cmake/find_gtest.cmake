# GoogleTest must be compiled with the standard library the tests use. Debian's prebuilt
# libraries are for libstdc++, so a build against libc++ compiles the sources Debian ships
# with them (package googletest, /usr/src/googletest) instead. Either way it sets GTest_FOUND
# and makes the GTest::gtest and GTest::gtest_main targets.
include(CheckCXXSymbolExists)
check_cxx_symbol_exists(_LIBCPP_VERSION "version" casino_uses_libcxx)
set(casino_gtest_sources /usr/src/googletest)
if(casino_uses_libcxx AND EXISTS ${casino_gtest_sources}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${casino_gtest_sources} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own build names its targets GTest::gtest and GTest::gtest_main too.
  set(GTest_FOUND TRUE)
else()
  find_package(GTest)
endif()
