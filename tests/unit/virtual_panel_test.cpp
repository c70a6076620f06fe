// The virtual panel's card, layout and picture: the plain code behind
// pixelvane-panel.dll (its window and exports are tested under Wine).
#include "panel_card.h"
#include "panel_layout.h"
#include "panel_picture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// Control register bits as the bus drives them.
enum { STROBE = 0x01, ENABLE = 0x02, COMMAND = 0x04 };

// One byte as the plug-in's bus sends it (idle state: C/D as left).
void sendByte(PanelCard *card, uint16_t base, bool command, uint8_t value)
{
    uint16_t control = (uint16_t)(base + 2);
    uint8_t idle = panelCardIn(card, control) & ~(STROBE | ENABLE | 0x08);
    uint8_t select = command ? (uint8_t)(idle | COMMAND) : (uint8_t)(idle & ~COMMAND);
    panelCardOut(card, base, value);
    panelCardOut(card, control, select);
    panelCardOut(card, control, (uint8_t)(select | ENABLE));
    panelCardOut(card, control, (uint8_t)(select | ENABLE | STROBE));
    panelCardOut(card, control, (uint8_t)(select | ENABLE));
    panelCardOut(card, control, select);
}

std::unique_ptr<PanelCard> startedCard()
{
    std::unique_ptr<PanelCard> card(new PanelCard());
    panelCardStart(card.get());
    return card;
}

} // namespace

TEST(VirtualPanelCard, FollowsThePortThePluginDrives)
{
    struct Case {
        const char *what;
        bool mirrored;
        uint16_t firstPort;
        bool firstIsRead;
        uint16_t laterPort;
        uint16_t baseAfterFirst, baseAfterLater;
    };
    const Case cases[] = {
        {"the first read of the control register", false, 0x37A, true, 0x37A, 0x378, 0x378},
        {"a switch to another standard port", false, 0x37A, true, 0x278, 0x378, 0x278},
        {"a switch to 0x3BC by its control register", false, 0x27A, true, 0x3BE, 0x278, 0x3BC},
        {"a custom base from its control register", false, 0x4FA, true, 0x4F8, 0x4F8, 0x4F8},
        {"a custom base from a first write", false, 0x4F8, false, 0x4FA, 0x4F8, 0x4F8},
        {"a port that is no card's after the first", false, 0x37A, true, 0x1234, 0x378, 0x378},
        {"a custom base whose control overlaps a standard port", false, 0x378, true, 0x376, 0x376, 0x376},
        {"a first write to a standard port's control register", false, 0x27A, false, 0x278, 0x278, 0x278},
        {"mirroring: the real module stays on its port", true, 0x37A, true, 0x278, 0x378, 0x378},
    };
    for (const Case &c : cases) {
        std::unique_ptr<PanelCard> card = startedCard();
        panelCardFollowPortSwitch(card.get(), !c.mirrored);
        if (c.firstIsRead)
            panelCardIn(card.get(), c.firstPort);
        else
            panelCardOut(card.get(), c.firstPort, 0);
        EXPECT_EQ(card->emulator.base, c.baseAfterFirst) << c.what;
        panelCardIn(card.get(), c.laterPort);
        EXPECT_EQ(card->emulator.base, c.baseAfterLater) << c.what;
    }
}

TEST(VirtualPanelCard, AfterAPortSwitchTheBytesReachTheControllerWithoutFaults)
{
    std::unique_ptr<PanelCard> card = startedCard();
    sendByte(card.get(), 0x378, false, 0x12);
    sendByte(card.get(), 0x378, false, 0x00);
    sendByte(card.get(), 0x378, true, 0x24); // address pointer 0x0012
    sendByte(card.get(), 0x278, false, 0x21);
    sendByte(card.get(), 0x278, true, 0xC0); // write 'A' there
    EXPECT_EQ(card->emulator.base, 0x278);
    EXPECT_EQ(card->emulator.lcd.ram[0x12], 0x21);
    EXPECT_EQ(card->faults, 0u);
    EXPECT_EQ(card->bytesLatched, 5u);
}

TEST(VirtualPanelCard, CountsBytesAndFaultsAndKeepsNoGrowingLogsUnlessRecording)
{
    for (bool recording : {false, true}) {
        std::unique_ptr<PanelCard> card = startedCard();
        if (recording)
            panelCardConfigure(card.get(), 0x378, 0xCC);
        for (int i = 0; i < 1000; i++)
            sendByte(card.get(), 0x378, false, (uint8_t)i);
        sendByte(card.get(), 0x378, true, 0x70); // unknown command
        sendByte(card.get(), 0x378, true, 0x71);
        EXPECT_EQ(card->bytesLatched, 1002u);
        EXPECT_EQ(card->faults, 2u);
        EXPECT_STREQ(card->latestFault, "unknown command 0x71");
        EXPECT_EQ(card->emulator.accessCount, 1002u * 7);
        EXPECT_EQ(card->emulator.transfers.size(), recording ? 1002u : 0u);
        EXPECT_EQ(card->emulator.faults.size(), recording ? 2u : 0u);
        EXPECT_EQ(card->emulator.accesses.size(), recording ? 1002u * 7 : 0u);
    }
}

