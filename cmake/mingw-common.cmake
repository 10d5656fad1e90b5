# Shared part of the MinGW-w64 toolchain files. The -posix compilers are used
# because the test framework needs std::mutex.
set(CMAKE_C_COMPILER ${KW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KW_TRIPLET}-windres)
set(KW_DLLTOOL ${KW_TRIPLET}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${KW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
