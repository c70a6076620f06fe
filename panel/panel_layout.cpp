#include "panel_layout.h"

#include <cstdio>

enum { PACE_DRIVER_DLL_US = 5, PACE_MOTHERBOARD_US = 1 };

static int fittingScale(int clientWidth, int clientHeight, int panelWidth, int panelHeight)
{
    int scale = PANEL_MAX_SCALE;
    while (scale > PANEL_MIN_SCALE) {
        int width, height;
        panelClientSize(scale, panelWidth, panelHeight, &width, &height);
        if (width <= clientWidth && height <= clientHeight)
            break;
        scale--;
    }
    return scale;
}

PanelLayout panelLayout(int clientWidth, int clientHeight, int panelWidth, int panelHeight)
{
    PanelLayout layout;
    layout.scale = fittingScale(clientWidth, clientHeight, panelWidth, panelHeight);
    layout.width = panelWidth * layout.scale;
    layout.height = panelHeight * layout.scale;
    layout.statusTop = clientHeight - PANEL_STATUS_HEIGHT;
    if (layout.statusTop < 0)
        layout.statusTop = 0;
    int spareWidth = clientWidth - layout.width;
    int spareHeight = layout.statusTop - layout.height;
    layout.left = spareWidth > 0 ? spareWidth / 2 : 0;
    layout.top = spareHeight > 0 ? spareHeight / 2 : 0;
    return layout;
}

void panelClientSize(int scale, int panelWidth, int panelHeight, int *width, int *height)
{
    *width = panelWidth * scale + 2 * PANEL_BEZEL;
    *height = panelHeight * scale + 2 * PANEL_BEZEL + PANEL_STATUS_HEIGHT;
}

int panelValidScale(int scale)
{
    return scale >= PANEL_MIN_SCALE && scale <= PANEL_MAX_SCALE ? scale : PANEL_DEFAULT_SCALE;
}

int panelValidPace(int paceUs)
{
    return paceUs == PACE_MOTHERBOARD_US || paceUs == PACE_DRIVER_DLL_US ? paceUs : 0;
}

int panelNextPace(int paceUs)
{
    switch (panelValidPace(paceUs)) {
    case 0:
        return PACE_MOTHERBOARD_US;
    case PACE_MOTHERBOARD_US:
        return PACE_DRIVER_DLL_US;
    default:
        return 0;
    }
}

std::string panelTitle(uint16_t base, bool mirrored)
{
    char text[96];
    std::snprintf(text, sizeof text, "Pixelvane virtual panel - port 0x%03X%s", (unsigned)base,
                  mirrored ? ", mirrored to inpout32.dll" : "");
    return text;
}

std::string groupedNumber(uint64_t value)
{
    std::string digits = std::to_string((unsigned long long)value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

static bool given(const char *text)
{
    return text != nullptr && text[0] != '\0';
}

std::string panelNoticeText(const char *text)
{
    std::string shown;
    if (text == nullptr)
        return shown;
    for (int i = 0; i < PANEL_NOTICE_CHARACTERS && text[i] != '\0'; i++) {
        unsigned char c = (unsigned char)text[i];
        if (c == '\t' || c == '\r' || c == '\n')
            shown += ' ';
        else
            shown += c >= 0x20 && c < 0x7F ? (char)c : '?';
    }
    return shown;
}

std::string panelStatusLine(const PanelStatus &status)
{
    if (given(status.notice))
        return status.notice;
    char port[16];
    std::snprintf(port, sizeof port, "0x%03X", (unsigned)status.base);
    std::string line = std::string("Port ") + port;
    if (given(status.refusedKeys))
        line = std::string(status.refusedKeys) + ", 240 x 64 shown | " + line;
    if (status.mirrored)
        line += " (mirrored)";
    if (status.paceUs > 0)
        line += ", paced " + std::to_string(status.paceUs) + " us";
    line += " | " + groupedNumber(status.accessesPerSecond) + " accesses/s";
    line += " | " + groupedNumber(status.bytesLatched) + " bytes latched";
    if (status.faults == 0)
        line += " | no faults";
    else
        line += " | " + groupedNumber(status.faults) + (status.faults == 1 ? " fault" : " faults") +
                ", latest: " + status.latestFault;
    return line;
}
