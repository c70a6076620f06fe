// What the hand-over stand-in (handover_copy.cpp) saw.
#pragma once

#include <cstdint>

extern uint64_t handOversCopied;
// The last picture handed over.
const uint8_t *handOverSlot();
