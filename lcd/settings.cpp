#include "settings.h"

Settings settings = {0, 0, 1, LPT_PORT_378};
OptIns optIns = {0, FAST_BUS_DEFAULT_PACE_US, 0, 0, SCROLL_SPEED_DEFAULT, 1, 0};

void settingsReset()
{
    settings.disableLcd = 0;
    settings.noIntro = 0;
    settings.timeRemaining = 1;
    settings.lptPort = LPT_PORT_378;
    optIns.fastBus = 0;
    optIns.fastBusPace = FAST_BUS_DEFAULT_PACE_US;
    optIns.letters = 0;
    optIns.graphicScreen = 0;
    optIns.scrollSpeed = SCROLL_SPEED_DEFAULT;
    optIns.idleClock = 1;
    optIns.visualizer = 0;
}
