#include "settings.h"

Settings settings = {0, 0, 1, LPT_PORT_378};
int refreshEnabled = 1;

void settingsReset()
{
    settings.disableLcd = 0;
    settings.noIntro = 0;
    settings.timeRemaining = 1;
    settings.lptPort = LPT_PORT_378;
    refreshEnabled = 1;
}
