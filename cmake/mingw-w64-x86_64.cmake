# Cross-builds velm's Windows programs (x86-64) with Debian's mingw-w64 g++
# (package g++-mingw-w64-x86-64-posix; the posix flavour has std::thread,
# which OpenMP needs). Use it through the "windows" preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELM_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELM_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross tree only; programs (the host's
# cmake, wine) and files that are data, such as the charting script that
# velm-report compiles in, from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VELM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The executables carry the C and C++ runtimes, winpthreads and OpenMP, so
# that they import only the system's DLLs and run from any folder.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# OpenMP's detection would pick the import library of libgomp-1.dll even
# under -static; the archive links the runtime into the program.
execute_process(
  COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgomp.a
  OUTPUT_VARIABLE VELM_STATIC_GOMP OUTPUT_STRIP_TRAILING_WHITESPACE)
set(OpenMP_gomp_LIBRARY ${VELM_STATIC_GOMP} CACHE FILEPATH
    "libgomp linked statically into the Windows programs")
