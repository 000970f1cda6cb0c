# Cross build for 32-bit Windows with MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})

# libjpeg-turbo and libcurl come from scripts/build-deps.sh, which installs
# them into their own prefix (build/deps/i686). Searches below are confined
# to the find roots, so the prefix has to be a root itself; it goes first so
# that our builds win over anything a mingw-w64 package puts in the sysroot.
if(SCOURLY_DEPS_PREFIX)
  if(NOT IS_ABSOLUTE "${SCOURLY_DEPS_PREFIX}")
    message(FATAL_ERROR "SCOURLY_DEPS_PREFIX must be an absolute path: ${SCOURLY_DEPS_PREFIX}")
  endif()
  list(PREPEND CMAKE_FIND_ROOT_PATH "${SCOURLY_DEPS_PREFIX}")
  # try_compile re-reads this file in a fresh project; hand the prefix on.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SCOURLY_DEPS_PREFIX)
  list(REMOVE_DUPLICATES CMAKE_TRY_COMPILE_PLATFORM_VARIABLES)
endif()

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
