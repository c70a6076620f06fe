// Pictures from monochrome BMP files, streamed into the graphics area.
#pragma once

// Plays the BMP file at path into the graphics area, frame by frame, and
// returns when the file has been shown; the graphics area then holds the
// last frame. The text area is not touched. A file that cannot be opened
// is reported by printing its path from text cell (4, 5) on, as far as the
// text area reaches.
void lcdShowBitmap(const char *path);

// The wait before each frame from the third on. It is delayBeforeFrame
// unless a test puts a recorder here to see where the waits fall.
extern void (*bitmapFrameWait)();
