#pragma once

#include "render/BatchCanvas.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include <vector>

namespace tolva {

// The show's batched canvas over an offscreen 1920x1080 render texture: every present is read
// back, and the last one stays available, as a screen keeps showing the last frame it was given.
class FrameCanvas final : public BatchCanvas {
public:
    // The render texture must already be created at the show's size.
    explicit FrameCanvas(sf::RenderTexture& texture);

    // The last frame presented: RGBA, rows from the top.
    const std::vector<sf::Uint8>& lastFrame() const { return frame_; }
    sf::Image lastImage() const;
    unsigned long readBacks() const { return readBacks_; }

protected:
    void presented() override;

private:
    sf::RenderTexture& texture_;
    std::vector<sf::Uint8> rows_;   // as OpenGL reads them, from the bottom
    std::vector<sf::Uint8> frame_;
    unsigned long readBacks_ = 0;
};

} // namespace tolva
