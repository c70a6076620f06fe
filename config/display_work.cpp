#include "display_work.h"

#include "bus.h"
#include "status_screen.h"

const char INTRO_PICTURE[] = "LCDLIntro.bmp";
const char STATUS_PICTURE[] = "LCDMMenu.bmp";
const char SETTINGS_PICTURE[] = "LCDSIntro.bmp";
const char ABOUT_PICTURE[] = "LCDAbout.bmp";

int refreshEnabled = 1;

static void nothingToStart() {}

// The classic screen: texts in the text area, the icon in the graphics.
static const DisplayScreen TEXT_SCREEN = {nothingToStart, drawStatusScreen, drawStatusScreen, drawStatusScreen};

const DisplayScreen *displayScreen = &TEXT_SCREEN;

static bool workRunning;
static bool shutDown;

bool displayWorkBegin()
{
    if (workRunning)
        return false;
    workRunning = true;
    return true;
}

void displayWorkEnd()
{
    lcdFlush();
    workRunning = false;
}

void displayWorkBeginShutdown()
{
    shutDown = true;
    workRunning = true;
}

bool displayShutDown()
{
    return shutDown;
}
