# What Debian's cross toolchains share, included by toolchain-<arch>.cmake once
# it has set VELM_CROSS_TRIPLET (the GNU triplet, as in /usr/lib/<triplet>),
# CMAKE_SYSTEM_PROCESSOR and VELM_CROSS_EMULATOR (the qemu-user program).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${VELM_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VELM_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${VELM_CROSS_TRIPLET})

# The architecture's libraries live in the host's own tree (multiarch), so
# there is no separate root: headers from /usr/include, libraries from
# /usr/lib/<triplet>, and pkg-config reads only that architecture's files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${VELM_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

# Tests (and gtest's discovery) start the programs through qemu-user. Without
# -L: the programs then load the multiarch C library through its own loader,
# where pairing the cross toolchain's loader with it hangs the first thread
# the program starts.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELM_CROSS_EMULATOR})
