# Cross-compiles gnutil for 32-bit Windows with mingw-w64 (posix threads
# flavour, needed for std::thread) and runs what it builds under Wine:
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
#
# The C++ library is linked into each module, but every module shares the
# compiler's unwinder, libgcc_s_dw2-1.dll (which needs libwinpthread-1.dll):
# 32-bit mingw unwinds with DWARF tables that each copy of a static libgcc
# registers for its own module only, so an exception thrown inside gnutil.dll
# (GMemoryException) would end the program instead of reaching its catch.
# The build copies both DLLs beside gnutil.dll and installs them with it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(GNUTIL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${GNUTIL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GNUTIL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GNUTIL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GNUTIL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every processor that runs a current 32-bit Windows has SSE2; the converters'
# vector paths use it (without it gcc also warns that vector returns change
# the ABI).
set(CMAKE_C_FLAGS_INIT "-msse2")
set(CMAKE_CXX_FLAGS_INIT "-msse2")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -shared-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libstdc++ -shared-libgcc")

# Test programs, test discovery and tool tests run through Wine. The runner
# (scripts/test-windows.sh) provides the prefix, the display and the user.
find_program(GNUTIL_WINE wine)
if(GNUTIL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GNUTIL_WINE})
endif()
