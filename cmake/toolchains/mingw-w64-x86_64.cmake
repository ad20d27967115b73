# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which
# std::thread and std::mutex need). Used both for the static Qt that scripts/windows-toolchain
# builds and, through that Qt's qt.toolchain.cmake, for the program itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_qlq_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_qlq_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_qlq_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_qlq_mingw}-windres)
set(CMAKE_AR ${_qlq_mingw}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_qlq_mingw}-ranlib CACHE FILEPATH "")

# Headers and libraries come from the MinGW sysroot (and from the Qt prefix, which Qt's own
# toolchain file appends); programs such as moc and rcc are the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_qlq_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The libgcc, libstdc++ and winpthread DLLs are not shipped with the program: link them in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine when it is installed.
find_program(QLQ_WINE wine)
if(QLQ_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QLQ_WINE})
endif()
