#pragma once

#include "driver/Show.h"
#include "render/BatchCanvas.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tolva::testing {

// Real frames of every scene: the state a scene step starts from at a chosen moment of the show
// (its first frame, hand-over included, the middle and the end), set by the names the show gives
// its values, flags and clocks.
//
// Each moment's digest is that of everything `tolva-inspect scene N SETTINGS` prints there (the
// first 16 hex digits of its SHA-256): what the show draws, its strings, sizes, colours and places
// included, as the show drew it when the table was recorded. tests/support/moment-digests.sh prints
// the table afresh; paste it over this one only when the show is meant to draw differently.
struct SceneMoment {
    const char* name;
    int scene;
    const char* settings;  // name=value ...; also frames=K, frameDelta, midFrameDelta, fuseTick
    const char* digest = "";
};

inline const std::vector<SceneMoment>& sceneMoments()
{
    static const std::vector<SceneMoment> moments = {
        {"s1a", 1, "countdown1=61 scene1Pending=1 warpTime=0.3 sceneTime=0.3 frameDelta=0.3", "f17ba44135d4d0ea"},
        {"s1b", 1, "countdown1=40 warpTime=120 sceneTime=12 frames=3", "a5b16963811a0d88"},
        {"s1c", 1, "countdown1=5 warpTime=2500 sceneTime=56 frames=2", "f24cc1dac625096b"},
        {"s1e", 1, "countdown1=20 warpTime=700 sceneTime=40", "869d1dd12c4be0ea"},
        {"s2a", 2, "countdown1=0 countdown2=36 scene2Pending=1 sceneTime=61", "e8656aa2e7e3fba4"},
        {"s2b", 2, "countdown1=-0.01 countdown2=20 sceneTime=16 midFrameDelta=0.001 frames=3", "b4059f466055c80e"},
        {"s2c", 2, "countdown1=-0.01 countdown2=2 sceneTime=34 frames=2", "0d54ad84bd26c47e"},
        {"s3a", 3, "countdown2=0 countdown3=57 scene3Pending=1 scrollerElapsed=0", "e3d1f367ff15f155"},
        {"s3b", 3, "countdown2=-0.01 countdown3=30 scrollerElapsed=27 frames=3", "b051ffb2bfaf915b"},
        {"s3c", 3, "countdown2=-0.01 countdown3=1 scrollerElapsed=56", "e38cd4aca1d7bcf9"},
        {"s4a", 4, "countdown3=0 countdown4=49 frames=2", "0c4c74e0d39eae46"},
        {"s4b", 4, "countdown3=-0.01 countdown4=25 frames=3", "25ae34b0d0e73cc4"},
        {"s4c", 4, "countdown3=-0.01 countdown4=3", "6afbf5af254b85cb"},
        {"s5a", 5, "countdown4=0 countdown5=39 gridTime=0", "641a5fadce3155ef"},
        {"s5b", 5, "countdown4=-0.01 countdown5=20 gridTime=19 fuseTick=0.5 frames=3", "946e0fed3260435e"},
        {"s5c", 5, "countdown4=-0.01 countdown5=2 gridTime=37", "32df3e829be8579c"},
        {"s6a", 6, "countdown5=0 countdown6=36", "902732c48af396a0"},
        {"s6b", 6, "countdown5=-0.01 countdown6=18 frames=3", "508e10eb46dc2bd3"},
        {"s7a", 7, "countdown6=0 countdown7=54 gridTime=39", "7b6e472e9b4a878f"},
        {"s7b", 7, "countdown6=-0.01 countdown7=30 gridTime=60 frames=3", "05240bd0bfa8090c"},
        {"s7c", 7, "countdown6=-0.01 countdown7=3 gridTime=85", "73acfc1bef7519db"},
        {"s8a", 8, "countdown7=0 countdown8=30 scene8Pending=1 endElapsed=0", "e833e1ef81fc9028"},
        {"s8b", 8, "countdown7=-0.01 countdown8=15 endElapsed=15 frames=3", "90fd3f0391ca1f9c"},
        {"s8c", 8, "countdown7=-0.01 countdown8=4.01 endElapsed=26", "46ecea233b2e033e"},
    };
    return moments;
}

// Sets the show to the moment and runs the scene's steps there; the last step draws on `last`,
// earlier ones nowhere.
inline void playMoment(Show& show, ManualTimeSource& time, const SceneMoment& moment, Canvas& last)
{
    std::map<std::string, double> step = {{"frames", 1}, {"frameDelta", 1.0 / 60}, {"midFrameDelta", 0}, {"fuseTick", -1}};
    auto values = show.floatValues();
    auto flags = show.flagValues();
    auto clocks = show.clocks();
    std::istringstream words(moment.settings);
    for (std::string word; words >> word;) {
        const std::string name = word.substr(0, word.find('='));
        const double value = std::strtod(word.c_str() + name.size() + 1, nullptr);
        if (step.count(name) != 0) {
            step[name] = value;
        } else if (values.count(name) != 0) {
            *values[name] = static_cast<float>(value);
        } else if (flags.count(name) != 0) {
            *flags[name] = value != 0.0;
        } else if (clocks.count(name) != 0) {
            clocks[name]->setElapsed(sf::seconds(static_cast<float>(value)));
        } else {
            throw std::invalid_argument("no show value named " + name);
        }
    }
    BatchCanvas nowhere(nullptr, nullptr);
    show.state.frameDelta = sf::seconds(static_cast<float>(step["frameDelta"]));
    const int frames = static_cast<int>(step["frames"]);
    for (int k = 0; k < frames; ++k) {
        if (k > 0) {
            time.advance(show.state.frameDelta);
        }
        show.state.frameClock.setElapsed(sf::seconds(static_cast<float>(step["midFrameDelta"])));
        if (step["fuseTick"] >= 0) {
            show.scenes.polygonGrids.fuseClock.setElapsed(sf::seconds(static_cast<float>(step["fuseTick"])));
        }
        show.run(moment.scene, k + 1 == frames ? last : static_cast<Canvas&>(nowhere));
    }
}

} // namespace tolva::testing
