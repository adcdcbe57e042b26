set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The oldest Windows the binaries load on, which CMakeLists.txt writes into their PE headers:
# Windows XP.
set(WINDOWS_MINIMUM_MAJOR 5)
set(WINDOWS_MINIMUM_MINOR 1)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
