#include "letters.h"

#include "bus.h"
#include "code_pages.h"
#include "controller.h"
#include "letter_glyphs.h"

static bool lettersLoaded;

void lcdLoadLetters(int codePage)
{
    const unsigned short *letters = codePageHighHalf(codePage);
    if (letters == nullptr)
        return;
    lcdWriteData(CG_RAM_OFFSET);
    lcdWriteData(0x00);
    lcdWriteCommand(SET_OFFSET_REGISTER);               // CG RAM from 0x1800
    lcdSetAddress(CG_RAM_LETTERS);                      // glyph of code 0x80
    lcdWriteCommand(AUTO_WRITE);
    for (int code = 0; code < CG_RAM_CODES; code++) {
        unsigned char rows[GLYPH_BYTES];
        letterGlyph(letters[code], rows);
        for (int row = 0; row < GLYPH_BYTES; row++)
            lcdWriteData(rows[row]);
    }
    lcdWriteCommand(AUTO_RESET);
    lettersLoaded = true;
}

bool lcdLettersLoaded()
{
    return lettersLoaded;
}

void lcdForgetLetters()
{
    lettersLoaded = false;
}
