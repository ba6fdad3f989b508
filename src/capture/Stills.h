#pragma once

#include "worktime/FrameRange.h"

#include <SFML/Graphics/Image.hpp>

#include <array>
#include <optional>

namespace tolva {

// One picture per scene, taken a fixed time after the scene's first frame, for the README.
struct StillMoment {
    int scene;
    double secondsIn;
};
const std::array<StillMoment, sceneCount>& stillMoments();

// When to take each still: a scene's moment is known once the scene has run for the first time.
class StillPlan {
public:
    explicit StillPlan(int fps) : fps_(fps) {}

    // Note the scenes an iteration ran (to learn where each scene begins).
    void sceneRan(int scene, long iteration);
    // The scene whose still is iteration k, if any.
    std::optional<int> stillAt(long k) const;
    std::optional<long> iterationOf(int scene) const;

private:
    int fps_;
    std::array<std::optional<long>, sceneCount + 1> firstIteration_{};
};

// The image scaled down by a whole factor, each pixel the rounded mean of a factor x factor block.
sf::Image shrink(const sf::Image& image, unsigned factor);

// The eight stills (scenes 1 to 8, any missing left black), a quarter of their size each, in a
// grid of four by two.
sf::Image contactSheet(const std::array<std::optional<sf::Image>, sceneCount>& stills);

} // namespace tolva
