// pixelvane-animate: the panel of a host-simulator run as an animated GIF
// over virtual time (1 us per port access, 250 ms per timer tick).
//
//   pixelvane-animate RUN_FOLDER OUTPUT.gif [SCALE]
//
// RUN_FOLDER is the host simulator's output folder: ports.txt and
// timeline.txt are read from it.
#include "replay.h"

#include <cstdio>
#include <cstdlib>

enum { DEFAULT_SCALE = 3, MAX_SCALE = 8, EXIT_BAD_INPUT = 1, EXIT_USAGE = 2 };

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: pixelvane-animate RUN_FOLDER OUTPUT.gif [SCALE]\n");
        return EXIT_USAGE;
    }
    int scale = argc == 4 ? std::atoi(argv[3]) : DEFAULT_SCALE;
    if (scale < 1 || scale > MAX_SCALE) {
        std::fprintf(stderr, "pixelvane-animate: SCALE must be 1 to %d\n", (int)MAX_SCALE);
        return EXIT_USAGE;
    }
    std::string folder = argv[1];
    std::vector<PortAccess> accesses;
    std::vector<TimelineMark> marks;
    std::string error;
    if (!readPortLog(folder + "/ports.txt", &accesses, &error) ||
        !readTimeline(folder + "/timeline.txt", &marks, &error)) {
        std::fprintf(stderr, "pixelvane-animate: %s\n", error.c_str());
        return EXIT_BAD_INPUT;
    }
    Animation animation = replayRun(accesses, marks);
    if (!writeAnimatedGif(animation, argv[2], scale, &error)) {
        std::fprintf(stderr, "pixelvane-animate: %s\n", error.c_str());
        return EXIT_BAD_INPUT;
    }
    std::printf("%s: %zu pictures over %.2f s of virtual time (%zu port accesses)\n", argv[2],
                animation.frames.size(), animation.endUs / 1e6, accesses.size());
    return 0;
}
