set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The oldest Windows the binaries load on, which CMakeLists.txt writes into their PE headers:
# Windows XP x64 / Server 2003.
set(WINDOWS_MINIMUM_MAJOR 5)
set(WINDOWS_MINIMUM_MINOR 2)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
