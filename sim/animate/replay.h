// The panel over virtual time: a recorded run's port accesses replayed
// through a fresh emulator, with the clock real hardware would keep.
#pragma once

#include "emulator.h"

#include <cstdint>
#include <string>
#include <vector>

// The virtual clock, in microseconds.
enum : uint64_t {
    ACCESS_US = 1,              // one port access on a motherboard port
    TICK_US = 250000,           // the plug-in's timer period
    USER_ACTION_US = 1500000,   // a person opening the dialog or clicking
    FRAME_US = 20000,           // the animation samples the panel this often
    FINAL_HOLD_US = 3000000,    // the last panel stays up this long
};

// One line of the host's timeline: the step that began after `accesses`
// port accesses. A "start" step carries the card's base and control latch.
struct TimelineMark {
    uint64_t accesses;
    std::string what;
};

struct AnimationFrame {
    PanelImage image;
    uint64_t startUs;
};

// Frames in time order, each different from the one before; the first
// starts at 0 and the last lasts until endUs.
struct Animation {
    std::vector<AnimationFrame> frames;
    uint64_t endUs;
};

// Reading the host's files; false with a message naming the line on error.
bool readPortLog(const std::string &path, std::vector<PortAccess> *accesses, std::string *error);
bool readTimeline(const std::string &path, std::vector<TimelineMark> *marks, std::string *error);

// Ticks come TICK_US apart after "start" (later, when a tick's own port
// traffic ran past the next period); "config", "click" and "close" let
// USER_ACTION_US pass; "module-reset" blanks the module as the host's did;
// in a wait, "timer-proc AT" (the plug-in's scroll timer) falls at its
// distance AT on the host's wait clock from the tick or the wait's start
// before it; other steps take no time of their own. A "panel WIDTH HEIGHT
// FONT_SELECT" line (a run on another module than the 240 x 64 one) sets
// the module's glass for the whole replay.
Animation replayRun(const std::vector<PortAccess> &accesses, const std::vector<TimelineMark> &marks);

// Plays `next` after `whole` (after its last panel's hold), a frame equal
// to the one before it merged into it; false with a message when the two
// are of panels of different sizes.
bool animationAppend(Animation *whole, const Animation &next, std::string *error);

// A looping GIF, the panel `scale` times larger; false when it cannot be
// written.
bool writeAnimatedGif(const Animation &animation, const std::string &path, int scale, std::string *error);
