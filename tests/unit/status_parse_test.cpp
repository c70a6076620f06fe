// Player status sampling: the window title cut down to artist and song,
// the time, playlist and rate texts, against a fake host.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fake_host.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"

namespace {

struct StatusSampleTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        fakeHostReset();
        memset(&playerStatus, 0, sizeof playerStatus);
    }

    void answerTime(int positionMs, int lengthSeconds)
    {
        fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_POSITION, positionMs);
        fakeHostAnswer(HOST_QUERY_TIME, HOST_TIME_LENGTH, lengthSeconds);
    }

    void answerAll(int value)
    {
        answerTime(value, value);
        fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_SAMPLE_RATE, value);
        fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_BIT_RATE, value);
        fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, value);
        fakeHostAnswer(HOST_QUERY_PLAYLIST_LENGTH, 0, value);
        fakeHostAnswer(HOST_QUERY_PLAYLIST_INDEX, 0, value);
        fakeHostAnswer(HOST_QUERY_PLAY_STATE, 0, value);
    }

    void sampleTitle(const std::string &title)
    {
        fakeHost.title = title;
        samplePlayerStatus();
    }

    std::string artist() const { return playerStatus.artist; }
    std::string song() const { return playerStatus.song; }
};

// A field holds its terminator and so nothing was written past it.
template <size_t N>
bool terminatedWithin(const char (&field)[N])
{
    return memchr(field, '\0', N) != nullptr;
}

TEST_F(StatusSampleTest, TitleOfTheExpectedFormYieldsArtistAndSong)
{
    sampleTitle("3. Artist - Song - Winamp");
    EXPECT_EQ(std::string(playerStatus.title), "Artist - Song");
    EXPECT_EQ(artist(), "Artist");
    EXPECT_EQ(song(), "Song");
}

TEST_F(StatusSampleTest, HostSuffixIsFoundByItsLastOccurrenceInAnyCase)
{
    sampleTitle("3. Artist - Song - Winamp [Paused]");
    EXPECT_EQ(artist(), "Artist");
    EXPECT_EQ(song(), "Song");

    sampleTitle("12. Artist - Song   - WINAMP");
    EXPECT_EQ(artist(), "Artist");
    EXPECT_EQ(song(), "Song");

    // Only the last "- Winamp" belongs to the host.
    sampleTitle("1. Fans - Winamp Mix - Song - Winamp");
    EXPECT_EQ(artist(), "Fans - Winamp Mix");
    EXPECT_EQ(song(), "Song");
}

TEST_F(StatusSampleTest, TitleWithoutHostSuffixLeavesEverythingEmpty)
{
    sampleTitle("3. Artist - Song");
    EXPECT_EQ(std::string(playerStatus.title), "");
    EXPECT_EQ(artist(), "");
    EXPECT_EQ(song(), "");
}

TEST_F(StatusSampleTest, ArtistHoldingSeparatorKeepsAllUpToTheLastOne)
{
    sampleTitle("7. Crosby - Stills - Nash - Winamp");
    EXPECT_EQ(artist(), "Crosby - Stills");
    EXPECT_EQ(song(), "Nash");
}

TEST_F(StatusSampleTest, TitlesAtTheLengthLimitStayWithinTheirFields)
{
    // 255 characters, the most the title field takes.
    const std::string longArtist(120, 'a');
    const std::string suffix = " - Winamp";
    std::string longSong(255 - 3 - longArtist.size() - 3 - suffix.size(), 's');
    std::string title = "1. " + longArtist + " - " + longSong + suffix;
    ASSERT_EQ(title.size(), 255u);
    sampleTitle(title);
    EXPECT_EQ(artist(), longArtist);
    EXPECT_EQ(song(), longSong);

    std::string wholeSong(255 - 3 - suffix.size(), 'w');
    sampleTitle("1. " + wholeSong + suffix);
    EXPECT_EQ(artist(), "");
    EXPECT_EQ(song(), wholeSong);

    // One character more and the host's suffix no longer fits the field.
    sampleTitle("1. " + wholeSong + "x" + suffix);
    EXPECT_EQ(song(), "");
    EXPECT_TRUE(terminatedWithin(playerStatus.title));
}

TEST_F(StatusSampleTest, TitleWithoutPlaylistSeparatorIsLeftAsItIs)
{
    sampleTitle("Artist - Song - Winamp");
    EXPECT_EQ(artist(), "Artist");
    EXPECT_EQ(song(), "Song");

    char emptied[TITLE_SIZE] = "";
    statusStripPlaylistNumber(emptied);
    EXPECT_STREQ(emptied, "");
}

