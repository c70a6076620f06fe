// The parallel-port card behind the virtual panel's Out32 and Inp32, and
// the copies of it that the window's thread paints from.
//
// One thread (the player's) drives the card; it never waits. The window's
// thread takes copies in two ways, both lock-free:
//   - a sequence lock: the player's thread makes the sequence odd before an
//     access and even after it; a copy taken between two equal, even reads
//     of the sequence is consistent. While the player's thread is idle this
//     always succeeds.
//   - a copy on request: while the player's thread is busy (an animation
//     sends bytes back to back) a copy seldom gets through between two
//     accesses, so the window asks, and the player's thread copies its state
//     once, after its next access, into a buffer the window then reads.
// The request word hands the buffer over: the window leaves IDLE and
// PUBLISHED, the player's thread leaves REQUESTED; whoever may leave a state
// is the only one that touches the buffer in it.
#pragma once

#include "emulator.h"

#include <atomic>
#include <cstdint>

enum { PANEL_FAULT_TEXT = 96 };

// The card as the window shows it, all from one moment.
struct PanelView {
    T6963c lcd;
    uint16_t base;                       // the card's port base
    uint64_t accesses;                   // port accesses since the card started
    uint64_t bytesLatched;               // data and command bytes the controller took
    uint32_t faults;                     // protocol faults seen
    char latestFault[PANEL_FAULT_TEXT];  // the last one in words ("" for none)
    uint32_t sequence;                   // the card's sequence at the copy (even)
};

enum PanelCopyRequest { COPY_IDLE, COPY_REQUESTED, COPY_PUBLISHED };

struct PanelCard {
    Emulator emulator;
    // Every port access and latched byte kept in the emulator's logs (for
    // the host simulator). Otherwise the logs are emptied after each access,
    // so a player that runs for days holds no growing memory.
    bool recording;
    // The card moves to the standard port the plug-in switches to (rule 2
    // below). Not in mirror mode: the real module stays on its port.
    bool followsPortSwitch;
    bool baseChosen;
    uint64_t bytesLatched;
    uint32_t faults;
    size_t transfersCounted, faultsCounted;  // entries of the logs already counted
    char latestFault[PANEL_FAULT_TEXT];
    std::atomic<uint32_t> sequence;
    std::atomic<int> copyRequest;
    PanelView published;
};

// Power-on: the card not yet on any port, its control latch 0xCC.
void panelCardStart(PanelCard *card);
// The host simulator's set-up: the card at `base` with `control` in its
// latch, every access and byte recorded; the module keeps its glass.
void panelCardConfigure(PanelCard *card, uint16_t base, uint8_t control);
// The module behind the card (emulatorSetPanel); false, unchanged, for a
// glass the emulator cannot show.
bool panelCardSetGlass(PanelCard *card, const ModuleGlass &glass);
// Whether the card follows the plug-in to another standard port.
void panelCardFollowPortSwitch(PanelCard *card, bool follow);
// Empties the logs of a recording card (its counters go on).
void panelCardClearLogs(PanelCard *card);

// The port the card sits on follows the plug-in:
//   1. before the card is on any port, the first access puts it there: a
//      read at P means base P-2 (the plug-in's first access reads its
//      control register, whatever the base); a write goes to the standard
//      port (below) it belongs to, otherwise base P;
//   2. an access to the card's own registers (base to base+2) stays there;
//   3. an access to a register of one of the three standard ports (0x278,
//      0x378, 0x3BC; the settings dialog switches between them while the
//      plug-in runs) moves the card to that port, unless it mirrors a
//      real port (followsPortSwitch);
//   4. any other port is not the card's: ignored, as a card elsewhere would.
uint16_t panelCardBaseFor(const PanelCard &card, uint16_t port, bool read);

// One access from the player's thread; never waits.
void panelCardOut(PanelCard *card, uint16_t port, uint8_t value);
uint8_t panelCardIn(PanelCard *card, uint16_t port);
// A read whose answer came from a real port: the card sees the access (an
// auto read moves on, the control latch takes the real port's bits) and
// the real value is what is logged and returned.
uint8_t panelCardMirroredIn(PanelCard *card, uint16_t port, uint8_t realValue);

// The window's thread: replaces *view with a copy newer than view->sequence
// and returns true, or leaves it and returns false (nothing changed, or
// the player's thread is busy and a copy was requested for next time).
bool panelCardCopy(PanelCard *card, PanelView *view);
// Only the copy the player's thread made on request, if it is there and
// newer than *view: one load of the request word otherwise, so waiting for
// it does not disturb the player's thread.
bool panelCardTakePublished(PanelCard *card, PanelView *view);
// True when an access happened since the copy with that sequence.
bool panelCardChangedSince(const PanelCard &card, uint32_t sequence);
