#include "panel_geometry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

PanelGeometry panelGeometry = defaultPanelGeometry();

PanelGeometry defaultPanelGeometry()
{
    PanelGeometry geometry = {PANEL_WIDTH, PANEL_HEIGHT,      CELL_WIDTH,   TEXT_COLUMNS,      TEXT_ROWS,
                              TEXT_HOME,   TEXT_AREA_BYTES,   GRAPHIC_HOME, GRAPHIC_AREA_BYTES};
    return geometry;
}

void panelGeometryReset()
{
    panelGeometry = defaultPanelGeometry();
}

static bool refuse(char *why, int whySize, const char *reason)
{
    if (why != nullptr && whySize > 0)
        std::snprintf(why, whySize, "%s", reason);
    return false;
}

bool panelGeometryMake(int width, int height, int cellWidth, PanelGeometry *geometry, char *why, int whySize)
{
    char reason[PANEL_REASON_SIZE];
    if (cellWidth != 6 && cellWidth != 8)
        return refuse(why, whySize, "Font Select must be 6 or 8");
    if (width < PANEL_MIN_WIDTH || width > PANEL_MAX_WIDTH) {
        std::snprintf(reason, sizeof reason, "Panel Size: width %d is not %d to %d", width, PANEL_MIN_WIDTH,
                      PANEL_MAX_WIDTH);
        return refuse(why, whySize, reason);
    }
    if (width % cellWidth != 0) {
        std::snprintf(reason, sizeof reason, "Panel Size: width %d is not whole %d-pixel cells", width, cellWidth);
        return refuse(why, whySize, reason);
    }
    if (height < PANEL_MIN_HEIGHT || height > PANEL_MAX_HEIGHT || height % CHARACTER_HEIGHT != 0) {
        std::snprintf(reason, sizeof reason, "Panel Size: height %d is not whole 8-pixel rows from %d to %d",
                      height, PANEL_MIN_HEIGHT, PANEL_MAX_HEIGHT);
        return refuse(why, whySize, reason);
    }
    PanelGeometry made;
    made.width = width;
    made.height = height;
    made.cellWidth = cellWidth;
    made.columns = width / cellWidth;
    made.textRows = height / CHARACTER_HEIGHT;
    made.textHome = TEXT_HOME;
    made.textAreaBytes = made.columns * made.textRows;
    made.graphicHome = (made.textHome + made.textAreaBytes + GRAPHIC_HOME_STEP - 1) / GRAPHIC_HOME_STEP *
                       GRAPHIC_HOME_STEP;
    made.graphicAreaBytes = made.columns * height;
    if (made.graphicHome + made.graphicAreaBytes > DISPLAY_MAP_END)
        return refuse(why, whySize, "Panel Size: the display RAM cannot hold it");
    *geometry = made;
    return true;
}

// A whole decimal number from text[*at] on, at most 4 digits.
static bool readNumber(const char *text, int *at, int *value)
{
    int digits = 0;
    *value = 0;
    while (text[*at] >= '0' && text[*at] <= '9' && digits < 5) {
        *value = *value * 10 + (text[*at] - '0');
        (*at)++;
        digits++;
    }
    return digits > 0 && digits <= 4;
}

static bool parseSize(const char *text, int *width, int *height)
{
    int at = 0;
    if (!readNumber(text, &at, width))
        return false;
    if (text[at] != 'x' && text[at] != 'X')
        return false;
    at++;
    return readNumber(text, &at, height) && text[at] == '\0';
}

bool panelGeometryFromKeys(const char *size, const char *fontSelect, PanelGeometry *geometry, char *why,
                           int whySize)
{
    *geometry = defaultPanelGeometry();
    int width = PANEL_WIDTH;
    int height = PANEL_HEIGHT;
    int cellWidth = CELL_WIDTH;
    if (size != nullptr && size[0] != '\0' && !parseSize(size, &width, &height)) {
        char reason[PANEL_REASON_SIZE];
        std::snprintf(reason, sizeof reason, "Panel Size=%.24s is not WIDTHxHEIGHT", size);
        return refuse(why, whySize, reason);
    }
    if (fontSelect != nullptr && fontSelect[0] != '\0') {
        if (std::strcmp(fontSelect, "6") == 0)
            cellWidth = 6;
        else if (std::strcmp(fontSelect, "8") == 0)
            cellWidth = 8;
        else
            return refuse(why, whySize, "Font Select must be 6 or 8");
    }
    PanelGeometry made;
    if (!panelGeometryMake(width, height, cellWidth, &made, why, whySize))
        return false;
    *geometry = made;
    return true;
}

bool panelGeometryIsDefault(const PanelGeometry &geometry)
{
    PanelGeometry classic = defaultPanelGeometry();
    return std::memcmp(&geometry, &classic, sizeof geometry) == 0;
}
