# Debian's i386: apt-get install g++-i686-linux-gnu qemu-user-static musl-dev:i386
# (after dpkg --add-architecture i386). The tests run under the emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
# -L: where the emulator finds the dynamic loader, for programs that need one.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static -L /usr/i686-linux-gnu)
