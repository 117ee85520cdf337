# Debian's arm64: apt-get install g++-aarch64-linux-gnu qemu-user-static musl-dev:arm64
# (after dpkg --add-architecture arm64). The tests run under the emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# -L: where the emulator finds the dynamic loader, for programs that need one.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/aarch64-linux-gnu)
