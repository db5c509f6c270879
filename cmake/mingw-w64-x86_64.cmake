# Toolchain for 64-bit Windows with Debian's mingw-w64 (the POSIX threads compilers).
# Headers, libraries and CMake packages come only from the mingw-w64 system root and the
# folders of CMAKE_PREFIX_PATH, never from the build machine's own; programs link the C,
# C++ and thread runtimes statically, so they need only the DLLs Windows ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZIRCON_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZIRCON_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIRCON_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIRCON_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZIRCON_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config, where a build asks it, sees only the .pc files of the prefixes and the
# system root.
set(_zircon_pc_dirs "")
foreach(_zircon_prefix IN LISTS CMAKE_PREFIX_PATH)
  list(APPEND _zircon_pc_dirs ${_zircon_prefix}/lib/pkgconfig ${_zircon_prefix}/share/pkgconfig)
endforeach()
list(APPEND _zircon_pc_dirs /usr/${ZIRCON_MINGW_TRIPLE}/lib/pkgconfig)
list(JOIN _zircon_pc_dirs ":" _zircon_pc_dirs)
set(ENV{PKG_CONFIG_LIBDIR} "${_zircon_pc_dirs}")
unset(ENV{PKG_CONFIG_PATH})

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
