// pixelvane-animate: the panel of host-simulator runs as an animated GIF
// over virtual time (1 us per port access, 250 ms per timer tick).
//
//   pixelvane-animate RUN_FOLDER [RUN_FOLDER...] OUTPUT.gif [SCALE]
//
// A RUN_FOLDER is the host simulator's output folder: ports.txt and
// timeline.txt are read from it. Several runs play one after another, each
// after the last panel of the one before has stood for its hold.
#include "replay.h"

#include <cstdio>
#include <cstdlib>

enum { DEFAULT_SCALE = 3, MAX_SCALE = 8, EXIT_BAD_INPUT = 1, EXIT_USAGE = 2 };

namespace {

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool readRun(const std::string &folder, Animation *animation, std::string *error)
{
    std::vector<PortAccess> accesses;
    std::vector<TimelineMark> marks;
    if (!readPortLog(folder + "/ports.txt", &accesses, error) ||
        !readTimeline(folder + "/timeline.txt", &marks, error))
        return false;
    *animation = replayRun(accesses, marks);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // The output is the one argument ending in .gif; SCALE may follow it.
    int output = 1;
    while (output < argc && !endsWith(argv[output], ".gif"))
        output++;
    if (output < 2 || output >= argc || argc - output > 2) {
        std::fprintf(stderr, "usage: pixelvane-animate RUN_FOLDER [RUN_FOLDER...] OUTPUT.gif [SCALE]\n");
        return EXIT_USAGE;
    }
    int scale = output + 1 < argc ? std::atoi(argv[output + 1]) : DEFAULT_SCALE;
    if (scale < 1 || scale > MAX_SCALE) {
        std::fprintf(stderr, "pixelvane-animate: SCALE must be 1 to %d\n", (int)MAX_SCALE);
        return EXIT_USAGE;
    }
    Animation whole;
    whole.endUs = 0;
    std::string error;
    for (int run = 1; run < output; run++) {
        Animation animation;
        if (!readRun(argv[run], &animation, &error) || !animationAppend(&whole, animation, &error)) {
            std::fprintf(stderr, "pixelvane-animate: %s: %s\n", argv[run], error.c_str());
            return EXIT_BAD_INPUT;
        }
    }
    if (!writeAnimatedGif(whole, argv[output], scale, &error)) {
        std::fprintf(stderr, "pixelvane-animate: %s\n", error.c_str());
        return EXIT_BAD_INPUT;
    }
    std::printf("%s: %zu pictures over %.2f s of virtual time (%d run%s)\n", argv[output], whole.frames.size(),
                whole.endUs / 1e6, output - 1, output == 2 ? "" : "s");
    return 0;
}
