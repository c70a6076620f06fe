// Pictures from monochrome BMP files, streamed into the graphics area.
#pragma once

enum {
    // The frame counter is 8 bits wide: a picture plays at most 255 frames.
    PICTURE_MAX_FRAMES = 255,
    // Room for a picture's path: its folder and its file name.
    PICTURE_PATH_SIZE = 520,
};

// Plays the BMP file at path into the graphics area, frame by frame, and
// returns when the file has been shown; the graphics area then holds the
// last frame, its 240 x 64 pixels centred on the panel panelGeometry
// describes. The text area is not touched. A file that cannot be opened
// is reported by printing its path from text cell (4, 5) on (or the
// nearest cell a smaller text area has), as far as the text area reaches.
void lcdShowBitmap(const char *path);

// Names the folder the pictures are in, with its trailing separator
// ("" until then, or when the folder does not fit PICTURE_PATH_SIZE).
void lcdSetPictureFolder(const char *folder);

// Plays the picture `name` from that folder, as lcdShowBitmap does; the
// bare name when folder and name do not fit PICTURE_PATH_SIZE together.
void lcdShowPicture(const char *name);

// The wait before each frame from the third on. It is delayBeforeFrame
// unless a test puts a recorder here to see where the waits fall.
extern void (*bitmapFrameWait)();
