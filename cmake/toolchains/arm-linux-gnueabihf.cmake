# The libretro core for 32-bit ARM Linux, hard float.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(TRIPLE arm-linux-gnueabihf)
set(QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
