// The status screen: playerStatus's texts at fixed text cells and an
// 18 x 18 play/pause/stop icon at the right edge of the graphics area,
// over whatever picture the graphics area already holds. Both follow
// panelGeometry; a narrower or lower panel shows the cells it has.
#pragma once

// Clears the text area when the artist changed, redraws the icon when the
// play state changed, then writes the seven texts. Checks no setting.
void drawStatusScreen();

// Draws the icon for playerStatus.playState: play for 1, pause for 3,
// stop for anything else.
void drawStateIcon();

// Forgets what was last drawn (empty artist, play state 0), as at a fresh
// start of the module.
void statusScreenReset();

// Puts the shut-down texts into playerStatus, for the screen drawn when the
// host closes the plug-in.
void setShutdownStatus();
