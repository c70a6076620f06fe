#include "panel_export.h"

#include "panel_picture.h"

#include <cstring>
#include <vector>

enum { DIB_BYTES_PER_PIXEL = 3, DIB_ROW_ALIGNMENT = 4 };

bool panelSavePng(const PanelImage &image, int scale, const wchar_t *path)
{
    std::vector<uint8_t> png;
    if (!encodePng(image, scale, &png))
        return false;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, png.data(), (DWORD)png.size(), &written, NULL) && written == png.size();
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileW(path);
    return ok;
}

static HGLOBAL deviceIndependentBitmap(const PanelImage &image, int scale)
{
    PanelPicture picture;
    panelPictureRender(image, scale, &picture);
    size_t stride = ((size_t)picture.width * DIB_BYTES_PER_PIXEL + DIB_ROW_ALIGNMENT - 1) &
                    ~(size_t)(DIB_ROW_ALIGNMENT - 1);
    size_t size = sizeof(BITMAPINFOHEADER) + stride * picture.height;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == NULL)
        return NULL;
    uint8_t *bytes = (uint8_t *)GlobalLock(memory);
    if (bytes == NULL) {
        GlobalFree(memory);
        return NULL;
    }
    std::memset(bytes, 0, size);
    BITMAPINFOHEADER *header = (BITMAPINFOHEADER *)bytes;
    header->biSize = sizeof *header;
    header->biWidth = picture.width;
    header->biHeight = picture.height; // positive: the bottom row comes first
    header->biPlanes = 1;
    header->biBitCount = DIB_BYTES_PER_PIXEL * 8;
    header->biCompression = BI_RGB;
    header->biSizeImage = (DWORD)(stride * picture.height);
    uint8_t *bits = bytes + sizeof *header;
    for (int y = 0; y < picture.height; y++) {
        uint8_t *row = bits + stride * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; x++) {
            uint32_t colour = picture.pixels[(size_t)y * picture.width + x];
            row[x * 3 + 0] = (uint8_t)colour;         // blue
            row[x * 3 + 1] = (uint8_t)(colour >> 8);  // green
            row[x * 3 + 2] = (uint8_t)(colour >> 16); // red
        }
    }
    GlobalUnlock(memory);
    return memory;
}

bool panelCopyToClipboard(HWND owner, const PanelImage &image, int scale)
{
    HGLOBAL bitmap = deviceIndependentBitmap(image, scale);
    if (bitmap == NULL)
        return false;
    if (!OpenClipboard(owner)) {
        GlobalFree(bitmap);
        return false;
    }
    EmptyClipboard();
    // Once set, the clipboard owns the memory.
    bool set = SetClipboardData(CF_DIB, bitmap) != NULL;
    CloseClipboard();
    if (!set)
        GlobalFree(bitmap);
    return set;
}
