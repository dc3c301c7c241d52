# The Windows build, i686.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/i686-floating-point.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
