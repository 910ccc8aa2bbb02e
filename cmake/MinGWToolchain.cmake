# What the two MinGW-w64 cross builds share (posix thread model: GoogleTest
# needs std::mutex). Included by cmake/mingw-x86_64.cmake and
# cmake/mingw-i686.cmake, which name the processor and the compilers' triplet.
set(CMAKE_SYSTEM_NAME Windows)
set(VARKEL_MINGW_PREFIX ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${VARKEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARKEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARKEL_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARKEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
