// The four pictures the plug-in plays, drawn frame by frame.
#pragma once

#include <vector>

#include "picture_file.h"

// Background of the status screen: labels beside the cells where the
// status texts go, with those cells and the play-state icon's square clear.
PictureFrame statusBackground();

// The start-up animation; its last frame is the status background.
std::vector<PictureFrame> introAnimation();

// Shown after the settings are accepted.
PictureFrame settingsSaved();

// Background of the about screen, with text rows 0-3 and 5 clear.
PictureFrame aboutBackground();
