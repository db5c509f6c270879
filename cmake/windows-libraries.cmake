# The Windows build's libraries: static zlib, libpng, SDL2, mpg123 and SDL2_mixer in a
# folder of CMAKE_PREFIX_PATH (made by scripts/windows --libs-only), and Windows' own
# OpenGL. Defines the targets the native build gets from pkg-config and CMake's find
# modules, under the same names, each with its headers and its whole static link line.

# Looked for only in the folders of CMAKE_PREFIX_PATH, and anew at each configure, so
# that a changed CMAKE_PREFIX_PATH takes effect.
set(_zircon_where NO_CMAKE_ENVIRONMENT_PATH NO_SYSTEM_ENVIRONMENT_PATH NO_CMAKE_SYSTEM_PATH)
function(_zircon_missing file)
  message(FATAL_ERROR "${file} is not in CMAKE_PREFIX_PATH (${CMAKE_PREFIX_PATH}): give "
                      "it the library folder that scripts/windows --libs-only prints")
endfunction()

# _zircon_headers(VAR FILE [SUFFIX]): VAR is the folder holding the header FILE, in
# include/ or include/SUFFIX.
function(_zircon_headers var file)
  unset(${var} CACHE)
  find_path(${var} ${file} PATH_SUFFIXES ${ARGN} ${_zircon_where})
  if(NOT ${var})
    _zircon_missing(${file})
  endif()
endfunction()

# _zircon_archive(NAME FILE [LIBRARY...]): the static library FILE as the target
# zircon_win_NAME, which links the LIBRARY items after it. Being library targets, the
# archives are put on the link line after every archive that needs them.
function(_zircon_archive name file)
  unset(ZIRCON_WIN_${name} CACHE)
  find_library(ZIRCON_WIN_${name} NAMES ${file} ${_zircon_where})
  if(NOT ZIRCON_WIN_${name})
    _zircon_missing(${file})
  endif()
  add_library(zircon_win_${name} STATIC IMPORTED)
  set_target_properties(zircon_win_${name} PROPERTIES
    IMPORTED_LOCATION "${ZIRCON_WIN_${name}}"
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

_zircon_headers(ZIRCON_WIN_ZLIB_INCLUDE zlib.h)
_zircon_headers(ZIRCON_WIN_PNG_INCLUDE png.h libpng16)
_zircon_headers(ZIRCON_WIN_SDL2_INCLUDE SDL.h SDL2)
_zircon_headers(ZIRCON_WIN_SDL2_MIXER_INCLUDE SDL_mixer.h SDL2)

_zircon_archive(zlib libz.a)
_zircon_archive(png libpng16.a zircon_win_zlib)
# SDL2 calls these Windows libraries (its installed sdl2.pc lists them). No SDL2main: the
# program has its own main() and calls SDL_SetMainReady().
_zircon_archive(sdl2 libSDL2.a user32 gdi32 winmm imm32 ole32 oleaut32 version uuid advapi32
                setupapi shell32 dinput8)
# mpg123's file name functions need shlwapi.
_zircon_archive(mpg123 libmpg123.a shlwapi)
_zircon_archive(sdl2_mixer libSDL2_mixer.a zircon_win_mpg123 zircon_win_sdl2)

add_library(ZLIB::ZLIB INTERFACE IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${ZIRCON_WIN_ZLIB_INCLUDE}"
  INTERFACE_LINK_LIBRARIES zircon_win_zlib)

add_library(PNG::PNG INTERFACE IMPORTED)
set_target_properties(PNG::PNG PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${ZIRCON_WIN_PNG_INCLUDE};${ZIRCON_WIN_ZLIB_INCLUDE}"
  INTERFACE_LINK_LIBRARIES zircon_win_png)

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
set_target_properties(PkgConfig::SDL2 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${ZIRCON_WIN_SDL2_INCLUDE}"
  INTERFACE_LINK_LIBRARIES zircon_win_sdl2)

add_library(PkgConfig::SDL2_MIXER INTERFACE IMPORTED)
set_target_properties(PkgConfig::SDL2_MIXER PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${ZIRCON_WIN_SDL2_MIXER_INCLUDE};${ZIRCON_WIN_SDL2_INCLUDE}"
  INTERFACE_LINK_LIBRARIES zircon_win_sdl2_mixer)

# The headers GL/gl.h and GL/glu.h come with mingw-w64.
add_library(OpenGL::GL INTERFACE IMPORTED)
set_target_properties(OpenGL::GL PROPERTIES INTERFACE_LINK_LIBRARIES opengl32)
add_library(OpenGL::GLU INTERFACE IMPORTED)
set_target_properties(OpenGL::GLU PROPERTIES INTERFACE_LINK_LIBRARIES "glu32;OpenGL::GL")
# What FindOpenGL sets and the engine's CMake lists use.
set(OPENGL_FOUND TRUE)
set(OPENGL_glu_LIBRARY OpenGL::GLU)
