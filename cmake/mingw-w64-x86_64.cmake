# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (POSIX threads, so that
# std::thread and the C++ runtime match the Qt built with the same compiler).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OVS_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OVS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OVS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OVS_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OVS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
