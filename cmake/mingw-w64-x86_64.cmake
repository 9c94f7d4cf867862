# Cross-compiles the Windows programs (x86-64) with MinGW-w64 and its POSIX-threads runtime,
# linked statically so that each .exe runs on its own, and runs what the build runs (the tests)
# under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No DLLs of the compiler's runtime (libstdc++, libgcc, winpthread) to ship beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine with a prefix (its C: drive and registry) of the build's own, made on the first run, so
# that a fresh build folder tests in a fresh Windows; quiet, and without the .NET and HTML
# engines that a new prefix would otherwise offer to install.
find_program(QUORVANE_WINE NAMES wine)
set(QUORVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
if(QUORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEDEBUG=-all WINEPREFIX=${QUORVANE_WINE_PREFIX} WINEDLLOVERRIDES=mscoree,mshtml=
      ${QUORVANE_WINE})
endif()
