// A player for the status sampler to read, without a window: a fixed title
// and a small table of query answers. Nothing here allocates, so the host
// adds no heap traffic to what the benchmarks count.
#pragma once

#include <cstdint>

// The player the benchmarks and the port counts use, the same one the
// scenario bench/port-costs.scn sets up in the host simulator.
extern const char BENCH_TITLE_FIRST[];
extern const char BENCH_TITLE_SECOND[];

// Title shown from now on (the pointer is kept, not the text).
void benchHostSetTitle(const char *title);

// Sets the answer to query code with wParam; unset queries answer 0.
void benchHostAnswer(int code, int wParam, int answer);

// The first title and the answers of a track that plays, 1:15 into 3:20.
void benchHostPlayTrack();

// From now on the player also answers its pointer-sized queries: a spectrum
// rising from low to high bands, levels 200 and 100, a path for every
// playlist position and the tags BENCH_TAG_ARTIST, BENCH_TAG_TITLE and
// BENCH_TAG_ALBUM for it. Until then it answers them all with 0.
void benchHostOfferVisualsAndTags();

// One band of the spectrum the host offers from now on (0-74).
void benchHostSetBand(int band, uint8_t value);
// The two levels it offers from now on.
void benchHostSetLevels(int left, int right);

extern const char16_t BENCH_TAG_ARTIST[];
extern const char16_t BENCH_TAG_TITLE[];
extern const char16_t BENCH_TAG_ALBUM[];
