# 64-bit Windows with MinGW-w64: a test vehicle for machines that run no
# 32-bit program, never shipped (the shipped files come from the i686 tree).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
