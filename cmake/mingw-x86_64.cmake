# The same sources built as 64-bit Windows programs, for running the tests under 64-bit Wine.
set(HOPSTART_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
