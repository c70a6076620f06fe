#include "panel_paint.h"

#include "panel_layout.h"

enum { STATUS_PADDING = 6, BITS_PER_PIXEL = 32 };

static const COLORREF FRAME_COLOUR = RGB(0x30, 0x33, 0x36);

static void paintPicture(HDC dc, const PanelLayout &layout, const PanelPicture &picture)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = BITS_PER_PIXEL;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, layout.left, layout.top, picture.width, picture.height, 0, 0, 0, picture.height,
                      picture.pixels.data(), &info, DIB_RGB_COLORS);
}

static void paintStatus(HDC dc, RECT band, const std::wstring &status)
{
    FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    band.left += STATUS_PADDING;
    band.right -= STATUS_PADDING;
    DrawTextW(dc, status.c_str(), -1, &band, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, font);
}

void panelPaint(HDC dc, int clientWidth, int clientHeight, int panelWidth, int panelHeight,
                const PanelPicture &picture, const std::wstring &status)
{
    PanelLayout layout = panelLayout(clientWidth, clientHeight, panelWidth, panelHeight);
    RECT frame = {0, 0, clientWidth, layout.statusTop};
    HBRUSH frameBrush = CreateSolidBrush(FRAME_COLOUR);
    FillRect(dc, &frame, frameBrush);
    DeleteObject(frameBrush);
    if (!picture.pixels.empty())
        paintPicture(dc, layout, picture);
    RECT band = {0, layout.statusTop, clientWidth, clientHeight};
    paintStatus(dc, band, status);
}
