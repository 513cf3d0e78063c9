# Stand-ins for the Windows headers that come before the real ones on a
# portable library's include path: each stops the build with an error, so the
# portable core cannot include a Windows header, nor a *_win32.h header that
# does, even where the cross compiler has them.
set(kelmo_no_windows ${CMAKE_BINARY_DIR}/no-windows-headers)
foreach(header windows.h windef.h winbase.h winuser.h wingdi.h winreg.h winnt.h commctrl.h
               prsht.h lzexpand.h)
  file(WRITE ${kelmo_no_windows}/${header}
       "#error \"portable code includes ${header}: Windows code goes in *_win32 files\"\n")
endforeach()

# kelmo_library(NAME SOURCES...): a static library of the portable core,
# built with the product flags. Headers are included by their path below
# src/, a folder's own by their name.
function(kelmo_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${KELMO_PRODUCT_FLAGS})
  target_include_directories(${name} BEFORE PRIVATE ${kelmo_no_windows})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
endfunction()

# kelmo_win32_library(NAME SOURCES...): a static library of code that acts
# through the platform, from *_win32.cpp files.
function(kelmo_win32_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${KELMO_PRODUCT_FLAGS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
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
