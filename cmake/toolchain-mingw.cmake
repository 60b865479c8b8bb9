# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix threads model, so
# std::thread and std::mutex work). Executables link the compiler's runtime statically
# so they run under Wine (or on Windows) with no DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VUTIL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VUTIL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VUTIL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VUTIL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VUTIL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib's static archive, not the import library of a DLL nobody ships.
set(ZLIB_LIBRARY /usr/${VUTIL_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${VUTIL_MINGW_TRIPLE}/include CACHE PATH "")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Tests and the CLI run through Wine with the build's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