TEST(VirtualPanelCard, MirroredReadsAnswerWhatTheRealPortReads)
{
    std::unique_ptr<PanelCard> card = startedCard();
    panelCardConfigure(card.get(), 0x378, 0xCC);
    EXPECT_EQ(panelCardMirroredIn(card.get(), 0x37A, 0xC4), 0xC4);
    // The control latch took the real port's bits; the log the real value.
    EXPECT_EQ(panelCardIn(card.get(), 0x37A), 0xC4);
    ASSERT_EQ(card->emulator.accesses.size(), 2u);
    EXPECT_EQ(card->emulator.accesses[0].value, 0xC4);
    EXPECT_EQ(panelCardMirroredIn(card.get(), 0x1234, 0x5A), 0x5A);
}

// The player's thread fills RAM with auto write, one value per pass, while
// the window's thread copies: in a consistent copy every byte before the
// address pointer holds this pass's value and every byte from it on the
// last pass's. A torn copy breaks that.
TEST(VirtualPanelCard, CopiesTakenWhileThePlayerWritesAreNeverTorn)
{
    std::unique_ptr<PanelCard> card = startedCard();
    const uint16_t base = 0x378;
    sendByte(card.get(), base, false, 0x00);
    sendByte(card.get(), base, false, 0x00);
    sendByte(card.get(), base, true, 0x24);
    sendByte(card.get(), base, true, 0xB0); // auto write from 0x0000
    std::atomic<bool> stop{false};
    std::thread player([&] {
        for (int pass = 1; !stop.load(); pass++) {
            for (int i = 0; i < 0x2000 && !stop.load(); i++)
                sendByte(card.get(), base, false, (uint8_t)pass);
            // Back to 0x0000: leave auto mode, set the pointer, auto write.
            sendByte(card.get(), base, true, 0xB2);
            sendByte(card.get(), base, false, 0x00);
            sendByte(card.get(), base, false, 0x00);
            sendByte(card.get(), base, true, 0x24);
            sendByte(card.get(), base, true, 0xB0);
        }
    });
    std::unique_ptr<PanelView> view(new PanelView());
    view->sequence = 0;
    int copies = 0, torn = 0, lastPointer = -1, pointerChanges = 0;
    for (int attempt = 0; attempt < 200000 && copies < 2000; attempt++) {
        if (!panelCardCopy(card.get(), view.get())) {
            std::this_thread::yield();
            continue;
        }
        copies++;
        const T6963c &lcd = view->lcd;
        unsigned pointer = lcd.addressPointer; // 0 to 0x2000
        if ((int)pointer != lastPointer)
            pointerChanges++;
        lastPointer = (int)pointer;
        bool wholePass = pointer == 0 || pointer == 0x2000;
        uint8_t current = lcd.ram[0], previous = wholePass ? current : (uint8_t)(current - 1);
        for (unsigned i = 0; i < 0x2000; i++) {
            if (lcd.ram[i] != (i < pointer ? current : previous)) {
                torn++;
                break;
            }
        }
    }
    stop = true;
    player.join();
    EXPECT_GE(copies, 100);
    EXPECT_GE(pointerChanges, 10) << "the copies did not see the player's thread at work";
    EXPECT_EQ(torn, 0);
}

TEST(VirtualPanelLayout, TheLargestScaleThatFitsCentredAboveTheStatusLine)
{
    struct Case {
        int width, height, scale, left, top;
    };
    int exactWidth, exactHeight;
    panelClientSize(3, 240, 64, &exactWidth, &exactHeight);
    EXPECT_EQ(exactWidth, 240 * 3 + 2 * PANEL_BEZEL);
    EXPECT_EQ(exactHeight, 64 * 3 + 2 * PANEL_BEZEL + PANEL_STATUS_HEIGHT);
    const Case cases[] = {
        {exactWidth, exactHeight, 3, PANEL_BEZEL, PANEL_BEZEL},
        {exactWidth - 1, exactHeight, 2, (exactWidth - 1 - 480) / 2, (exactHeight - PANEL_STATUS_HEIGHT - 128) / 2},
        {exactWidth + 500, exactHeight, 3, (exactWidth + 500 - 720) / 2, PANEL_BEZEL},
        {4000, 4000, 6, (4000 - 1440) / 2, (4000 - PANEL_STATUS_HEIGHT - 384) / 2},
        {100, 50, 1, 0, 0},
    };
    for (const Case &c : cases) {
        PanelLayout layout = panelLayout(c.width, c.height, 240, 64);
        EXPECT_EQ(layout.scale, c.scale) << c.width << "x" << c.height;
        EXPECT_EQ(layout.left, c.left) << c.width << "x" << c.height;
        EXPECT_EQ(layout.top, c.top) << c.width << "x" << c.height;
        EXPECT_EQ(layout.width, 240 * c.scale);
        EXPECT_EQ(layout.statusTop, c.height - PANEL_STATUS_HEIGHT > 0 ? c.height - PANEL_STATUS_HEIGHT : 0);
    }
    // A 128 x 64 module: the window fits its glass.
    panelClientSize(3, 128, 64, &exactWidth, &exactHeight);
    EXPECT_EQ(exactWidth, 128 * 3 + 2 * PANEL_BEZEL);
    EXPECT_EQ(exactHeight, 64 * 3 + 2 * PANEL_BEZEL + PANEL_STATUS_HEIGHT);
    PanelLayout small = panelLayout(exactWidth + 100, exactHeight, 128, 64);
    EXPECT_EQ(small.scale, 3);
    EXPECT_EQ(small.left, (exactWidth + 100 - 384) / 2);
    EXPECT_EQ(small.width, 384);
    EXPECT_EQ(small.height, 192);
    EXPECT_EQ(panelLayout(exactWidth - 1, exactHeight, 128, 64).scale, 2);
    EXPECT_EQ(panelValidScale(0), 3);
    EXPECT_EQ(panelValidScale(7), 3);
    EXPECT_EQ(panelValidScale(6), 6);
    EXPECT_EQ(panelValidPace(2), 0);
    EXPECT_EQ(panelNextPace(0), 1);
    EXPECT_EQ(panelNextPace(1), 5);
    EXPECT_EQ(panelNextPace(5), 0);
}

