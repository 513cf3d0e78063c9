# kelmo_library(NAME SOURCES...): a static library of product code, built with
# the product flags. Its folder is on the include path of whoever links it.
function(kelmo_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${KELMO_PRODUCT_FLAGS})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
endfunction()

# GoogleTest for the Win32 test programs, built from Debian's source package
# with the cross compiler.
function(kelmo_win32_gtest)
  if(TARGET gtest)
    return()
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endfunction()

# kelmo_win32_test(NAME SOURCES... LIBS libs...): a GoogleTest program run
# under Wine by CTest, with a timeout so a dialog nobody answers fails the
# test instead of hanging.
function(kelmo_win32_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32/support)
  target_link_options(${name} PRIVATE -static)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS win32)
endfunction()
