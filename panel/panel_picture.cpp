#include "panel_picture.h"

#include <cstring>

uint32_t panelPixelColour(PanelShade shade)
{
    const PanelColour &colour = PANEL_PALETTE[shade];
    return (uint32_t)colour.r << 16 | (uint32_t)colour.g << 8 | colour.b;
}

// Within one row of dots only two kinds of picture row differ: a dot's own
// rows, and its seam row at the bottom. Each kind is shaded once and copied
// to the other rows of the dot.
void panelPictureRender(const PanelImage &image, int scale, PanelPicture *picture)
{
    picture->scale = scale;
    picture->width = panelImageWidth(image) * scale;
    picture->height = panelImageHeight(image) * scale;
    picture->pixels.resize((size_t)picture->width * picture->height);
    for (int y = 0; y < picture->height; y++) {
        uint32_t *row = &picture->pixels[(size_t)y * picture->width];
        int within = y % scale;
        bool firstOfItsKind = within == 0 || within == scale - 1;
        if (!firstOfItsKind) {
            std::memcpy(row, row - picture->width, sizeof *row * picture->width);
            continue;
        }
        for (int x = 0; x < picture->width; x++)
            row[x] = panelPixelColour(panelShade(image, x, y, scale));
    }
}
