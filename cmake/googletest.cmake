# Native builds use Debian's prebuilt GoogleTest; the Windows cross build
# compiles it from Debian's sources with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest's own build already names its targets GTest::gtest(_main).
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(VN_NATIVE_TOOLS_DIR "${PROJECT_SOURCE_DIR}/build/debug" CACHE PATH
    "Native build tree holding brantelmoor-sim and the pty shim for the tests under wine")
  # A private wine prefix per build tree, made once before the tests use it
  # (tests starting wine at the same time on a new prefix would race).
  set(VN_WINE_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all")
  add_test(NAME wine_prefix_setup COMMAND wineboot --init)
  set_tests_properties(wine_prefix_setup PROPERTIES
    ENVIRONMENT "${VN_WINE_ENVIRONMENT}" FIXTURES_SETUP wine_prefix LABELS wine TIMEOUT 300)
endif()

# One executable per source area. Natively every test case is its own CTest
# entry; under wine the whole executable is one entry, because discovering
# cases would start wine once per case.
function(vn_add_test_executable name label)
  add_executable(${name} ${ARGN})
  vn_target_defaults(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "wine;${label}" TIMEOUT 600
      ENVIRONMENT "${VN_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine_prefix)
  else()
    target_precompile_headers(${name} REUSE_FROM vn_test_pch)
    # A test that hangs fails after five minutes instead of holding up the run.
    gtest_discover_tests(${name} PROPERTIES LABELS ${label} TIMEOUT 300 DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
