# Cross toolchain for the shipped program: 32-bit Windows, MinGW-w64. The
# posix thread model is needed by GoogleTest in the test programs only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELMO_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KELMO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELMO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELMO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KELMO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine-run)
