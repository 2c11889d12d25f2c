# Cross build for 64-bit Windows with MinGW-w64 (the -posix thread variant,
# whose libstdc++ has std::thread and std::mutex). Executables are linked
# statically, so that they import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Libraries and packages come from the MinGW sysroot only: the host's would
# link Linux code into a Windows program.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Header-only packages that the sysroot lacks, lent by the host through the
# config files under mingw-w64/ (scenario-tool's command line and JSON).
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-w64/CLI11)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-w64/nlohmann_json)
