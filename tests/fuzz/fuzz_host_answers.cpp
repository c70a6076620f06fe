// Fuzz target: the host's pointer-sized answers (visual data, levels,
// playlist paths, file tags) through the fake host into sampleTrackTags and
// sampleVisual, tick after tick.
//
// The input is a run of up to 16 ticks, each:
//   1 byte   answers: bit 0 the spectrum function, 1 its data null, 2 the
//            start function, 3 the level function, 4 a path at the position,
//            5 the path terminated, 6 tags filled without terminator,
//            7 a new start of sampling
//   1 byte   changes: bit 0 a new position (1 byte, 0-3), 1 a new title
//            (1 byte n, then n UTF-16 units, 2 bytes each; the ANSI title is
//            their low bytes), 2 new tags for the path (three times: 2 bytes
//            n up to 400, then n units), 3 new visual data (150 bytes),
//            4 an ANSI window, 5 a new path (1 byte: 5 units a step, up to
//            1275, then 1 byte of pattern)
//   2 x 4    left and right level, little-endian
// Missing bytes read as 0.
//
// After every tick: each tag text is terminated in its field; lookups were
// made only when the position or the title's artist and song changed, one
// path and three tags at most; what trackTags holds is the host's tags (cut
// to the field, a fill without terminator refused) or the title's artist
// and song; the sample holds exactly this tick's answers, levels clamped,
// and the start function was called once per start of sampling. The fake
// hands over paths as exactly their units, so a read past them is a heap
// overflow.
#include <cstdint>
#include <cstring>
#include <string>

#include "fake_host.h"
#include "fuzz_support.h"
#include "host.h"
#include "player_status.h"
#include "settings.h"
#include "track_tags.h"
#include "visual_sample.h"

namespace {

const int MAX_TICKS = 16;
const int POSITIONS = 4;
const int MAX_TAG_UNITS = 400;
const int PATH_UNITS_STEP = 5;
const char16_t *const TAG_NAMES[] = {u"artist", u"title", u"album"};

std::u16string takeUnits(Input *in, size_t count)
{
    std::u16string units;
    for (size_t i = 0; i < count && in->size > 0; i++) {
        char16_t unit = takeByte(in);
        unit |= (char16_t)(takeByte(in) << 8);
        units.push_back(unit);
    }
    return units;
}

bool terminatedWithin(const char16_t *field, int size)
{
    for (int i = 0; i < size; i++) {
        if (field[i] == 0)
            return true;
    }
    return false;
}

std::u16string upToZero(const std::u16string &text)
{
    return text.substr(0, text.find(u'\0'));
}

// The tag the host gives for path, as trackTags must hold it.
std::u16string expectedTag(const std::u16string &path, const char16_t *name)
{
    auto it = fakeHost.tags.find(std::make_pair(path, std::u16string(name)));
    if (it == fakeHost.tags.end())
        return u"";
    const std::u16string &value = it->second;
    if (fakeHost.tagFillUnterminated && value.size() >= (size_t)TAG_TEXT_SIZE &&
        value.substr(0, TAG_TEXT_SIZE).find(u'\0') == std::u16string::npos)
        return u"";
    return upToZero(value.substr(0, TAG_TEXT_SIZE - 1));
}

int clampLevel(int level)
{
    return level < 0 ? 0 : level > VU_LEVEL_MAX ? VU_LEVEL_MAX : level;
}

struct LastLookup {
    bool made;
    int position;
    std::u16string artist;
    std::u16string song;
};

void checkTrackTags(const LastLookup &before, int position, const TrackTags &previous, int fileLookups,
                    int tagLookups)
{
    check(terminatedWithin(trackTags.artist, TAG_TEXT_SIZE), "artist not terminated in its field");
    check(terminatedWithin(trackTags.title, TAG_TEXT_SIZE), "title not terminated in its field");
    check(terminatedWithin(trackTags.album, TAG_TEXT_SIZE), "album not terminated in its field");

    bool changed = !before.made || position != before.position ||
                   before.artist != std::u16string(unicodeTitle.artist) ||
                   before.song != std::u16string(unicodeTitle.song);
    if (!changed) {
        check(fileLookups == 0 && tagLookups == 0, "a lookup on a still tick");
        check(memcmp(&previous, &trackTags, sizeof previous) == 0, "tags changed on a still tick");
        return;
    }
    check(fileLookups == 1, "not one path lookup for a change of track");

    auto file = fakeHost.playlistFiles.find(position);
    bool pathTaken = file != fakeHost.playlistFiles.end() && !file->second.empty();
    std::u16string path;
    if (pathTaken) {
        const std::vector<char16_t> &units = file->second;
        size_t end = 0;
        while (end < units.size() && end < (size_t)TAG_PATH_SIZE && units[end] != 0)
            end++;
        pathTaken = end < units.size() && end < (size_t)TAG_PATH_SIZE;
        path.assign(units.begin(), units.begin() + (long)end);
    }
    check(tagLookups == (pathTaken ? 3 : 0), "not three tag lookups for a path, or some without one");

    std::u16string artist = pathTaken ? expectedTag(path, TAG_NAMES[0]) : u"";
    std::u16string title = pathTaken ? expectedTag(path, TAG_NAMES[1]) : u"";
    std::u16string album = pathTaken ? expectedTag(path, TAG_NAMES[2]) : u"";
    bool fromTags = !artist.empty() || !title.empty();
    check(trackTags.fromTags == fromTags, "fromTags not as the tags say");
    if (fromTags) {
        check(artist == trackTags.artist && title == trackTags.title && album == trackTags.album,
              "tags not the host's, cut to the field");
    } else {
        check(std::u16string(trackTags.artist) == unicodeTitle.artist &&
                  std::u16string(trackTags.title) == unicodeTitle.song && trackTags.album[0] == 0,
              "without tags, not the title's artist and song");
    }
}

void checkVisual(const VisualSample &sample)
{
    bool spectrum = fakeHost.offersSpectrum && !fakeHost.spectrumDataNull;
    check(sample.haveSpectrum == spectrum, "haveSpectrum not as the host answered");
    for (int band = 0; band < SPECTRUM_BANDS; band++) {
        uint8_t expected = spectrum ? (uint8_t)fakeHost.visualData[band] : 0;
        check(sample.spectrum[band] == expected, "spectrum band not this tick's");
    }
    bool vu = fakeHost.offersVu && (fakeHost.vuLevels[0] != VU_NO_LEVEL || fakeHost.vuLevels[1] != VU_NO_LEVEL);
    check(sample.haveVu == vu, "haveVu not as the host answered");
    for (int channel = 0; channel < VU_CHANNELS; channel++) {
        int expected = vu ? clampLevel(fakeHost.vuLevels[channel]) : 0;
        check(sample.vu[channel] == expected, "level not this tick's, clamped");
    }
    check(fakeHost.badVuChannels == 0, "a level asked for a channel other than 0 and 1");
}

void takeTitle(Input *in)
{
    std::u16string title = takeUnits(in, takeByte(in));
    std::string ansi;
    for (char16_t unit : title)
        ansi.push_back((char)(unit & 0xFF));
    fakeHost.unicodeTitle = title;
    fakeHost.title = ansi;
}

std::u16string takePath(Input *in)
{
    size_t length = (size_t)takeByte(in) * PATH_UNITS_STEP;
    char16_t pattern = (char16_t)(takeByte(in) | 1); // never a terminator inside
    std::u16string path;
    for (size_t i = 0; i < length; i++)
        path.push_back((char16_t)(pattern + i % 7));
    return path;
}

// The position's path as the host holds it. A path without terminator runs
// on at least as far as the reader may look (a host's text does not end
// where its memory does), and no further, so a read past that is a heap
// overflow.
void offerPath(int position, std::u16string path, bool terminated)
{
    if (!terminated && path.size() < (size_t)TAG_PATH_SIZE)
        path.resize(TAG_PATH_SIZE, u'u');
    fakeHostSetPlaylistFile(position, path, terminated);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, size};
    settingsReset();
    fakeHostReset();
    memset(&playerStatus, 0, sizeof playerStatus);
    memset(&unicodeTitle, 0, sizeof unicodeTitle);
    resetTrackTags();
    resetVisualSampling();

