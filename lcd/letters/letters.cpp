#include "letters.h"

#include "bus.h"
#include "code_pages.h"
#include "controller/controller.h"
#include "letter_glyphs.h"

void lcdLoadLetters(int codePage)
{
    const unsigned short *letters = codePageHighHalf(codePage);
    if (letters == nullptr)
        return;
    lcdSendWithWord(CG_RAM_OFFSET, SET_OFFSET_REGISTER); // CG RAM from 0x1800
    lcdSetAddress(CG_RAM_LETTERS);                       // glyph of code 0x80
    lcdWriteCommand(AUTO_WRITE);
    for (int code = 0; code < CG_RAM_CODES; code++) {
        unsigned char rows[GLYPH_BYTES];
        letterGlyph(letters[code], rows);
        for (int row = 0; row < GLYPH_BYTES; row++)
            lcdWriteData(rows[row]);
    }
    lcdWriteCommand(AUTO_RESET);
    lcdShowHighBytesFromCgRam(true);
}
