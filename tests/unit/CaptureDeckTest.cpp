// The capture's sound deck: what start-up loads, and cues turned into playings on the sample clock.

#include "capture/CaptureDeck.h"
#include "capture/Output.h"
#include "sound/SoundFile.h"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>

namespace {

using namespace tolva;

struct DeckFixture : ::testing::Test {
    WorkClock clock{WorkModel{}, 60};
    CaptureDeck deck{clock};

    void SetUp() override
    {
        deck.loadSamples(SoundId::voiceThree, std::vector<sf::Int16>(44100, 100), 44100);
        deck.createSound(SoundId::voiceThree, true, 0.19f);
        deck.loadSamples(SoundId::voiceTwo, std::vector<sf::Int16>(44100, 200), 44100);
        deck.createSound(SoundId::voiceTwo, true, 1.0f);
    }
    void at(long iteration)
    {
        clock.startIteration(iteration);
        deck.setIteration(iteration);
    }
};

TEST_F(DeckFixture, CuesBecomePlayingsFromTheirFramesFirstSample)
{
    at(10);
    deck.stop(SoundId::voiceTwo);  // not playing: nothing
    deck.play(SoundId::voiceTwo);
    at(19);
    deck.play(SoundId::voiceTwo);  // from the beginning again
    deck.play(SoundId::klezSound); // never created
    at(1726);
    deck.stop(SoundId::voiceTwo);
    deck.play(SoundId::voiceThree);
    at(3679);
    deck.stop(SoundId::voiceThree);

    const std::vector<Playback> plays = deck.playbacks(60, 4000);
    ASSERT_EQ(plays.size(), 3u);
    EXPECT_EQ(plays[0].stop, 19 * 735);
    EXPECT_EQ(plays[1].start, 19 * 735);
    EXPECT_EQ(plays[1].stop, 1726 * 735);
    EXPECT_EQ(plays[2].start, 1726 * 735);
    EXPECT_EQ(plays[2].pitch, 0.19f);
    EXPECT_EQ(deck.cues().back().time, sf::microseconds(clock.headNs(3679) / 1000));
    EXPECT_EQ(deck.playbacks(60, 3000)[2].stop, neverStopped) << "a capture ending before the stop";
}

TEST_F(DeckFixture, SoundFilesAreReadAsTheShowReadsThemAndMissingOnesStaySilent)
{
    const auto path = std::filesystem::temp_directory_path() / "tolva-capture-deck-test.wav";
    {
        sf::OutputSoundFile file;
        ASSERT_TRUE(file.openFromFile(path.string(), 22050, 2));
        const sf::Int16 samples[] = {1, -2, 3, -4, 5, -6};
        file.write(samples, 6);
    }
    deck.loadFile(SoundId::klezSound, path.string());
    const SoundClip& klez = deck.clip(SoundId::klezSound);
    EXPECT_EQ(klez.sampleRate, 22050u);
    EXPECT_EQ(klez.samples, (std::vector<sf::Int16>{1, -2, 3, -4, 5, -6}));
    std::filesystem::remove(path);

    deck.loadFile(SoundId::endSound, "sounds/no-such-file.wav");
    deck.createSound(SoundId::endSound, false, 1.0f);
    at(5);
    deck.play(SoundId::endSound);
    const std::vector<sf::Int16> mixed = mixStereo(deck.playbacks(60, 10), 0, 10000);
    EXPECT_TRUE(std::all_of(mixed.begin(), mixed.end(), [](sf::Int16 s) { return s == 0; }));
}

// A 16-bit stereo WAV file holding `frames` frames whose data chunk declares `declaredBytes`;
// `formatFirst` false puts the data chunk before the format chunk.
std::string wavFile(const std::string& name, std::uint32_t frames, std::uint32_t declaredBytes,
                    bool formatFirst = true)
{
    std::string file = wavHeader(2, 44100, declaredBytes);
    if (!formatFirst) {
        // RIFF header, then the data chunk, then the format chunk.
        file = file.substr(0, 12) + file.substr(36, 8) + file.substr(12, 24);
    }
    file.append(std::size_t{frames} * 4, '\x11');
    if (!formatFirst) {
        std::rotate(file.begin() + 20, file.begin() + 44, file.end());
    }
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << file;
    return path;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// SFML 2.5 makes room for every sample a WAV header declares before reading one, and refuses a
// file that holds fewer: the show's deck and the capture's must both pass on such a file without
// the room, and the capture must not play what the show refuses.
TEST(SoundFiles, AFileThatClaimsMoreThanItHoldsIsNotUsedByTheShowNorTheCapture)
{
    const std::string honest = wavFile("tolva-honest.wav", 1000, 4000);
    const std::string cut = wavFile("tolva-cut.wav", 500, 4000);           // cut to half its length
    const std::string lying = wavFile("tolva-lying.wav", 1000, 400000000);  // claims 400 MB
    const std::string backwards = wavFile("tolva-backwards.wav", 1000, 4000, false);
    EXPECT_TRUE(soundFileHoldsWhatItDeclares(honest));
    EXPECT_FALSE(soundFileHoldsWhatItDeclares(cut));
    EXPECT_FALSE(soundFileHoldsWhatItDeclares(lying));
    EXPECT_FALSE(soundFileHoldsWhatItDeclares(backwards)) << "SFML would divide by a sample size of 0";

    WorkClock clock{WorkModel{}, 60};
    CaptureDeck deck{clock};
    deck.loadFile(SoundId::klezSound, cut);
    deck.loadFile(SoundId::endSound, lying);
    EXPECT_EQ(deck.clip(SoundId::klezSound).frames(), 0u) << "the show plays none of a short file";
    EXPECT_EQ(deck.clip(SoundId::endSound).frames(), 0u);
    ASSERT_EQ(deck.unused().size(), 2u);
    EXPECT_EQ(deck.unused()[0].rfind(cut, 0), 0u) << "the note names the file";

    // The show's own deck, on OpenAL Soft's silent output: no room made for the 400 MB claimed.
    setenv("ALSOFT_DRIVERS", "null", 1);
    const long before = peakKilobytes();
    {
        OpenAlDeck show;
        show.loadFile(SoundId::endSound, lying);
    }
    EXPECT_LT(peakKilobytes() - before, 100 * 1024) << "peak memory grew by more than 100 MB";
    for (const std::string& path : {honest, cut, lying, backwards}) {
        std::filesystem::remove(path);
    }
}

} // namespace
