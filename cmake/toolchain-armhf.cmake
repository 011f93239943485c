# Cross build for 32-bit ARM with hardware floating point (armhf: Raspberry Pi
# OS 32-bit) with Debian's cross compilers (crossbuild-essential-armhf) against
# the armhf libraries installed beside this machine's own. Programs built here
# run on this machine through qemu-user:
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
set(VELM_CROSS_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(VELM_CROSS_EMULATOR qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
