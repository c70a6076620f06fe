// The one packer from a plain bitmap to the controller's cells, against
// cells worked out by hand and, over every width, against the pixels one by
// one (cell c holds pixels c * w .. c * w + w - 1, the first in its
// highest bit; nothing past the width).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cell_packer.h"

TEST(CellPacker, TurnsPlainRowsIntoSixAndEightPixelCells)
{
    // Pixels 0, 7, 8 and 23 lit: 1000 0001 1000 0000 0000 0001.
    const uint8_t row[3] = {0x81, 0x80, 0x01};
    uint8_t six[4] = {}, eight[3] = {};
    packPixelRow(row, 24, 6, six);
    packPixelRow(row, 24, 8, eight);
    EXPECT_EQ(six[0], 0x20); // pixel 0 of cell 0
    EXPECT_EQ(six[1], 0x18); // pixels 7 and 8: bits 4 and 3 of cell 1
    EXPECT_EQ(six[2], 0x00);
    EXPECT_EQ(six[3], 0x01); // pixel 23: the last of cell 3
    EXPECT_EQ(eight[0], 0x81);
    EXPECT_EQ(eight[1], 0x80);
    EXPECT_EQ(eight[2], 0x01);

    // Every width up to 256, every cell width, a pattern that lights all
    // 256 pixels in some row: each cell's bits are its own pixels, the
    // pixels past the width dark.
    std::vector<uint8_t> plain(32);
    for (int pattern = 0; pattern < 3; pattern++) {
        for (int i = 0; i < 32; i++)
            plain[i] = (uint8_t)(pattern == 0 ? 0xFF : pattern == 1 ? 0xA5 ^ i : i * 37);
        for (int cellWidth : {6, 8})
            for (int width = 1; width <= 256; width++) {
                int cells = (width + cellWidth - 1) / cellWidth;
                std::vector<uint8_t> packed(cells + 1, 0xEE);
                packPixelRow(plain.data(), width, cellWidth, packed.data());
                for (int c = 0; c < cells; c++)
                    for (int bit = 0; bit < cellWidth; bit++) {
                        int x = c * cellWidth + bit;
                        bool lit = x < width && (plain[x / 8] >> (7 - x % 8) & 1);
                        ASSERT_EQ((packed[c] >> (cellWidth - 1 - bit) & 1) != 0, lit)
                            << "width " << width << " cell width " << cellWidth << " pixel " << x;
                    }
                ASSERT_EQ(packed[cells], 0xEE) << "nothing written past the last cell, width " << width;
                if (cellWidth == 6)
                    for (int c = 0; c < cells; c++)
                        ASSERT_EQ(packed[c] & 0xC0, 0) << "a 6-pixel cell's two high bits stay clear";
            }
    }
}
