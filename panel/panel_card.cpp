#include "panel_card.h"

#include <cstring>

#include "wire/port_bases.h"

enum {
    CARD_REGISTERS = 3,    // data, status, control
    CONTROL_OFFSET = 2,
    SEQUENCE_ATTEMPTS = 4, // sequence-lock copies tried before asking
};

static const uint8_t POWER_ON_CONTROL = 0xCC;

static bool onCard(uint16_t base, uint16_t port)
{
    return (uint16_t)(port - base) < CARD_REGISTERS;
}

static void copyText(char *target, const std::string &text)
{
    size_t length = text.size() < PANEL_FAULT_TEXT - 1 ? text.size() : PANEL_FAULT_TEXT - 1;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

static void resetCounters(PanelCard *card)
{
    card->bytesLatched = 0;
    card->faults = 0;
    card->transfersCounted = 0;
    card->faultsCounted = 0;
    card->latestFault[0] = '\0';
}

// The writer's half of the sequence lock, around every change of the card.
static uint32_t beginChange(PanelCard *card)
{
    uint32_t before = card->sequence.load(std::memory_order_relaxed);
    card->sequence.store(before + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    return before + 2;
}

static void copyInto(const PanelCard &card, PanelView *view)
{
    std::memcpy(&view->lcd, &card.emulator.lcd, sizeof view->lcd);
    view->base = card.emulator.base;
    view->accesses = card.emulator.accessCount;
    view->bytesLatched = card.bytesLatched;
    view->faults = card.faults;
    std::memcpy(view->latestFault, card.latestFault, sizeof view->latestFault);
}

static void endChange(PanelCard *card, uint32_t after)
{
    card->sequence.store(after, std::memory_order_release);
    if (card->copyRequest.load(std::memory_order_acquire) == COPY_REQUESTED) {
        copyInto(*card, &card->published);
        card->published.sequence = after;
        card->copyRequest.store(COPY_PUBLISHED, std::memory_order_release);
    }
}

void panelCardStart(PanelCard *card)
{
    uint32_t after = beginChange(card);
    emulatorReset(&card->emulator, LPT_PORT_378, POWER_ON_CONTROL);
    card->emulator.logAccesses = false;
    card->recording = false;
    card->followsPortSwitch = true;
    card->baseChosen = false;
    resetCounters(card);
    endChange(card, after);
}

void panelCardConfigure(PanelCard *card, uint16_t base, uint8_t control)
{
    uint32_t after = beginChange(card);
    ModuleGlass glass = card->emulator.lcd.glass;
    emulatorReset(&card->emulator, base, control);
    card->emulator.lcd.glass = glass;
    card->recording = true;
    card->baseChosen = true;
    resetCounters(card);
    endChange(card, after);
}

bool panelCardSetGlass(PanelCard *card, const ModuleGlass &glass)
{
    uint32_t after = beginChange(card);
    bool set = emulatorSetPanel(&card->emulator, glass.width, glass.height, glass.cellWidth);
    endChange(card, after);
    return set;
}

void panelCardFollowPortSwitch(PanelCard *card, bool follow)
{
    card->followsPortSwitch = follow;
}

void panelCardClearLogs(PanelCard *card)
{
    card->emulator.transfers.clear();
    card->emulator.accesses.clear();
    card->transfersCounted = 0;
}

// The standard base whose card has the register `port`.
static bool standardPortOf(uint16_t port, uint16_t *base)
{
    for (int offset = 0; offset < CARD_REGISTERS; offset++) {
        if (portBaseIsStandard(port - offset)) {
            *base = (uint16_t)(port - offset);
            return true;
        }
    }
    return false;
}

uint16_t panelCardBaseFor(const PanelCard &card, uint16_t port, bool read)
{
    uint16_t standard;
    if (!card.baseChosen) {
        if (read)
            return (uint16_t)(port - CONTROL_OFFSET);
        return standardPortOf(port, &standard) ? standard : port;
    }
    if (onCard(card.emulator.base, port))
        return card.emulator.base;
    if (card.followsPortSwitch && standardPortOf(port, &standard))
        return standard;
    return card.emulator.base;
}

static void follow(PanelCard *card, uint16_t port, bool read)
{
    card->emulator.base = panelCardBaseFor(*card, port, read);
    card->baseChosen = true;
}

// Counts what the emulator logged during the access; a card that does not
// record empties the logs again (clear keeps their storage: no allocation).
static void count(PanelCard *card)
{
    Emulator &emulator = card->emulator;
    if (emulator.transfers.size() != card->transfersCounted) {
        card->bytesLatched += emulator.transfers.size() - card->transfersCounted;
        card->transfersCounted = emulator.transfers.size();
        if (!card->recording) {
            emulator.transfers.clear();
            card->transfersCounted = 0;
        }
    }
    if (emulator.faults.size() != card->faultsCounted) {
        card->faults += (uint32_t)(emulator.faults.size() - card->faultsCounted);
        copyText(card->latestFault, emulator.faults.back());
        card->faultsCounted = emulator.faults.size();
        if (!card->recording) {
            emulator.faults.clear();
            card->faultsCounted = 0;
        }
    }
}

void panelCardOut(PanelCard *card, uint16_t port, uint8_t value)
{
    uint32_t after = beginChange(card);
    follow(card, port, false);
    emulatorOut(&card->emulator, port, value);
    count(card);
    endChange(card, after);
}

uint8_t panelCardIn(PanelCard *card, uint16_t port)
{
    uint32_t after = beginChange(card);
    follow(card, port, true);
    uint8_t value = emulatorIn(&card->emulator, port);
    count(card);
    endChange(card, after);
    return value;
}

uint8_t panelCardMirroredIn(PanelCard *card, uint16_t port, uint8_t realValue)
{
    uint32_t after = beginChange(card);
    follow(card, port, true);
    Emulator &emulator = card->emulator;
    if (port == (uint16_t)(emulator.base + CONTROL_OFFSET))
        emulator.controlRegister = realValue;
    emulatorIn(&emulator, port);
    if (emulator.logAccesses && !emulator.accesses.empty())
        emulator.accesses.back().value = realValue;
    count(card);
    endChange(card, after);
    return realValue;
}

static bool newer(uint32_t sequence, uint32_t than)
{
    return (int32_t)(sequence - than) > 0;
}

bool panelCardChangedSince(const PanelCard &card, uint32_t sequence)
{
    return card.sequence.load(std::memory_order_acquire) != sequence;
}

bool panelCardCopy(PanelCard *card, PanelView *view)
{
    uint32_t shown = view->sequence;
    if (!panelCardChangedSince(*card, shown))
        return false;
    PanelView scratch;
    for (int attempt = 0; attempt < SEQUENCE_ATTEMPTS; attempt++) {
        uint32_t before = card->sequence.load(std::memory_order_acquire);
        if (before & 1)
            continue;
        copyInto(*card, &scratch);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (card->sequence.load(std::memory_order_relaxed) != before)
            continue;
        scratch.sequence = before;
        *view = scratch;
        if (card->copyRequest.load(std::memory_order_acquire) == COPY_PUBLISHED)
            card->copyRequest.store(COPY_IDLE, std::memory_order_release);
        return true;
    }
    if (panelCardTakePublished(card, view))
        return true;
    if (card->copyRequest.load(std::memory_order_acquire) == COPY_IDLE)
        card->copyRequest.store(COPY_REQUESTED, std::memory_order_release);
    return false;
}

bool panelCardTakePublished(PanelCard *card, PanelView *view)
{
    if (card->copyRequest.load(std::memory_order_acquire) != COPY_PUBLISHED)
        return false;
    bool taken = newer(card->published.sequence, view->sequence);
    if (taken)
        *view = card->published;
    card->copyRequest.store(COPY_IDLE, std::memory_order_release);
    return taken;
}