    LastLookup lookup = {false, 0, u"", u""};
    int position = 0;
    bool started = false;
    std::u16string paths[POSITIONS];
    for (int tick = 0; tick < MAX_TICKS && in.size > 0; tick++) {
        uint8_t answers = takeByte(&in);
        uint8_t changes = takeByte(&in);
        fakeHost.offersSpectrum = answers & 0x01;
        fakeHost.spectrumDataNull = answers & 0x02;
        fakeHost.offersSpectrumStart = answers & 0x04;
        fakeHost.offersVu = answers & 0x08;
        fakeHost.tagFillUnterminated = answers & 0x40;
        if (answers & 0x80) {
            resetVisualSampling();
            started = false;
        }
        fakeHost.vuLevels[0] = takeInt(&in);
        fakeHost.vuLevels[1] = takeInt(&in);

        if (changes & 0x01)
            position = takeByte(&in) % POSITIONS;
        fakeHostAnswer(HOST_QUERY_PLAYLIST_INDEX, 0, position);
        if (changes & 0x02)
            takeTitle(&in);
        if (changes & 0x10)
            fakeHost.unicodeTitle.clear();
        if (changes & 0x20)
            paths[position] = takePath(&in);
        if (answers & 0x10)
            offerPath(position, paths[position], answers & 0x20);
        else
            fakeHost.playlistFiles.erase(position);
        if (changes & 0x04) {
            for (const char16_t *name : TAG_NAMES) {
                size_t length = takeByte(&in);
                length |= (size_t)takeByte(&in) << 8;
                fakeHostSetTag(paths[position], name, takeUnits(&in, length % (MAX_TAG_UNITS + 1)));
            }
        }
        if (changes & 0x08) {
            for (char &value : fakeHost.visualData)
                value = (char)takeByte(&in);
        }

        TrackTags previous = trackTags;
        int files = fakeHostFileLookups();
        int tags = fakeHostTagLookups();
        int starts = fakeHost.spectrumStarts;
        samplePlayerStatus();
        sampleUnicodeTitle();
        sampleTrackTags();
        checkTrackTags(lookup, position, previous, fakeHostFileLookups() - files, fakeHostTagLookups() - tags);
        if (fakeHostFileLookups() != files)
            lookup = {true, position, unicodeTitle.artist, unicodeTitle.song};

        VisualSample sample;
        memset(&sample, 0x5A, sizeof sample); // what an earlier frame left
        sampleVisual(&sample);
        checkVisual(sample);
        bool startsNow = !started && fakeHost.offersSpectrumStart;
        check(fakeHost.spectrumStarts - starts == (startsNow ? 1 : 0), "start function not once per start");
        check(!startsNow || fakeHost.lastStartArgument == HOST_VISUAL_START, "start function not called with 1");
        started = started || startsNow;
    }
    return 0;
}
