// Replaying a recorded run with the virtual clock.
#include "replay.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

bool readPortLog(const std::string &path, std::vector<PortAccess> *accesses, std::string *error)
{
    std::ifstream file(path);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); number++) {
        char direction[4];
        unsigned port, value;
        if (std::sscanf(line.c_str(), "%3s %x %x", direction, &port, &value) != 3 ||
            (std::strcmp(direction, "out") != 0 && std::strcmp(direction, "in") != 0) ||
            port > 0xFFFF || value > 0xFF) {
            *error = path + ":" + std::to_string(number) + ": expected \"out|in PORT VALUE\"";
            return false;
        }
        accesses->push_back({direction[0] == 'o', (uint16_t)port, (uint8_t)value});
    }
    return true;
}

bool readTimeline(const std::string &path, std::vector<TimelineMark> *marks, std::string *error)
{
    std::ifstream file(path);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); number++) {
        std::istringstream words(line);
        TimelineMark mark;
        if (!(words >> mark.accesses) || !std::getline(words >> std::ws, mark.what) ||
            (!marks->empty() && mark.accesses < marks->back().accesses)) {
            *error = path + ":" + std::to_string(number) + ": expected \"ACCESSES STEP\" in order";
            return false;
        }
        marks->push_back(mark);
    }
    return true;
}

namespace {

struct Replay {
    Emulator emulator;
    Animation animation;
    uint64_t clockUs = 0;
    uint64_t nextSampleUs = 0;
    uint64_t lastTickUs = 0;
    // During a wait: the replay's time at a known point of the host's wait
    // clock, so the thread timer's steps fall at their real distances.
    bool waitClockKnown = false;
    long long waitClockMs = 0;
    uint64_t waitClockUs = 0;
};

bool samePicture(const PanelImage &a, const PanelImage &b)
{
    return a.width == b.width && a.height == b.height && std::memcmp(a.pixel, b.pixel, sizeof a.pixel) == 0;
}

// The panel does not change between accesses, so one look at it covers
// every sample point up to the new time.
void advanceTo(Replay *replay, uint64_t timeUs)
{
    replay->clockUs = timeUs;
    if (replay->nextSampleUs > timeUs)
        return;
    AnimationFrame frame;
    renderPanel(replay->emulator.lcd, &frame.image);
    frame.startUs = replay->nextSampleUs;
    std::vector<AnimationFrame> &frames = replay->animation.frames;
    if (frames.empty() || !samePicture(frames.back().image, frame.image))
        frames.push_back(frame);
    replay->nextSampleUs = (timeUs / FRAME_US + 1) * FRAME_US;
}

void placeWaitClock(Replay *replay, long long waitClockMs)
{
    replay->waitClockKnown = true;
    replay->waitClockMs = waitClockMs;
    replay->waitClockUs = replay->clockUs;
}

void applyMark(Replay *replay, const TimelineMark &mark)
{
    std::istringstream words(mark.what);
    std::string verb;
    words >> verb;
    if (verb == "start") {
        unsigned base = 0x378, control = 0xCC;
        words >> base >> control;
        ModuleGlass glass = replay->emulator.lcd.glass; // the module stays the one the run drove
        emulatorReset(&replay->emulator, (uint16_t)base, (uint8_t)control);
        replay->emulator.lcd.glass = glass;
        replay->emulator.logAccesses = false;
        replay->lastTickUs = replay->clockUs;
    } else if (verb == "tick" || verb == "timer") {
        uint64_t due = replay->lastTickUs + TICK_US;
        if (due > replay->clockUs)
            advanceTo(replay, due);
        replay->lastTickUs = replay->clockUs;
        long long waitClockMs;
        if (words >> waitClockMs)
            placeWaitClock(replay, waitClockMs);
    } else if (verb == "wait-clock") {
        long long waitClockMs;
        if (words >> waitClockMs)
            placeWaitClock(replay, waitClockMs);
    } else if (verb == "timer-proc") {
        // A scroll step between two ticks of a wait, at its real time.
        long long waitClockMs;
        if (words >> waitClockMs && replay->waitClockKnown && waitClockMs >= replay->waitClockMs) {
            uint64_t due = replay->waitClockUs + (uint64_t)(waitClockMs - replay->waitClockMs) * 1000;
            if (due > replay->clockUs)
                advanceTo(replay, due);
        }
    } else if (verb == "config" || verb == "click" || verb == "close") {
        advanceTo(replay, replay->clockUs + USER_ACTION_US);
    } else if (verb == "module-reset") {
        t6963cReset(&replay->emulator.lcd);
    }
}

// The glass a "panel WIDTH HEIGHT FONT_SELECT" line names, wherever it
// stands: the module is that size from the first frame on.
void useRunGlass(Replay *replay, const std::vector<TimelineMark> &marks)
{
    for (const TimelineMark &mark : marks) {
        std::istringstream words(mark.what);
        std::string verb;
        int width, height, cellWidth;
        if (words >> verb && verb == "panel" && words >> width >> height >> cellWidth)
            emulatorSetPanel(&replay->emulator, width, height, cellWidth);
    }
}

} // namespace

Animation replayRun(const std::vector<PortAccess> &accesses, const std::vector<TimelineMark> &marks)
{
    Replay replay;
    emulatorReset(&replay.emulator);
    useRunGlass(&replay, marks);
    replay.emulator.logAccesses = false;
    advanceTo(&replay, 0);
    size_t nextMark = 0;
    for (size_t i = 0; i <= accesses.size(); i++) {
        while (nextMark < marks.size() && marks[nextMark].accesses <= i)
            applyMark(&replay, marks[nextMark++]);
        if (i == accesses.size())
            break;
        const PortAccess &access = accesses[i];
        if (access.out)
            emulatorOut(&replay.emulator, access.port, access.value);
        else
            emulatorIn(&replay.emulator, access.port);
        advanceTo(&replay, replay.clockUs + ACCESS_US);
    }
    // The picture left at the end gets its own frame even between samples.
    replay.nextSampleUs = replay.clockUs;
    advanceTo(&replay, replay.clockUs);
    replay.animation.endUs = replay.clockUs + FINAL_HOLD_US;
    return replay.animation;
}

bool animationAppend(Animation *whole, const Animation &next, std::string *error)
{
    if (next.frames.empty())
        return true;
    if (!whole->frames.empty()) {
        const PanelImage &last = whole->frames.back().image, &first = next.frames.front().image;
        if (last.width != first.width || last.height != first.height) {
            *error = "the runs are of panels of different sizes (" + std::to_string(last.width) + "x" +
                     std::to_string(last.height) + " and " + std::to_string(first.width) + "x" +
                     std::to_string(first.height) + ")";
            return false;
        }
    }
    uint64_t offsetUs = whole->frames.empty() ? 0 : whole->endUs;
    for (const AnimationFrame &frame : next.frames) {
        if (!whole->frames.empty() && samePicture(whole->frames.back().image, frame.image))
            continue;
        whole->frames.push_back(frame);
        whole->frames.back().startUs += offsetUs;
    }
    whole->endUs = offsetUs + next.endUs;
    return true;
}
