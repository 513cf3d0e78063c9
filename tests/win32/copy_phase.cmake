# Compressed driver files for the copy phase tests, made at build time by
# mscompress, and the copy benchmark (built on request only).
set(copy_fixtures ${CMAKE_CURRENT_BINARY_DIR}/copy_fixtures)
add_custom_command(
  OUTPUT ${copy_fixtures}/display.dr_
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/make_copy_fixtures.sh ${copy_fixtures}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/make_copy_fixtures.sh
  COMMENT "Compressing the copy phase fixtures")
add_custom_target(copy_fixtures ALL DEPENDS ${copy_fixtures}/display.dr_)
if(TARGET win32_copy_phase_test)
  add_dependencies(win32_copy_phase_test copy_fixtures)
  target_compile_definitions(win32_copy_phase_test PRIVATE
                             KELMO_COPY_FIXTURES="${copy_fixtures}")
endif()

set(bench_files ${CMAKE_CURRENT_BINARY_DIR}/copy_bench_files)
add_custom_command(
  OUTPUT ${bench_files}/bench8.dr_
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/make_copy_fixtures.sh ${bench_files} bench
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/make_copy_fixtures.sh
  COMMENT "Compressing the copy benchmark files")
add_custom_target(copy_bench_files DEPENDS ${bench_files}/bench8.dr_)
add_executable(copy_bench EXCLUDE_FROM_ALL bench/copy_bench.cpp)
target_link_libraries(copy_bench PRIVATE install_win32 setupinfo_win32 comctl32 lz32 user32)
target_link_options(copy_bench PRIVATE -static)
add_dependencies(copy_bench copy_bench_files)
