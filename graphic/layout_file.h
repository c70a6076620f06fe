// A layout file: the user's own placing of the graphic screen's widgets,
// named by "Layout File" in plugin.ini and read from the plug-in's folder.
//
//   ; a comment line (or '#')
//   [artist]
//   Box=0,0,240,14        x, y, width, height in pixels
//   Font=row              small, row, large or clock
//   Align=left            left, center or right
//   Scroll=yes            yes or no
//
// One section a widget, named as WIDGET_NAMES names them ("artist" ...
// "last artist"). A widget without a section is not drawn; a key a section
// leaves out takes the built-in layout's value for that widget on this
// panel, and a widget the built-in layout does not show must give its Box.
// Section and key names and the values' words are read in any case; spaces
// around them, a UTF-8 byte order mark and CR before LF are allowed. Boxes
// are cut to the panel.
//
// Anything else is refused as a whole, with the first problem and its line:
// the caller then draws the built-in layout. The text is read in place,
// bounded by its length; nothing is allocated.
#pragma once

#include <cstddef>

#include "layout.h"

enum {
    LAYOUT_FILE_MAX_BYTES = 16 * 1024, // some hundred lines: far more than ten widgets need
    LAYOUT_NUMBER_LIMIT = 9999,        // a Box number lies in -9999 .. 9999
    LAYOUT_PROBLEM_SIZE = 96,
    LAYOUT_REASON_SIZE = 96,
};

struct LayoutProblem {
    int line; // from 1; 0 for the file as a whole
    char what[LAYOUT_PROBLEM_SIZE]; // ASCII, short enough for one line of the panel
};

// The layout `text` (not terminated, `length` bytes) gives a panel this size.
// False, with the built-in layout in *layout and the first problem in
// *problem, when the text is not a layout file.
bool layoutParse(const char *text, size_t length, int panelWidth, int panelHeight, Layout *layout,
                 LayoutProblem *problem);

// "NAME line 7: unknown font "huge"" (or "NAME: ..." for line 0), in ASCII,
// cut to fit `reasonSize`; any byte of `name` outside printable ASCII
// shows as '?'.
void layoutProblemText(const char *name, const LayoutProblem &problem, char *reason, int reasonSize);

// Reads the layout file at `path` (shown as `name`) with the C library. False,
// with the built-in layout in *layout and the reason in `reason`, when it is
// missing, unreadable, larger than LAYOUT_FILE_MAX_BYTES or not a layout file.
bool layoutReadFile(const char *path, const char *name, int panelWidth, int panelHeight, Layout *layout,
                    char *reason, int reasonSize);
