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
      luminance_(pixels_), red_(pixels_), luminanceCounts_(pixels_), redCounts_(pixels_)
{
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

// The most transitions that at least a quarter of the picture went through in the second.
int FlashCounter::mostTransitions(const std::vector<std::uint16_t>& counts)
{
    std::fill(histogram_.begin(), histogram_.end(), 0L);
    for (std::uint16_t count : counts) {
        if (count >= histogram_.size()) {
            histogram_.resize(count + 1U, 0L);
        }
        ++histogram_[count];
    }
    long atLeast = 0;
    for (std::size_t k = histogram_.size(); k-- > 0;) {
        atLeast += histogram_[k];
        if (atLeast * 4 >= static_cast<long>(pixels_) * kAreaQuarters) {
            return static_cast<int>(k);
        }
    }
    return 0;
}

FrameFlashes FlashCounter::add(const std::uint8_t* rgb)
{
    // The frames of the second ending at this one: less than one second before it.
    while (!window_.empty() && (frame_ - window_.front().frame) * rateDen_ >= rateNum_) {
        Window& old = window_.front();
        for (std::size_t p = 0; p < pixels_; ++p) {
            luminanceCounts_[p] = static_cast<std::uint16_t>(luminanceCounts_[p] - (old.marks[p] & 1U));
            redCounts_[p] = static_cast<std::uint16_t>(redCounts_[p] - ((old.marks[p] >> 1U) & 1U));
        }
        spare_.push_back(std::move(old.marks));
        window_.pop_front();
    }
    Window now{frame_, {}};
    if (!spare_.empty()) {
        now.marks = std::move(spare_.back());
        spare_.pop_back();
    }
    now.marks.assign(pixels_, 0);

    std::size_t marked = 0;
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
        std::uint8_t mark = 0;
        if (turn(luminance_[p], colour, &Colour::luminance, luminanceStep)) {
            mark |= 1U;
            ++luminanceCounts_[p];
        }
        if (turn(red_[p], colour, &Colour::fromRed, redStep)) {
            mark |= 2U;
            ++redCounts_[p];
        }
        now.marks[p] = mark;
        marked += mark != 0 ? 1U : 0U;
    }
    window_.push_back(std::move(now));
    previous_.assign(rgb, rgb + 3 * pixels_);

    FrameFlashes result;
    result.time = timeOf(frame_);
    result.transitions = mostTransitions(luminanceCounts_);
    result.redTransitions = mostTransitions(redCounts_);
    result.area = pixels_ == 0 ? 0.0 : static_cast<double>(marked) / static_cast<double>(pixels_);
    follow(openLuminance_, false, result.transitions, luminanceCounts_);
    follow(openRed_, true, result.redTransitions, redCounts_);
    ++frame_;
    return result;
}

// A second over the limit opens a stretch or lengthens the open one; it is timed by the
// transitions, in this second, of the pixels that went through more than the limit.
void FlashCounter::follow(Open& open, bool red, int transitions, const std::vector<std::uint16_t>& counts)
{
    if (transitions <= kMostTransitions) {
        if (open.open) {
            failures_.push_back(open.stretch);
            open.open = false;
        }
        return;
    }
    const std::uint8_t bit = red ? 2U : 1U;
    const auto flashedHere = [&](const Window& w) {
        for (std::size_t p = 0; p < pixels_; ++p) {
            if ((w.marks[p] & bit) != 0 && counts[p] > kMostTransitions) {
                return true;
            }
        }
        return false;
    };
    // The newest such frame is usually the current one or close to it.
    auto last = std::find_if(window_.rbegin(), window_.rend(), flashedHere);
    const double end = timeOf(last->frame);
    if (!open.open) {
        const auto first = std::find_if(window_.begin(), window_.end(), flashedHere);
        open.open = true;
        open.stretch = Stretch{red, timeOf(first->frame), end, transitions};
    }
    open.stretch.end = std::max(open.stretch.end, end);
    open.stretch.transitions = std::max(open.stretch.transitions, transitions);
}

const std::vector<Stretch>& FlashCounter::finish()
{
    for (Open* open : {&openLuminance_, &openRed_}) {
        if (open->open) {
            failures_.push_back(open->stretch);
            open->open = false;
        }
    }
    std::stable_sort(failures_.begin(), failures_.end(),
                     [](const Stretch& a, const Stretch& b) { return a.start < b.start; });
    return failures_;
}

} // namespace tolva::flashes
