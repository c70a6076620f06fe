// A player for the status sampler to read, without a window: a fixed title
// and a small table of query answers. Nothing here allocates, so the host
// adds no heap traffic to what the benchmarks count.
#pragma once

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