TEST_F(StatusSampleTest, SeparatorNearTheEndNeverSkipsPastIt)
{
    // Stale bytes behind the terminator must not come back into the title.
    char dotLast[TITLE_SIZE];
    memset(dotLast, 'z', sizeof dotLast);
    dotLast[TITLE_SIZE - 1] = '\0';
    strcpy(dotLast, "12.");
    statusStripPlaylistNumber(dotLast);
    EXPECT_STREQ(dotLast, "");

    char oneAfter[TITLE_SIZE];
    memset(oneAfter, 'z', sizeof oneAfter);
    oneAfter[TITLE_SIZE - 1] = '\0';
    strcpy(oneAfter, "12.x");
    statusStripPlaylistNumber(oneAfter);
    EXPECT_STREQ(oneAfter, "");

    char twoAfter[TITLE_SIZE] = "12.xy";
    statusStripPlaylistNumber(twoAfter);
    EXPECT_STREQ(twoAfter, "y");

    // Only the first "." counts: the rest stays in the track title.
    char dotted[TITLE_SIZE] = "4. Mr. Big - Song";
    statusStripPlaylistNumber(dotted);
    EXPECT_STREQ(dotted, "Mr. Big - Song");
}

TEST_F(StatusSampleTest, TrackTitleWithoutSeparatorIsAllSong)
{
    sampleTitle("5. Just a song - Winamp");
    EXPECT_EQ(artist(), "");
    EXPECT_EQ(song(), "Just a song");
}

TEST_F(StatusSampleTest, SpacesBeforeTheSeparatorLeaveTheArtistAndShiftTheSong)
{
    char artistText[ARTIST_SIZE];
    char songText[SONG_SIZE];
    statusSplitTrackTitle("Band   - Tune", artistText, ARTIST_SIZE, songText, SONG_SIZE);
    EXPECT_STREQ(artistText, "Band");
    // The song starts three characters after the artist's end.
    EXPECT_STREQ(songText, "- Tune");
}

TEST_F(StatusSampleTest, TimeShowsElapsedOrRemainingWithTheLength)
{
    answerTime(75000, 200);
    settings.timeRemaining = 1;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "02:05/03:20");

    settings.timeRemaining = 0;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "01:15/03:20");

    // Milliseconds are truncated, not rounded.
    answerTime(75999, 200);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "01:15/03:20");
}

TEST_F(StatusSampleTest, UnknownLengthShowsMinusSigns)
{
    answerTime(100000, -1);
    settings.timeRemaining = 1;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "-1:-41/00:-1");

    settings.timeRemaining = 0;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "01:40/00:-1");
}

TEST_F(StatusSampleTest, ChannelWordFollowsTheCountAndOtherCountsKeepIt)
{
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 2);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.channelsText, "Stereo");

    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 0);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.channelsText, "Stereo");

    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 1);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.channelsText, "Mono");

    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_CHANNELS, 6);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.channelsText, "Mono");
}

TEST_F(StatusSampleTest, PlaylistRatesAndStateComeFromTheirQueries)
{
    fakeHostAnswer(HOST_QUERY_PLAYLIST_LENGTH, 0, 7);
    fakeHostAnswer(HOST_QUERY_PLAYLIST_INDEX, 0, 0);
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_SAMPLE_RATE, 44);
    fakeHostAnswer(HOST_QUERY_TRACK_INFO, HOST_INFO_BIT_RATE, 5);
    fakeHostAnswer(HOST_QUERY_PLAY_STATE, 0, 3);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.trackText, "01/07");
    EXPECT_STREQ(playerStatus.sampleRateText, "44");
    EXPECT_STREQ(playerStatus.bitRateText, "05");
    EXPECT_EQ(playerStatus.sampleRate, 44);
    EXPECT_EQ(playerStatus.bitRate, 5);
    EXPECT_EQ(playerStatus.playState, 3);
}

TEST_F(StatusSampleTest, QueriesGoOutInTheHostsExpectedOrder)
{
    sampleTitle("1. A - B - Winamp");
    const std::vector<std::pair<int, int>> expected = {
        {105, 0}, {105, 1}, {126, 0}, {126, 1}, {126, 2}, {124, 0}, {125, 0}, {104, 0},
    };
    EXPECT_EQ(fakeHost.queries, expected);
    EXPECT_EQ(fakeHost.titleReads, 1);
    EXPECT_EQ(fakeHost.playCommands, 0);
}

