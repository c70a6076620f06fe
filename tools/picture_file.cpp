#include "picture_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum {
    FILE_HEADER_BYTES = 14,
    INFO_HEADER_BYTES = 40,       // BITMAPINFOHEADER
    COLOUR_TABLE_BYTES = 2 * 4,   // two RGBQUAD entries
    PIXEL_OFFSET = FILE_HEADER_BYTES + INFO_HEADER_BYTES + COLOUR_TABLE_BYTES, // 62
    ROW_BYTES = 32,               // 30 bytes of pixels, padded to a multiple of 4
    BITS_PER_PIXEL = 1,
    PIXELS_PER_METRE = 2835,      // 72 dpi, what viewers expect to see
};

void put16(std::vector<uint8_t> &file, size_t at, uint32_t value)
{
    file[at] = (uint8_t)(value & 0xFF);
    file[at + 1] = (uint8_t)((value >> 8) & 0xFF);
}

void put32(std::vector<uint8_t> &file, size_t at, uint32_t value)
{
    put16(file, at, value & 0xFFFF);
    put16(file, at + 2, value >> 16);
}

#ifdef _WIN32
std::string windowsErrorText(DWORD code)
{
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.'))
        text[--length] = '\0';
    return length > 0 ? std::string(text) : "Windows error " + std::to_string(code);
}
#endif

} // namespace

std::vector<uint8_t> encodePicture(const std::vector<PictureFrame> &frames)
{
    uint32_t height = (uint32_t)(frames.size() * PICTURE_HEIGHT);
    uint32_t imageBytes = height * ROW_BYTES;
    std::vector<uint8_t> file(PIXEL_OFFSET + imageBytes, 0);

    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, (uint32_t)file.size());
    put32(file, 10, PIXEL_OFFSET);
    put32(file, 14, INFO_HEADER_BYTES);
    put32(file, 18, PICTURE_WIDTH);
    put32(file, 22, height);          // positive: rows stored bottom-up
    put16(file, 26, 1);               // planes
    put16(file, 28, BITS_PER_PIXEL);
    put32(file, 30, 0);               // no compression
    put32(file, 34, imageBytes);
    put32(file, 38, PIXELS_PER_METRE);
    put32(file, 42, PIXELS_PER_METRE);
    put32(file, 46, 2);               // colours used
    put32(file, 50, 2);               // colours important
    // Colour 0 black, colour 1 white: the player lights a pixel for a 0
    // bit, so a viewer shows lit pixels dark, as the panel does.
    put32(file, 54, 0x00000000);
    put32(file, 58, 0x00FFFFFF);

    size_t at = PIXEL_OFFSET;
    for (const PictureFrame &frame : frames) {
        for (int y = PICTURE_HEIGHT - 1; y >= 0; y--) {
            for (int byte = 0; byte < ROW_BYTES; byte++) {
                uint8_t bits = 0xFF;
                for (int bit = 0; bit < 8; bit++) {
                    int x = byte * 8 + bit;
                    if (x < PICTURE_WIDTH && frame.pixel[y][x])
                        bits &= (uint8_t)~(0x80 >> bit);
                }
                // The row fill past pixel 240 stays at 1 bits (unlit) too.
                file[at++] = bits;
            }
        }
    }
    return file;
}

bool writePictureFile(const std::string &path, const std::vector<PictureFrame> &frames,
                      std::string *error)
{
    if (frames.empty() || frames.size() > PICTURE_MAX_FRAMES) {
        *error = path + ": a picture holds 1 to 255 frames, not " + std::to_string(frames.size());
        return false;
    }
    std::vector<uint8_t> bytes = encodePicture(frames);
    std::string temporary = path + ".part";
    FILE *file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": cannot create " + temporary;
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        *error = path + ": cannot write the picture (disk full?)";
        return false;
    }
    return moveIntoPlace(temporary, path, "picture", error);
}

bool moveIntoPlace(const std::string &temporary, const std::string &path, const char *what, std::string *error)
{
    // One step that replaces the old file, so there is never a moment
    // without one: rename() does that on POSIX; on Windows rename() refuses
    // an existing target and MoveFileExA is the call that replaces it.
#ifdef _WIN32
    bool moved = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    std::string reason = moved ? "" : windowsErrorText(GetLastError());
#else
    bool moved = std::rename(temporary.c_str(), path.c_str()) == 0;
    std::string reason = moved ? "" : std::strerror(errno);
#endif
    if (!moved) {
        std::remove(temporary.c_str());
        *error = path + ": cannot replace it with the finished " + what + " (" + reason + "); it is left as it was";
        return false;
    }
    return true;
}
