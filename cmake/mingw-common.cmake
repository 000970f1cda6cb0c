# What the MinGW-w64 cross builds share; the toolchain file of each target
# sets CMAKE_SYSTEM_PROCESSOR and TOOLCHAIN_PREFIX, then includes this.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: only it has std::mutex and std::thread in GCC 12.
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})

# libjpeg-turbo and libcurl come from scripts/build-deps.sh, which installs
# them into a prefix of their own per target (build/deps/<processor>).
# Searches below are confined to the find roots, so the prefix has to be a
# root itself; it goes first so that our builds win over anything a
# mingw-w64 package puts in the sysroot.
if(SCOURLY_DEPS_PREFIX)
  if(NOT IS_ABSOLUTE "${SCOURLY_DEPS_PREFIX}")
    message(FATAL_ERROR "SCOURLY_DEPS_PREFIX must be an absolute path: ${SCOURLY_DEPS_PREFIX}")
  endif()
  list(PREPEND CMAKE_FIND_ROOT_PATH "${SCOURLY_DEPS_PREFIX}")
  # try_compile re-reads the toolchain file in a fresh project; hand the prefix on.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SCOURLY_DEPS_PREFIX)
  list(REMOVE_DUPLICATES CMAKE_TRY_COMPILE_PLATFORM_VARIABLES)
endif()

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
