// The host's answers to the player's queries for visualisation data,
// levels, the playing file and its tags, tried on the host's IPC probe
// (sim/host/probe/ipc_probe.cpp), which asks for all of them at each config
// and writes what came back beside itself; and the steps that script them
// refused, naming the line, when their words do not fit.
#include "e2e_support.h"

#include <gtest/gtest.h>

namespace {

ScenarioRun runIpcProbe(const std::string &name, const std::string &steps)
{
    writeScenarioFile("ipc-probe.dll", readFile(windowsTreePath("sim-probe/ipc-probe.dll")));
    return runClassicBusScenarioText(name, "install gen_pixelvane.dll ipc-probe.dll\n" + steps);
}

std::string numbers(const std::vector<int> &values)
{
    std::string text;
    for (int value : values)
        text += " " + std::to_string(value);
    return text;
}

// The probe's tags, each with its canary line.
Lines tagLines(const std::string &artist, const std::string &title, const std::string &album)
{
    return {"tag artist " + artist, "canary artist kept", "tag title " + title, "canary title kept",
            "tag album " + album,   "canary album kept",  "--"};
}

Lines block(const Lines &head, const Lines &tags)
{
    Lines all = head;
    all.insert(all.end(), tags.begin(), tags.end());
    return all;
}

} // namespace

TEST(HostIpc, EachStepChangesWhatThePlayerAnswersAndEveryQueryIsLogged)
{
    std::vector<int> fullSpectrum;
    for (int i = 0; i < 74; i++)
        fullSpectrum.push_back(i * 7 % 256);
    fullSpectrum.push_back(255);
    ScenarioRun run = runIpcProbe("host-ipc",
                                  "answer 125 0 7\nstart\nconfig\ncounts defaults\n"
                                  "spectrum" + numbers(fullSpectrum) + "\nvu 3 250\n"
                                  "file C:\\Music\\Café - Tune.mp3\ntag artist Band - Name  Two\ntag album Short\n"
                                  "config\ncounts scripted\n"
                                  "spectrum-null\ntag artist\ntag-unterminated title ab\ntag-long album 5000\n"
                                  "file-unterminated\nconfig\ncounts hostile\n"
                                  "no-visual\nfile C:\\b.mp3\nconfig\ncounts off\n"
                                  "spectrum 10 20\nconfig\ncounts again\nquit\n");
    expectCleanRun(run);

    std::string unterminatedTitle;
    for (int i = 0; i < 16; i++)
        unterminatedTitle += "ab";
    const std::string truncatedAlbum = "1234567890123456789012345678901"; // 31 and the terminator
    std::vector<int> shortSpectrum(75, 0);
    shortSpectrum[0] = 10;
    shortSpectrum[1] = 20;
    Lines expected;
    for (const Lines &part :
         {block({"visual none", "request none", "level none", "file none"}, tagLines("none", "none", "none")),
          block({"spectrum" + numbers(fullSpectrum) + " scope-nonzero 0", "request made", "level 3 250 -1",
                 "file C:\\Music\\Café - Tune.mp3"},
                tagLines("Band - Name  Two", "none", "Short")),
          block({"visual null", "request made", "level 3 250 -1", "file unterminated within 32768"},
                tagLines("none", "unterminated " + unterminatedTitle, truncatedAlbum)),
          block({"visual none", "request none", "level none", "file C:\\b.mp3"},
                tagLines("none", "unterminated " + unterminatedTitle, truncatedAlbum)),
          block({"spectrum" + numbers(shortSpectrum) + " scope-nonzero 0", "request made", "level none",
                 "file C:\\b.mp3"},
                tagLines("none", "unterminated " + unterminatedTitle, truncatedAlbum))})
        expected.insert(expected.end(), part.begin(), part.end());
    EXPECT_EQ(lines(run.pluginFile("ipc-probe.txt")), expected);

    // Every query, in the order asked, with the calls of the functions the
    // player handed out counted at each label.
    auto queries = [](const std::string &file, bool request) {
        Lines asked = {"query 800 0", "query 800 1"};
        if (request)
            asked.push_back("request-visual 1");
        asked.insert(asked.end(), {"query 801 0", "query 214 7"});
        for (const char *name : {"artist", "title", "album"})
            asked.push_back(std::string("query 3026 ") + name + (file.empty() ? "" : " " + file));
        return asked;
    };
    Lines expectedLog;
    for (const Lines &part : {queries("", false), Lines{"counts defaults data-calls 0 level-calls 0 requests 0"},
                              queries("C:\\Music\\Café - Tune.mp3", true),
                              Lines{"counts scripted data-calls 1 level-calls 3 requests 1"}, queries("", true),
                              Lines{"counts hostile data-calls 2 level-calls 6 requests 2"},
                              queries("C:\\b.mp3", false),
                              Lines{"counts off data-calls 2 level-calls 6 requests 2"},
                              queries("C:\\b.mp3", true),
                              Lines{"counts again data-calls 3 level-calls 6 requests 3"}})
        expectedLog.insert(expectedLog.end(), part.begin(), part.end());
    EXPECT_EQ(lines(readFile(run.outDir + "/ipc.txt")), expectedLog);
    // events.txt stays as it was before these queries existed.
    EXPECT_EQ(countPrefix(run.events(), "query "), 0);
    EXPECT_EQ(countPrefix(run.events(), "request-visual"), 0);
}

TEST(HostIpc, StepsWhoseWordsDoNotFitAreRefusedNamingTheLine)
{
    struct Refusal {
        std::string step;
        int exitStatus;
        std::string message;
    };
    const Refusal refusals[] = {
        {"spectrum" + numbers(std::vector<int>(76, 1)), 2, "line 2: more than 75 spectrum values"},
        {"spectrum 1 256", 2, "line 2: spectrum value '256' is not a number from 0 to 255"},
        {"vu 0 -2", 2, "line 2: level '-2' is not a number from -1 to 255"},
        {"vu 0", 2, "line 2: wrong number of arguments for 'vu'"},
        {"tag-long album lots", 2, "line 2: tag length 'lots' is not a number from 1 to 1000000"},
        {"tag-unterminated title", 2, "line 2: wrong number of arguments for 'tag-unterminated'"},
        {"answer 3026 0 1", 1, "line 2 (answer): the spectrum, vu, file and tag steps answer code 3026"},
    };
    int index = 0;
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.step);
        ScenarioRun run =
            runClassicBusScenarioText("host-ipc-refused-" + std::to_string(index++), "title A\n" + refusal.step + "\n");
        EXPECT_EQ(run.exitStatus, refusal.exitStatus);
        EXPECT_NE(run.errorOutput.find(refusal.message), std::string::npos) << run.errorOutput;
    }
}
