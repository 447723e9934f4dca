# Cross toolchain for Windows with MinGW-w64 (posix threads for std::thread).
# TF_ARCH is x86_64 (the program we ship) or i686 (the 32-bit
# compatibility build; see README).
if(NOT TF_ARCH)
  set(TF_ARCH $ENV{TF_ARCH})
endif()
if(NOT TF_ARCH)
  set(TF_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
if(TF_ARCH STREQUAL "x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(TOOLCHAIN_PREFIX ${TF_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

# TF_DEPS_PREFIX is where scripts/build-deps installs the cross-built libraries.
if(NOT TF_DEPS_PREFIX AND DEFINED ENV{TF_DEPS_PREFIX})
  set(TF_DEPS_PREFIX $ENV{TF_DEPS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${TF_DEPS_PREFIX})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TF_DEPS_PREFIX TF_ARCH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every library is linked in: a clean Windows has no zlib1.dll (Wine has),
# and libz-mingw-w64-dev ships its import library beside the static one.
set(ZLIB_USE_STATIC_LIBS ON)
