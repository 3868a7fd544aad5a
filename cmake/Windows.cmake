# The Windows build (scripts/build-win.sh): the game, the server and the bots
# cross-compiled with mingw-w64 against the dependency stack in
# BLAST_WIN_PREFIX. Data files are not generated here: the Linux build's
# data/ is staged beside the programs, byte for byte the same.
if(NOT BLAST_WIN_PREFIX)
  message(FATAL_ERROR "BLAST_WIN_PREFIX must name the dependency stack (scripts/win/stack.sh)")
endif()
set(BLAST_TESTS OFF CACHE BOOL "" FORCE)

# The stack's libraries as the targets the Linux build takes from pkg-config.
function(blast_win_library target)
  cmake_parse_arguments(A "" "" "INCLUDES;LIBS;DEFINES" ${ARGN})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  foreach(dir ${A_INCLUDES})
    target_include_directories(${target} INTERFACE ${BLAST_WIN_PREFIX}/include/${dir})
  endforeach()
  foreach(lib ${A_LIBS})
    target_link_libraries(${target} INTERFACE ${BLAST_WIN_PREFIX}/lib/lib${lib}.dll.a)
  endforeach()
  target_compile_definitions(${target} INTERFACE ${A_DEFINES})
endfunction()

# Our own main() is the entry point: no SDL2main.
blast_win_library(PkgConfig::SDL2 INCLUDES . SDL2 LIBS SDL2 DEFINES SDL_MAIN_HANDLED)
blast_win_library(PkgConfig::SDL2_TTF INCLUDES SDL2 LIBS SDL2_ttf)
target_link_libraries(PkgConfig::SDL2_TTF INTERFACE PkgConfig::SDL2)
blast_win_library(PkgConfig::SDL2_MIXER INCLUDES SDL2 LIBS SDL2_mixer)
target_link_libraries(PkgConfig::SDL2_MIXER INTERFACE PkgConfig::SDL2)
# Replay files are deflated with zlib (zlib1.dll).
blast_win_library(ZLIB::ZLIB INCLUDES . LIBS zlib)

# The C and C++ run-times go into each program, so bin/ needs fewer DLLs.
add_link_options(-static-libgcc -static-libstdc++)

# Without these, mingw's GL/gl.h pulls in all of <windows.h>, whose macros
# (VK_ESCAPE, SC_SCREENSAVE, min, max...) clash with the game's own names.
add_compile_definitions("WINGDIAPI=__declspec(dllimport)" "APIENTRY=__stdcall" "CALLBACK=__stdcall")

