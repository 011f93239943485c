# Cross-building for 64-bit Windows with Debian's mingw-w64 (make windows):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# The -posix compilers: GCC 12's default (-win32) thread model has no
# std::thread or std::mutex. Everything is linked statically, so the programs
# need only the DLLs that come with Windows. Test programs run under Wine with
# a prefix of their own in the build folder (cmake/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELM_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELM_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELM_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${VELM_MINGW_HOST}-windres)

# The libraries cross-built from Debian's sources (cmake/windows-libs.sh).
set(VELM_WINDOWS_LIBS "${CMAKE_BINARY_DIR}/deps/prefix" CACHE PATH
    "Folder of the cross-built zlib, libpng and SDL 1.2 (include/, lib/)")
set(CMAKE_FIND_ROOT_PATH /usr/${VELM_MINGW_HOST} ${VELM_WINDOWS_LIBS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config finds those (as libpng and sdl, the Linux build's names) and
# nothing else. Not from the compiler checks, which read this file again with
# a scratch folder for the build folder.
get_property(VELM_IN_TRY_COMPILE GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT VELM_IN_TRY_COMPILE)
  set(ENV{PKG_CONFIG_LIBDIR} ${VELM_WINDOWS_LIBS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# M_PI and the other constants of <cmath>, which -std=c++20 hides on mingw,
# and the C library's reentrant localtime_r. GCC 12's -Wrestrict misreads
# libstdc++'s own string building at -O3 (GCC bug 105329), here only.
set(CMAKE_CXX_FLAGS_INIT "-D_USE_MATH_DEFINES -D_POSIX_THREAD_SAFE_FUNCTIONS -Wno-restrict")

# Tests and test discovery run Windows programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
