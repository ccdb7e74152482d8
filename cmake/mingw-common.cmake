# Shared by both toolchain files; ZL_TRIPLE names the compiler prefix.
set(CMAKE_C_COMPILER ${ZL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every Windows program, test included, runs under Wine in the build's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
