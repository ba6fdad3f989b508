#pragma once

// The flashes a second over the video's time, as a picture: drawn into the pixels of an
// sf::Image (which needs no display), text in a small built-in bitmap font.

#include "FlashCounter.h"
#include "Video.h"

#include <SFML/Graphics/Image.hpp>

#include <string>
#include <vector>

namespace tolva::flashes {

struct PlotData {
    std::string title;                 // the file and the verdict, above the chart
    double duration = 0.0;             // seconds: the time axis
    std::vector<FrameFlashes> frames;
    std::vector<Span> failures;
    std::vector<Chapter> chapters;
};

constexpr unsigned kPlotWidth = 1600;
constexpr unsigned kPlotHeight = 480;

sf::Image drawPlot(const PlotData& data);

} // namespace tolva::flashes
