// The panel as the window draws it: each dot `scale` times larger, in the
// LCD colours of the project's pictures (sim/files.cpp: PANEL_PALETTE and
// panelShade, seams of the dot grid from x3 up).
#pragma once

#include "emulator.h"

#include <cstdint>
#include <vector>

struct PanelPicture {
    int scale;
    int width, height;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

uint32_t panelPixelColour(PanelShade shade);
void panelPictureRender(const PanelImage &image, int scale, PanelPicture *picture);
