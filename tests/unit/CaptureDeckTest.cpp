// The capture's sound deck: what start-up loads, and cues turned into playings on the sample clock.

#include "capture/CaptureDeck.h"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

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
    at(19);
    deck.play(SoundId::voiceTwo);
    at(1726);
    deck.stop(SoundId::voiceTwo);
    deck.play(SoundId::voiceThree);
    at(3679);
    deck.stop(SoundId::voiceThree);

    const std::vector<Playback> plays = deck.playbacks(60, 4000);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].start, 19 * 735);
    EXPECT_EQ(plays[0].stop, 1726 * 735);
    EXPECT_EQ(plays[1].start, 1726 * 735);
    EXPECT_EQ(plays[1].stop, 3679 * 735);
    EXPECT_TRUE(plays[1].loop);
    EXPECT_EQ(plays[1].pitch, 0.19f);
    EXPECT_EQ(plays[1].clip, &deck.clip(SoundId::voiceThree));

    ASSERT_EQ(deck.cues().size(), 4u);
    EXPECT_EQ(deck.cues()[3].iteration, 3679);
    EXPECT_EQ(deck.cues()[3].time, sf::microseconds(clock.headNs(3679) / 1000));

    // A capture that ends before the stop leaves the voice running to its end.
    const std::vector<Playback> early = deck.playbacks(60, 3000);
    ASSERT_EQ(early.size(), 2u);
    EXPECT_EQ(early[1].stop, neverStopped);
}

TEST_F(DeckFixture, PlayingAgainStartsOverAndStrayStopsDoNothing)
{
    at(10);
    deck.stop(SoundId::voiceTwo);  // not playing
    deck.play(SoundId::voiceTwo);
    at(20);
    deck.play(SoundId::voiceTwo);  // from the beginning again
    deck.play(SoundId::klezSound); // never created: the show's deck has no such sound yet
    const std::vector<Playback> plays = deck.playbacks(60, 100);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].start, 10 * 735);
    EXPECT_EQ(plays[0].stop, 20 * 735);
    EXPECT_EQ(plays[1].start, 20 * 735);
    EXPECT_EQ(plays[1].stop, neverStopped);
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
    deck.createSound(SoundId::klezSound, false, 1.0f);
    const SoundClip& klez = deck.clip(SoundId::klezSound);
    EXPECT_EQ(klez.channels, 2u);
    EXPECT_EQ(klez.sampleRate, 22050u);
    EXPECT_EQ(klez.samples, (std::vector<sf::Int16>{1, -2, 3, -4, 5, -6}));
    std::filesystem::remove(path);

    deck.loadFile(SoundId::endSound, "sounds/no-such-file.wav");
    deck.createSound(SoundId::endSound, false, 1.0f);
    EXPECT_EQ(deck.clip(SoundId::endSound).frames(), 0u);
    ASSERT_EQ(deck.unused().size(), 1u);
    at(5);
    deck.play(SoundId::endSound);
    const std::vector<sf::Int16> mixed = mixStereo(deck.playbacks(60, 10), 0, 10000);
    EXPECT_TRUE(std::all_of(mixed.begin(), mixed.end(), [](sf::Int16 s) { return s == 0; }));
}

} // namespace
