# Debian's armhf: apt-get install g++-arm-linux-gnueabihf qemu-user-static musl-dev:armhf
# (after dpkg --add-architecture armhf). The tests run under the emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
# -L: where the emulator finds the dynamic loader, for programs that need one.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm-static -L /usr/arm-linux-gnueabihf)
