# The graphic screen's fonts: tools/make_fonts reads the bitmap fonts
# graphic/fonts.txt names (from the X11 misc fonts of Debian's xfonts-base)
# with FreeType and writes font_tables.cpp into the build folder, and reads
# those graphic/glyph_file.txt names (efont-unicode's, xfonts-efont-unicode)
# into the glyph file the plug-in reads beside it.
#
#   pixelvane_font_tables(OUTPUT_VARIABLE)
#
# sets OUTPUT_VARIABLE to the generated source;
#
#   pixelvane_glyph_file(PATH)
#
# writes the glyph file to PATH in target glyph_file, part of the default
# build. The tool runs on the build machine: the native tree builds it as a
# target of its own; the Windows tree (a cross compiler) and the fuzzing
# tree (whose every object carries the sanitizers' hooks) compile it with
# the build machine's C++ compiler. FreeType stays in the tool and the
# native tests, never in the plug-in.

set(PIXELVANE_FONT_DIR "/usr/share/fonts/X11/misc" CACHE PATH "The X11 misc fonts (xfonts-base)")
set(MAKE_FONTS_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/make_fonts.cpp
  ${PROJECT_SOURCE_DIR}/tools/bitmap_font.cpp
  ${PROJECT_SOURCE_DIR}/tools/font_list.cpp
  ${PROJECT_SOURCE_DIR}/tools/glyph_file_writer.cpp)
set(MAKE_FONTS_HEADERS
  ${PROJECT_SOURCE_DIR}/tools/bitmap_font.h
  ${PROJECT_SOURCE_DIR}/tools/font_list.h
  ${PROJECT_SOURCE_DIR}/tools/glyph_file_writer.h
  ${PROJECT_SOURCE_DIR}/graphic/glyph_file.h)
set(FONT_LIST ${PROJECT_SOURCE_DIR}/graphic/fonts.txt)
set(GLYPH_FILE_LIST ${PROJECT_SOURCE_DIR}/graphic/glyph_file.txt)

# The font files a description names, for a clear message at configure time
# when one is missing and for the build to redo the output when one changes.
function(pixelvane_fonts_named description output_variable)
  file(STRINGS ${description} font_lines REGEX "^[A-Za-z_]")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})
  set(font_files)
  foreach(line ${font_lines})
    string(REGEX REPLACE "^[^ \t]+[ \t]+([^ \t]+).*" "\\1" file "${line}")
    if(NOT EXISTS ${PIXELVANE_FONT_DIR}/${file})
      message(FATAL_ERROR "no font ${PIXELVANE_FONT_DIR}/${file}: run scripts/install-deps (xfonts-base, xfonts-efont-unicode)")
    endif()
    list(APPEND font_files ${PIXELVANE_FONT_DIR}/${file})
  endforeach()
  set(${output_variable} ${font_files} PARENT_SCOPE)
endfunction()

# make_fonts for the build machine, once for the tree; its path (or target)
# in MAKE_FONTS_TOOL.
function(pixelvane_make_fonts_tool)
  get_property(tool GLOBAL PROPERTY PIXELVANE_MAKE_FONTS_TOOL)
  if(tool)
    set(MAKE_FONTS_TOOL ${tool} PARENT_SCOPE)
    return()
  endif()
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
      COMMAND ${PIXELVANE_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -I${PROJECT_SOURCE_DIR}/graphic
              ${freetype_cflags} ${MAKE_FONTS_SOURCES} -o ${tool} ${freetype_libs}
      DEPENDS ${MAKE_FONTS_SOURCES} ${MAKE_FONTS_HEADERS}
      COMMENT "Compiling make_fonts for the build machine"
      VERBATIM)
  else()
    find_package(Freetype REQUIRED)
    add_executable(make_fonts ${MAKE_FONTS_SOURCES})
    target_include_directories(make_fonts PRIVATE ${PROJECT_SOURCE_DIR}/graphic)
    target_link_libraries(make_fonts PRIVATE Freetype::Freetype)
    set(tool make_fonts)
  endif()
  set_property(GLOBAL PROPERTY PIXELVANE_MAKE_FONTS_TOOL ${tool})
  set(MAKE_FONTS_TOOL ${tool} PARENT_SCOPE)
endfunction()

function(pixelvane_font_tables output_variable)
  pixelvane_fonts_named(${FONT_LIST} font_files)
  pixelvane_make_fonts_tool()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/font_tables.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${MAKE_FONTS_TOOL} ${FONT_LIST} ${PIXELVANE_FONT_DIR} ${output}
    DEPENDS ${MAKE_FONTS_TOOL} ${FONT_LIST} ${font_files}
    COMMENT "Writing the font tables from graphic/fonts.txt"
    VERBATIM)
  set(${output_variable} ${output} PARENT_SCOPE)
endfunction()

function(pixelvane_glyph_file path)
  pixelvane_fonts_named(${GLYPH_FILE_LIST} font_files)
  pixelvane_make_fonts_tool()
  get_filename_component(folder ${path} DIRECTORY)
  add_custom_command(OUTPUT ${path}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${MAKE_FONTS_TOOL} --glyph-file ${GLYPH_FILE_LIST} ${PIXELVANE_FONT_DIR} ${path}
    DEPENDS ${MAKE_FONTS_TOOL} ${GLYPH_FILE_LIST} ${font_files}
    COMMENT "Writing the glyph file from graphic/glyph_file.txt"
    VERBATIM)
  add_custom_target(glyph_file ALL DEPENDS ${path})
endfunction()
