# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64, posix-threads flavour) and runs the built programs
# under Wine, so CTest and test discovery work from a Linux host. Every
# executable is linked with -static: mathdrill.exe needs no MinGW DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRILL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRILL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRILL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DRILL_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the MinGW tree only; programs
# (the build tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${DRILL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Wine runs the tests (wine-run.sh beside this file), in a prefix of the
# build tree's own, created on first use: that first start takes half a
# minute or more.
find_program(DRILL_WINE wine)
find_program(DRILL_WINESERVER wineserver)
if(DRILL_WINE AND DRILL_WINESERVER)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
endif()
