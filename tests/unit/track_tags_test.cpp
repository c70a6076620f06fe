// The track's tags as the graphic screen will show them: looked up once per
// change of track and never on a still tick, the window title's artist and
// song where the host has no tags, and the host's hostile answers refused.
#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"
#include "track_tags.h"

namespace {

const std::u16string PATH_ONE = u"C:\\Music\\one.mp3";
const std::u16string PATH_TWO = u"C:\\Music\\two.mp3";

void setTitle(const std::u16string &unicode, const std::string &ansi)
{
    fakeHost.unicodeTitle = unicode;
    fakeHost.title = ansi;
}

void setTags(const std::u16string &path, const std::u16string &artist, const std::u16string &title,
             const std::u16string &album)
{
    fakeHostSetTag(path, u"artist", artist);
    fakeHostSetTag(path, u"title", title);
    fakeHostSetTag(path, u"album", album);
}

// One graphic tick's sampling, in the order the tick runs it.
void tick()
{
    samplePlayerStatus();
    sampleUnicodeTitle();
    sampleTrackTags();
}

struct TrackTagsTest : ::testing::Test {
    void SetUp() override
    {
        settingsReset();
        fakeHostReset();
        memset(&playerStatus, 0, sizeof playerStatus);
        memset(&unicodeTitle, 0, sizeof unicodeTitle);
        resetTrackTags();
    }
};

// A playlist as it plays, tick by tick: each step changes the host (or
// not), ticks once, and says what trackTags holds and how many lookups of a
// path and of tags that tick made.
struct Step {
    const char *what;
    int position;
    const char16_t *title;
    void (*change)();
    const char16_t *artist;
    const char16_t *songTitle;
    const char16_t *album;
    bool fromTags;
    int fileLookups;
    int tagLookups;
};

void nothing() {}
void editTagsOfOne() { setTags(PATH_ONE, u"Edited Artist", u"Edited Title", u"Edited Album"); }

TEST_F(TrackTagsTest, TagsAreLookedUpOncePerChangeOfTrackAndKeptOnStillTicks)
{
    fakeHostSetPlaylistFile(0, PATH_ONE);
    fakeHostSetPlaylistFile(1, PATH_TWO);
    setTags(PATH_ONE, u"Tag Artist", u"Tag Title", u"Tag Album");
    setTags(PATH_TWO, u"Second Artist", u"Second Title", u"Second Album");
    const char16_t *one = u"1. Title Artist - Title Song - Winamp";
    const char16_t *two = u"2. Second Artist - Second Title - Winamp";
    const Step steps[] = {
        {"first tick", 0, one, nothing, u"Tag Artist", u"Tag Title", u"Tag Album", true, 1, 3},
        {"still", 0, one, nothing, u"Tag Artist", u"Tag Title", u"Tag Album", true, 0, 0},
        {"still", 0, one, nothing, u"Tag Artist", u"Tag Title", u"Tag Album", true, 0, 0},
        {"pause note after the host's name", 0, u"1. Title Artist - Title Song - Winamp [Paused]", nothing,
         u"Tag Artist", u"Tag Title", u"Tag Album", true, 0, 0},
        {"tags edited while it plays: kept until the next change", 0, one, editTagsOfOne, u"Tag Artist",
         u"Tag Title", u"Tag Album", true, 0, 0},
        {"next track", 1, two, nothing, u"Second Artist", u"Second Title", u"Second Album", true, 1, 3},
        {"still", 1, two, nothing, u"Second Artist", u"Second Title", u"Second Album", true, 0, 0},
        {"back to the edited file", 0, one, nothing, u"Edited Artist", u"Edited Title", u"Edited Album", true, 1,
         3},
        {"a stream's title changes at one position", 0, u"1. Title Artist - Another Song - Winamp", nothing,
         u"Edited Artist", u"Edited Title", u"Edited Album", true, 1, 3},
        {"position alone changes", 1, u"1. Title Artist - Another Song - Winamp", nothing, u"Second Artist",
         u"Second Title", u"Second Album", true, 1, 3},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        fakeHostAnswer(HOST_QUERY_PLAYLIST_INDEX, 0, step.position);
        setTitle(step.title, "");
        int files = fakeHostFileLookups();
        int tags = fakeHostTagLookups();
        tick();
        EXPECT_EQ(std::u16string(trackTags.artist), step.artist);
        EXPECT_EQ(std::u16string(trackTags.title), step.songTitle);
        EXPECT_EQ(std::u16string(trackTags.album), step.album);
        EXPECT_EQ(trackTags.fromTags, step.fromTags);
        EXPECT_EQ(fakeHostFileLookups() - files, step.fileLookups);
        EXPECT_EQ(fakeHostTagLookups() - tags, step.tagLookups);
    }
    // Each lookup asked for the three tags by name, with the whole field.
    ASSERT_EQ(fakeHost.tagNamesAsked.size(), 15u);
    for (size_t i = 0; i < fakeHost.tagNamesAsked.size(); i++) {
        const char16_t *names[] = {u"artist", u"title", u"album"};
        EXPECT_EQ(fakeHost.tagNamesAsked[i], names[i % 3]);
        EXPECT_EQ(fakeHost.tagValueSizes[i], (size_t)TAG_TEXT_SIZE);
    }
}

// One track, set up as each case says, sampled on its first tick.
struct Case {
    const char *what;
    void (*setUp)();
    const char16_t *unicodeTitle; // empty: an ANSI window showing ansiTitle
    const char *ansiTitle;
    const char16_t *artist;
    const char16_t *songTitle;
    const char16_t *album;
    bool fromTags;
    int tagLookups;
};

const std::u16string LONG_TAG(300, u'x');
const std::u16string CUT_TAG(TAG_TEXT_SIZE - 1, u'x');
const std::u16string LONG_PATH(TAG_PATH_SIZE - 1, u'p');

const Case CASES[] = {
    {"an artist holding \" - \" stays whole from tags",
     [] { setTags(PATH_ONE, u"Gilbert - Sullivan", u"Tit - Willow", u"Mikado"); },
     u"1. Gilbert - Sullivan - Tit - Willow - Winamp", "", u"Gilbert - Sullivan", u"Tit - Willow", u"Mikado",
     true, 3},
    {"without tags the title is cut as before",
     [] { fakeHost.tags.clear(); },
     u"1. Gilbert - Sullivan - Tit - Willow - Winamp", "", u"Gilbert - Sullivan - Tit", u"Willow", u"", false,
     3},
    {"tags answered but empty: the title, and no album",
     [] { setTags(PATH_ONE, u"", u"", u"Some Album"); },
     u"1. Title Artist - Title Song - Winamp", "", u"Title Artist", u"Title Song", u"", false, 3},
    {"a title tag alone is the tags' own",
     [] { fakeHostSetTag(PATH_ONE, u"title", u"Only A Title"); },
     u"1. Title Artist - Title Song - Winamp", "", u"", u"Only A Title", u"", true, 3},
    {"no path for the position: the title, no tag asked",
     [] { fakeHost.playlistFiles.clear(); setTags(PATH_ONE, u"A", u"T", u"L"); },
     u"1. Title Artist - Title Song - Winamp", "", u"Title Artist", u"Title Song", u"", false, 0},
    {"a path without terminator is refused, no tag asked",
     [] { fakeHostSetPlaylistFile(0, std::u16string(TAG_PATH_SIZE, u'p'), false); },
     u"1. Title Artist - Title Song - Winamp", "", u"Title Artist", u"Title Song", u"", false, 0},
    {"a path filling the buffer with its terminator is taken",
     [] { fakeHostSetPlaylistFile(0, LONG_PATH); setTags(LONG_PATH, u"A", u"T", u"L"); },
     u"1. Title Artist - Title Song - Winamp", "", u"A", u"T", u"L", true, 3},
    {"a tag longer than the field arrives cut and stays cut",
     [] { setTags(PATH_ONE, LONG_TAG, u"T", u""); },
     u"1. Title Artist - Title Song - Winamp", "", CUT_TAG.c_str(), u"T", u"",
     true, 3},
    {"a fill without terminator is refused, a short one kept",
     [] { setTags(PATH_ONE, LONG_TAG, u"T", LONG_TAG); fakeHost.tagFillUnterminated = true; },
     u"1. Title Artist - Title Song - Winamp", "", u"", u"T", u"", true, 3},
    {"artist and title both refused: the title",
     [] { setTags(PATH_ONE, LONG_TAG, LONG_TAG, u"L"); fakeHost.tagFillUnterminated = true; },
     u"1. Title Artist - Title Song - Winamp", "", u"Title Artist", u"Title Song", u"", false, 3},
    {"an ANSI window with tags",
     [] { setTags(PATH_ONE, u"\u00c9dith Piaf", u"La Vie", u"L"); },
     u"", "1. Edith Piaf - La Vie - Winamp", u"\u00c9dith Piaf", u"La Vie", u"L", true, 3},
    {"an ANSI window without tags: its artist and song, widened",
     [] { fakeHost.tags.clear(); },
     u"", "1. \xc9" "dith Piaf - La Vie - Winamp", u"\u00c9dith Piaf", u"La Vie", u"", false, 3},
};

TEST_F(TrackTagsTest, EachHostAnswerGivesTagsOrTheTitle)
{
    for (const Case &c : CASES) {
        SCOPED_TRACE(c.what);
        SetUp();
        fakeHostSetPlaylistFile(0, PATH_ONE);
        c.setUp();
        setTitle(c.unicodeTitle, c.ansiTitle);
        tick();
        EXPECT_EQ(std::u16string(trackTags.artist), c.artist);
        EXPECT_EQ(std::u16string(trackTags.title), c.songTitle);
        EXPECT_EQ(std::u16string(trackTags.album), c.album);
        EXPECT_EQ(trackTags.fromTags, c.fromTags);
        EXPECT_EQ(fakeHostFileLookups(), 1);
        EXPECT_EQ(fakeHostTagLookups(), c.tagLookups);
        // A second tick of the same track asks nothing and changes nothing.
        TrackTags before = trackTags;
        tick();
        EXPECT_EQ(memcmp(&before, &trackTags, sizeof before), 0);
        EXPECT_EQ(fakeHostFileLookups(), 1);
        EXPECT_EQ(fakeHostTagLookups(), c.tagLookups);
    }
}

TEST_F(TrackTagsTest, ResetLooksUpAgainAndFallsBackWhenTheHostStopsAnswering)
{
    fakeHostSetPlaylistFile(0, PATH_ONE);
    setTags(PATH_ONE, u"A", u"T", u"L");
    setTitle(u"1. Title Artist - Title Song - Winamp", "");
    tick();
    EXPECT_TRUE(trackTags.fromTags);
    resetTrackTags();
    EXPECT_EQ(trackTags.artist[0], 0);
    EXPECT_FALSE(trackTags.fromTags);
    fakeHost.tags.clear();
    tick();
    EXPECT_EQ(fakeHostFileLookups(), 2);
    EXPECT_EQ(std::u16string(trackTags.artist), u"Title Artist");
    EXPECT_EQ(std::u16string(trackTags.album), u"");
    EXPECT_FALSE(trackTags.fromTags);
}

} // namespace
