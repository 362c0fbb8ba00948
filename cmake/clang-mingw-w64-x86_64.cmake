# Cross build of the Windows executable and its tests with clang and lld, against the same
# mingw-w64 headers and libraries and the same GCC C++ runtime (posix threads) as
# cmake/mingw-w64-x86_64.cmake, so that only the compiler and the linker differ.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(SYSROOT /usr/${TOOLCHAIN_PREFIX})
# Left alone, clang looks for the GCC runtime in a folder named by version alone and falls
# back on the host's own headers; so the posix variant's folder is named here.
file(GLOB GCC_RUNTIME_DIRS /usr/lib/gcc/${TOOLCHAIN_PREFIX}/*-posix)
if(NOT GCC_RUNTIME_DIRS)
  message(FATAL_ERROR "no /usr/lib/gcc/${TOOLCHAIN_PREFIX}/*-posix: install g++-mingw-w64-x86-64-posix")
endif()
list(SORT GCC_RUNTIME_DIRS COMPARE NATURAL ORDER DESCENDING)
list(GET GCC_RUNTIME_DIRS 0 GCC_RUNTIME_DIR)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_SYSROOT ${SYSROOT})
set(CMAKE_CXX_FLAGS_INIT "-stdlib++-isystem ${GCC_RUNTIME_DIR}/include/c++ \
-stdlib++-isystem ${GCC_RUNTIME_DIR}/include/c++/${TOOLCHAIN_PREFIX} \
-stdlib++-isystem ${GCC_RUNTIME_DIR}/include/c++/backward")
# -pthread links the threads library, which the GCC driver of the posix variant does unasked.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -pthread -L${GCC_RUNTIME_DIR}")
endforeach()

# The resource compiler that comes with this clang, which preprocesses with it.
find_program(CLANG_PATH clang++ REQUIRED)
get_filename_component(CLANG_PATH ${CLANG_PATH} REALPATH)
get_filename_component(LLVM_BIN ${CLANG_PATH} DIRECTORY)
set(CMAKE_RC_COMPILER ${LLVM_BIN}/llvm-windres)
set(CMAKE_RC_FLAGS_INIT "--target=${TOOLCHAIN_PREFIX}")
# The objdump whose output cmake/CheckImports.cmake reads, as in the GCC build.
set(CMAKE_OBJDUMP ${TOOLCHAIN_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH ${SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine inside the session that scripts/wine-session.sh prepares.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