TEST_F(StatusSampleTest, HostileAnswersStayWithinTheirFields)
{
    answerAll(INT_MIN);
    settings.timeRemaining = 1;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "-35755602:-45/-3579");
    EXPECT_STREQ(playerStatus.trackText, "-2147483647/-214748");
    EXPECT_STREQ(playerStatus.sampleRateText, "-2147483648");
    settings.timeRemaining = 0;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "-35791:-23/-3579139");

    answerAll(INT_MAX);
    settings.timeRemaining = 1;
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "35755602:44/3579139");
    EXPECT_STREQ(playerStatus.trackText, "2147483648/21474836");
    EXPECT_STREQ(playerStatus.bitRateText, "2147483647");

    // Remaining time beyond the 32-bit range.
    answerTime(INT_MIN, INT_MAX);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "35827185:30/3579139");

    answerAll(-1);
    sampleTitle("1. A - B - Winamp");
    EXPECT_STREQ(playerStatus.timeText, "00:-1/00:-1");
    EXPECT_STREQ(playerStatus.trackText, "00/-1");
    EXPECT_EQ(playerStatus.playState, -1);
    EXPECT_TRUE(terminatedWithin(playerStatus.timeText));
    EXPECT_TRUE(terminatedWithin(playerStatus.trackText));
}

TEST_F(StatusSampleTest, BareHostNameStartsPlaybackAndReadsTheTitleAgainEveryTick)
{
    fakeHost.title = "Winamp 5.9";
    for (int tick = 1; tick <= 3; tick++) {
        samplePlayerStatus();
        EXPECT_EQ(fakeHost.playCommands, tick);
        EXPECT_EQ(fakeHost.titleReads, 2 * tick);
    }

    fakeHostReset();
    fakeHost.title = "WINAMP";
    fakeHost.switchTitleOnPlay = true;
    fakeHost.titleAfterPlay = "2. Artist - Song - Winamp";
    samplePlayerStatus();
    EXPECT_EQ(fakeHost.playCommands, 1);
    EXPECT_EQ(artist(), "Artist");
    EXPECT_EQ(song(), "Song");

    // A title merely mentioning the host's name later on is a track.
    fakeHostReset();
    sampleTitle("1. My Winamp - Song - Winamp");
    EXPECT_EQ(fakeHost.playCommands, 0);
    EXPECT_EQ(artist(), "My Winamp");
}

} // namespace

// The UTF-16 title of a Unicode window is cut by the same algorithm as the
// single-byte one: every case gives the same artist and song either way,
// and letters outside ASCII pass through untouched.
TEST(StatusParse, UnicodeTitlesAreCutExactlyAsSingleByteOnes)
{
    const char *titles[] = {
        "3. Artist - Song - Winamp",
        "12. A - B - C - Winamp [Paused]",
        "1. No Separator - winamp",
        "Winamp 2.91",
        "7.  Spaced   -  Out - Winamp",
        "9. Ends with a dot.",
        "",
        "4. Art - Song -Winamp",
    };
    for (const char *text : titles) {
        SCOPED_TRACE(text);
        char title[TITLE_SIZE], artist[ARTIST_SIZE], song[SONG_SIZE];
        snprintf(title, sizeof title, "%s", text);
        statusCutTitle(title, artist, ARTIST_SIZE, song, SONG_SIZE);
        char16_t wideTitle[TITLE_SIZE], wideArtist[ARTIST_SIZE], wideSong[SONG_SIZE];
        std::u16string wide(text, text + strlen(text));
        std::copy(wide.begin(), wide.end(), wideTitle);
        wideTitle[wide.size()] = 0;
        statusCutTitle(wideTitle, wideArtist, ARTIST_SIZE, wideSong, SONG_SIZE);
        EXPECT_EQ(std::u16string(wideArtist), std::u16string(artist, artist + strlen(artist)));
        EXPECT_EQ(std::u16string(wideSong), std::u16string(song, song + strlen(song)));
    }

    char16_t title[TITLE_SIZE], artist[ARTIST_SIZE], song[SONG_SIZE];
    std::u16string russian = u"5. Кино - Группа крови - WINAMP";
    std::copy(russian.begin(), russian.end(), title);
    title[russian.size()] = 0;
    statusCutTitle(title, artist, ARTIST_SIZE, song, SONG_SIZE);
    EXPECT_EQ(std::u16string(artist), u"Кино");
    EXPECT_EQ(std::u16string(song), u"Группа крови");
    // Bounded as the single-byte fields are.
    statusSplitTrackTitle(u"Ελληνικά - Τραγούδι", artist, 4, song, 3);
    EXPECT_EQ(std::u16string(artist), u"Ελλ");
    EXPECT_EQ(std::u16string(song), u"Τρ");
}
