# The graphic screen's font tables: tools/make_fonts reads the bitmap fonts
# graphic/fonts.txt names (from the X11 misc fonts of Debian's xfonts-base)
# with FreeType and writes font_tables.cpp into the build folder.
#
#   pixelvane_font_tables(OUTPUT_VARIABLE)
#
# sets OUTPUT_VARIABLE to the generated source. The tool runs on the build
# machine: the native tree builds it as a target of its own; the Windows
# tree (a cross compiler) and the fuzzing tree (whose every object carries
# the sanitizers' hooks) compile it with the build machine's C++ compiler.
# FreeType stays in the tool and the native tests, never in the plug-in.

set(PIXELVANE_FONT_DIR "/usr/share/fonts/X11/misc" CACHE PATH "The X11 misc fonts (xfonts-base)")
set(MAKE_FONTS_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/make_fonts.cpp
  ${PROJECT_SOURCE_DIR}/tools/bitmap_font.cpp
  ${PROJECT_SOURCE_DIR}/tools/font_list.cpp)
set(FONT_LIST ${PROJECT_SOURCE_DIR}/graphic/fonts.txt)

function(pixelvane_font_tables output_variable)
  # The font files, for a clear message at configure time when one is missing
  # and for the build to redo the tables when one changes.
  file(STRINGS ${FONT_LIST} font_lines REGEX "^[A-Za-z_]")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${FONT_LIST})
  set(font_files)
  foreach(line ${font_lines})
    string(REGEX REPLACE "^[^ \t]+[ \t]+([^ \t]+).*" "\\1" file "${line}")
    if(NOT EXISTS ${PIXELVANE_FONT_DIR}/${file})
      message(FATAL_ERROR "no font ${PIXELVANE_FONT_DIR}/${file}: run scripts/install-deps (xfonts-base)")
    endif()
    list(APPEND font_files ${PIXELVANE_FONT_DIR}/${file})
  endforeach()

  if(WIN32 OR PIXELVANE_FUZZ)
    find_program(PIXELVANE_HOST_CXX NAMES g++ c++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    find_program(PIXELVANE_PKG_CONFIG pkg-config NO_CMAKE_FIND_ROOT_PATH)
    set(freetype_cflags)
    set(freetype_libs)
    if(PIXELVANE_PKG_CONFIG)
      execute_process(COMMAND ${PIXELVANE_PKG_CONFIG} --cflags freetype2
        OUTPUT_VARIABLE freetype_cflags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE cflags_status)
      execute_process(COMMAND ${PIXELVANE_PKG_CONFIG} --libs freetype2
        OUTPUT_VARIABLE freetype_libs OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE libs_status)
      if(NOT cflags_status EQUAL 0 OR NOT libs_status EQUAL 0)
        set(freetype_cflags)
        set(freetype_libs)
      endif()
    endif()
    if(NOT freetype_libs)
      if(NOT EXISTS /usr/include/freetype2/ft2build.h)
        message(FATAL_ERROR "no FreeType for the build machine: run scripts/install-deps (libfreetype-dev)")
      endif()
      set(freetype_cflags -I/usr/include/freetype2)
      set(freetype_libs -lfreetype)
    endif()
    separate_arguments(freetype_cflags UNIX_COMMAND "${freetype_cflags}")
    separate_arguments(freetype_libs UNIX_COMMAND "${freetype_libs}")
    set(tool ${CMAKE_CURRENT_BINARY_DIR}/make_fonts-host)
    add_custom_command(OUTPUT ${tool}
      COMMAND ${PIXELVANE_HOST_CXX} -std=c++17 -O2 -Wall -Wextra ${freetype_cflags}
              ${MAKE_FONTS_SOURCES} -o ${tool} ${freetype_libs}
      DEPENDS ${MAKE_FONTS_SOURCES}
              ${PROJECT_SOURCE_DIR}/tools/bitmap_font.h ${PROJECT_SOURCE_DIR}/tools/font_list.h
      COMMENT "Compiling make_fonts for the build machine"
      VERBATIM)
  else()
    find_package(Freetype REQUIRED)
    add_executable(make_fonts ${MAKE_FONTS_SOURCES})
    target_link_libraries(make_fonts PRIVATE Freetype::Freetype)
    set(tool make_fonts)
  endif()

  set(output ${CMAKE_CURRENT_BINARY_DIR}/font_tables.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${tool} ${FONT_LIST} ${PIXELVANE_FONT_DIR} ${output}
    DEPENDS ${tool} ${FONT_LIST} ${font_files}
    COMMENT "Writing the font tables from graphic/fonts.txt"
    VERBATIM)
  set(${output_variable} ${output} PARENT_SCOPE)
endfunction()
