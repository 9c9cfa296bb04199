# Cross build for 64-bit Windows: the tests where Wine cannot start 32-bit programs.
set(mingw_arch x86_64)
set(mingw_bits 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
