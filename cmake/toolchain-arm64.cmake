# Cross build for 64-bit ARM (arm64, aarch64) with Debian's cross compilers
# (crossbuild-essential-arm64) against the arm64 libraries installed beside
# this machine's own (multiarch: libsdl1.2-compat-dev:arm64 and the like).
# Programs built here run on this machine through qemu-user:
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-arm64.cmake
set(VELM_CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VELM_CROSS_EMULATOR qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
