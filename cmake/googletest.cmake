# Native builds use Debian's prebuilt GoogleTest; the Windows cross build
# compiles it from Debian's sources with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# One executable per source area. Natively every test case is its own CTest
# entry; under wine the whole executable is one entry, because discovering
# cases would start wine once per case.
function(vn_add_test_executable name label)
  add_executable(${name} ${ARGN})
  vn_target_defaults(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "wine;${label}" TIMEOUT 600)
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS ${label} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
