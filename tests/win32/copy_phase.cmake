# Compressed driver files for the copy phase tests, made at build time by
# mscompress.
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
