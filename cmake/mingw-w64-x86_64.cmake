# Cross build for 64-bit Windows with MinGW-w64 (Debian's posix-thread
# variant). CTest runs the programs under Wine through scripts/wine-run.sh,
# with the Wine prefixes inside the build folder.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ttm_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ttm_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ttm_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${ttm_mingw}-windres)
set(CMAKE_OBJDUMP ${ttm_mingw}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${ttm_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program stands alone: libgcc, libstdc++ and winpthread linked in,
# so that it needs only DLLs that Windows ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Small code (MinSizeRel adds -Os): each function and datum in its own
# section, the unused ones dropped at link time, symbols stripped.
# -Os also merges a class's two constructors into one (-fdeclone-ctor-dtor);
# GCC 16 then calls that merged constructor even of the std::string that
# libstdc++ instantiates itself, built without it, and the link fails. Only
# that merge is turned off; it saves less than a kilobyte here.
set(CMAKE_CXX_FLAGS_MINSIZEREL_INIT
    "-ffunction-sections -fdata-sections -fno-declone-ctor-dtor")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-Wl,--gc-sections -s")

# The wrapper's first argument is the folder of this build's Wine prefixes.
cmake_path(SET ttm_wine_run NORMALIZE
           "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${ttm_wine_run};${CMAKE_BINARY_DIR}/wine")
