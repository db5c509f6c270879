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

# _zircon_public(NAME HEADERS ARCHIVE): the target NAME the project links, with the header
# folders HEADERS (a list) and the archive target ARCHIVE.
function(_zircon_public name headers archive)
  add_library(${name} INTERFACE IMPORTED)
  set_target_properties(${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${headers}"
    INTERFACE_LINK_LIBRARIES ${archive})
endfunction()

_zircon_public(ZLIB::ZLIB "${ZIRCON_WIN_ZLIB_INCLUDE}" zircon_win_zlib)
_zircon_public(PNG::PNG "${ZIRCON_WIN_PNG_INCLUDE};${ZIRCON_WIN_ZLIB_INCLUDE}" zircon_win_png)
_zircon_public(PkgConfig::SDL2 "${ZIRCON_WIN_SDL2_INCLUDE}" zircon_win_sdl2)
_zircon_public(PkgConfig::SDL2_MIXER "${ZIRCON_WIN_SDL2_MIXER_INCLUDE};${ZIRCON_WIN_SDL2_INCLUDE}"
               zircon_win_sdl2_mixer)

# The headers GL/gl.h and GL/glu.h come with mingw-w64.
add_library(OpenGL::GL INTERFACE IMPORTED)
set_target_properties(OpenGL::GL PROPERTIES INTERFACE_LINK_LIBRARIES opengl32)
add_library(OpenGL::GLU INTERFACE IMPORTED)
set_target_properties(OpenGL::GLU PROPERTIES INTERFACE_LINK_LIBRARIES "glu32;OpenGL::GL")
# What FindOpenGL sets and the engine's CMake lists use.
set(OPENGL_FOUND TRUE)
set(OPENGL_glu_LIBRARY OpenGL::GLU)
