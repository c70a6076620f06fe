// Drawing on one 240 x 64 frame: pixels, lines, boxes and text in the
// pictures' own pixel fonts.
#pragma once

#include "picture_file.h"

enum PixelFont {
    FONT_SMALL, // 3 x 5, for labels that sit beside the module's own text
    FONT_LARGE, // 5 x 7, for headings; drawn at any whole-number scale
};

void clearFrame(PictureFrame *frame);
void setPixel(PictureFrame *frame, int x, int y, bool lit = true);
void drawLine(PictureFrame *frame, int x0, int y0, int x1, int y1);
void drawBox(PictureFrame *frame, int x0, int y0, int x1, int y1);       // outline, corners inclusive
void fillBox(PictureFrame *frame, int x0, int y0, int x1, int y1, bool lit = true);
void drawDottedLine(PictureFrame *frame, int x0, int x1, int y);        // every other pixel

// Text with its top-left corner at (x, y); one blank pixel column between
// letters (times scale). Letters the font lacks show as blanks.
void drawText(PictureFrame *frame, int x, int y, const char *text, PixelFont font, int scale = 1);
int textWidth(const char *text, PixelFont font, int scale = 1);
