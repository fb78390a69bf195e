# Windows (mingw-w64) builds: single-file programs that need only system DLLs.
if(NOT WIN32)
  return()
endif()

option(KESTRUNE_WIN_GC_SECTIONS "Drop unused functions and data at link time" ON)

# The zip holds the programs at its top, beside the licence and the read-me.
set(CMAKE_INSTALL_BINDIR .)
# windres finds the icon beside the resource script.
string(APPEND CMAKE_RC_FLAGS " -I${PROJECT_SOURCE_DIR}/packaging")

if(MINGW)
  # No libgcc_s_seh-1.dll, libstdc++-6.dll or libwinpthread-1.dll beside the programs.
  add_link_options(-static $<$<CONFIG:Release,MinSizeRel>:-s>)
  if(KESTRUNE_WIN_GC_SECTIONS)
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-Wl,--gc-sections)
  endif()
endif()