TEST(VirtualPanelLayout, TitleAndStatusLineSayThePortTheCountsAndTheLatestFault)
{
    PanelStatus quiet = {0x378, false, 0, 5876, 8667, 0, ""};
    EXPECT_EQ(panelStatusLine(quiet), "Port 0x378 | 5,876 accesses/s | 8,667 bytes latched | no faults");
    PanelStatus busy = {0x278, true, 5, 1234567, 0, 1, "unknown command 0x71"};
    EXPECT_EQ(panelStatusLine(busy), "Port 0x278 (mirrored), paced 5 us | 1,234,567 accesses/s | 0 bytes latched | "
                                     "1 fault, latest: unknown command 0x71");
    PanelStatus faulty = {0x3BC, false, 1, 0, 1000, 12519, "C/D changed during write strobe"};
    EXPECT_EQ(panelStatusLine(faulty), "Port 0x3BC, paced 1 us | 0 accesses/s | 1,000 bytes latched | "
                                       "12,519 faults, latest: C/D changed during write strobe");
    PanelStatus refused = quiet;
    refused.refusedKeys = "Panel Size: height 100 is not whole 8-pixel rows from 32 to 128";
    EXPECT_EQ(panelStatusLine(refused), "Panel Size: height 100 is not whole 8-pixel rows from 32 to 128, 240 x 64 "
                                        "shown | Port 0x378 | 5,876 accesses/s | 8,667 bytes latched | no faults");
    std::string notice = panelNoticeText("Bad\tkey\x01 \xE9t\xE9\n");
    EXPECT_EQ(notice, "Bad key? ?t? ");
    refused.notice = notice.c_str();
    EXPECT_EQ(panelStatusLine(refused), "Bad key? ?t? ");
    EXPECT_EQ(panelNoticeText(nullptr), "");
    EXPECT_EQ(panelNoticeText(std::string(500, 'x').c_str()), std::string(PANEL_NOTICE_CHARACTERS, 'x'));
    EXPECT_EQ(panelTitle(0x378, false), "Pixelvane virtual panel - port 0x378");
    EXPECT_EQ(panelTitle(0x4F8, true), "Pixelvane virtual panel - port 0x4F8, mirrored to inpout32.dll");
}

TEST(VirtualPanelPicture, EveryDotAtEveryScaleHasTheShadeOfThePanelPictures)
{
    std::unique_ptr<PanelImage> image(new PanelImage());
    for (int y = 0; y < SIM_PANEL_HEIGHT; y++)
        for (int x = 0; x < SIM_PANEL_WIDTH; x++)
            image->pixel[y][x] = (uint8_t)(((x * 7 + y * 3) % 5) < 2);
    for (int scale = PANEL_MIN_SCALE; scale <= PANEL_MAX_SCALE; scale++) {
        PanelPicture picture;
        panelPictureRender(*image, scale, &picture);
        ASSERT_EQ(picture.width, 240 * scale);
        ASSERT_EQ(picture.height, 64 * scale);
        long differing = 0;
        for (int y = 0; y < picture.height; y++)
            for (int x = 0; x < picture.width; x++)
                differing += picture.pixels[(size_t)y * picture.width + x] !=
                             panelPixelColour(panelShade(*image, x, y, scale));
        EXPECT_EQ(differing, 0) << "scale " << scale;
    }
    EXPECT_EQ(panelPixelColour(SHADE_BACKGROUND), 0xB8C850u);
    image->width = 128; // a 128 x 64 module's picture is its size
    PanelPicture small;
    panelPictureRender(*image, 2, &small);
    EXPECT_EQ(small.width, 256);
    EXPECT_EQ(small.height, 128);
}
