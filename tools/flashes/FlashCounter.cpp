#include "FlashCounter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tolva::flashes {

namespace {

// sRGB's own curve (0.04045; the 0.03928 of older WCAG texts picks the same codes in 8 bits).
std::array<double, 256> makeLinear()
{
    std::array<double, 256> table{};
    for (int code = 0; code < 256; ++code) {
        const double s = static_cast<double>(code) / 255.0;
        table[static_cast<std::size_t>(code)] =
            s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    }
    return table;
}
const std::array<double, 256> kLinear = makeLinear();

// u'v' of linear sRGB, through CIE XYZ (sRGB primaries, D65 white).
void chromaticity(double r, double g, double b, double& u, double& v)
{
    const double x = 0.4124 * r + 0.3576 * g + 0.1805 * b;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = 0.0193 * r + 0.1192 * g + 0.9505 * b;
    const double d = x + 15.0 * y + 3.0 * z;
    u = 4.0 * x / d;
    v = 9.0 * y / d;
}

struct Point {
    double u, v;
};
Point pointOf(double r, double g, double b)
{
    Point p{};
    chromaticity(r, g, b, p.u, p.v);
    return p;
}
const Point kWhite = pointOf(1.0, 1.0, 1.0);
const Point kRed = pointOf(1.0, 0.0, 0.0);

double distance(const Colour& a, const Colour& b) { return std::hypot(a.u - b.u, a.v - b.v); }

} // namespace

Colour colourOf(std::uint8_t r8, std::uint8_t g8, std::uint8_t b8)
{
    const double r = kLinear[r8], g = kLinear[g8], b = kLinear[b8];
    Colour c;
    c.luminance = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    if (c.luminance < kBlackBelow) {
        c.u = kWhite.u;
        c.v = kWhite.v;
    } else {
        chromaticity(r, g, b, c.u, c.v);
        c.saturatedRed = r / (r + g + b) >= kRedShare;
    }
    c.fromRed = std::hypot(c.u - kRed.u, c.v - kRed.v);
    return c;
}

double flashesOf(int transitions) { return static_cast<double>(transitions) / 2.0; }

FlashCounter::FlashCounter(int width, int height, long rateNum, long rateDen)
    : pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
      rateNum_(rateNum), rateDen_(rateDen),
      luminance_(pixels_), red_(pixels_)
{
    redPicture_.red = true;
}

double FlashCounter::timeOf(long frame) const
{
    return static_cast<double>(frame) * static_cast<double>(rateDen_) / static_cast<double>(rateNum_);
}

// A luminance transition: a change of 0.1 or more, the darker state below 0.8.
bool FlashCounter::luminanceStep(const Colour& from, const Colour& to)
{
    return std::abs(to.luminance - from.luminance) >= kLuminanceStep &&
           std::min(from.luminance, to.luminance) < kDarkerBelow;
}

// A red transition: more than 0.2 in u'v', to or from a saturated red.
bool FlashCounter::redStep(const Colour& from, const Colour& to)
{
    return (from.saturatedRed || to.saturatedRed) && distance(from, to) > kChromaticityStep;
}

// The turning points on a measure (the luminance, or the distance from the red primary) are the
// lowest and highest states since the last transition: a rise counts from the lowest, a fall from
// the highest, once the change is a step. After a rise only a fall can count, and so on.
bool FlashCounter::turn(Swing& swing, const Colour& now, double Colour::*measure, Step step)
{
    if (now.*measure < swing.low.*measure) {
        swing.low = now;
    }
    if (now.*measure > swing.high.*measure) {
        swing.high = now;
    }
    std::int8_t direction = 0;
    if (swing.last != 1 && step(swing.low, now)) {
        direction = 1;
    } else if (swing.last != -1 && step(swing.high, now)) {
        direction = -1;
    }
    if (direction == 0) {
        return false;
    }
    swing.last = direction;
    swing.low = swing.high = now;
    return true;
}

FrameFlashes FlashCounter::add(const std::uint8_t* rgb)
{
    long brighter = 0, darker = 0, redder = 0, lessRed = 0;  // pixels with a transition each way
    for (std::size_t p = 0; p < pixels_; ++p) {
        // A pixel as it was in the frame before has no transition: its turning points hold it.
        if (frame_ > 0 && std::equal(rgb + 3 * p, rgb + 3 * p + 3, previous_.begin() + 3 * static_cast<long>(p))) {
            continue;
        }
        const Colour colour = colourOf(rgb[3 * p], rgb[3 * p + 1], rgb[3 * p + 2]);
        if (frame_ == 0) {
            luminance_[p].low = luminance_[p].high = colour;
            red_[p].low = red_[p].high = colour;
            continue;
        }
        if (turn(luminance_[p], colour, &Colour::luminance, luminanceStep)) {
            ++(luminance_[p].last > 0 ? brighter : darker);
        }
        if (turn(red_[p], colour, &Colour::fromRed, redStep)) {
            ++(red_[p].last < 0 ? redder : lessRed);  // a fall of the distance from red
        }
    }
    previous_.assign(rgb, rgb + 3 * pixels_);

    FrameFlashes result;
    result.time = timeOf(frame_);
    const double all = pixels_ == 0 ? 1.0 : static_cast<double>(pixels_);
    result.area = static_cast<double>(brighter - darker) / all;
    result.redArea = static_cast<double>(redder - lessRed) / all;
    result.transitions = follow(luminancePicture_, brighter - darker);
    result.redTransitions = follow(redPicture_, redder - lessRed);
    ++frame_;
    return result;
}

// Adds a frame's change (in pixels, signed) to the picture's run, counts a transition when the
// run reaches a quarter of the picture, and returns the transitions of the second ending here.
// Seconds over the limit open a stretch or lengthen the open one.
int FlashCounter::follow(Picture& picture, long change)
{
    if (change != 0) {
        const bool turned = (change > 0) != (picture.run > 0) || picture.run == 0;
        picture.run = turned ? change : picture.run + change;
        picture.counted = picture.counted && !turned;
        if (!picture.counted && std::abs(picture.run) * 4 >= static_cast<long>(pixels_)) {
            picture.counted = true;
            picture.recent.push_back(frame_);
        }
    }
    // The second ending at this frame: the frames less than one second before it.
    while (!picture.recent.empty() && (frame_ - picture.recent.front()) * rateDen_ >= rateNum_) {
        picture.recent.pop_front();
    }
    const int transitions = static_cast<int>(picture.recent.size());
    if (transitions > kMostTransitions) {
        const double first = timeOf(picture.recent.front()), last = timeOf(picture.recent.back());
        if (!picture.failing) {
            picture.failing = true;
            picture.stretch = Stretch{picture.red, first, last, transitions};
        }
        picture.stretch.end = std::max(picture.stretch.end, last);
        picture.stretch.transitions = std::max(picture.stretch.transitions, transitions);
    } else if (picture.failing) {
        picture.failing = false;
        failures_.push_back(picture.stretch);
    }
    return transitions;
}

const std::vector<Stretch>& FlashCounter::finish()
{
    for (Picture* picture : {&luminancePicture_, &redPicture_}) {
        if (picture->failing) {
            failures_.push_back(picture->stretch);
            picture->failing = false;
        }
    }
    std::stable_sort(failures_.begin(), failures_.end(),
                     [](const Stretch& a, const Stretch& b) { return a.start < b.start; });
    return failures_;
}

} // namespace tolva::flashes
