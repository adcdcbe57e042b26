# Shared part of the two MinGW-w64 toolchain files; TOOLCHAIN_PREFIX names the target triple.
# The win32 thread model: the posix one links winpthreads, which imports functions that Windows XP
# lacks (GetTickCount64). Its C++ library has no std::thread or std::mutex; the code uses Win32 threads.
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
