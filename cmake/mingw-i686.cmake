# Cross build for 32-bit Windows: the product.
set(mingw_arch i686)
set(mingw_bits 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
