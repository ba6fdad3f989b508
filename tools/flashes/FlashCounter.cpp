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
      words_((pixels_ + 63) / 64),
      rateNum_(rateNum), rateDen_(rateDen),
      window_(std::max(1L, (rateNum + rateDen - 1) / rateDen))
{
    red_.red = true;
    for (Measure* measure : {&luminance_, &red_}) {
        measure->swings.resize(pixels_);
        measure->rows.assign(static_cast<std::size_t>(window_) * words_, 0);
        measure->counts.assign(pixels_, 0);
        measure->histogram.assign(static_cast<std::size_t>(window_) + 1, 0);
        measure->histogram[0] = static_cast<long>(pixels_);
    }
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
    forget(luminance_);
    forget(red_);
    for (std::size_t p = 0; p < pixels_; ++p) {
        // A pixel as it was in the frame before has no transition: its turning points hold it.
        if (frame_ > 0 && std::equal(rgb + 3 * p, rgb + 3 * p + 3, previous_.begin() + 3 * static_cast<long>(p))) {
            continue;
        }
        const Colour colour = colourOf(rgb[3 * p], rgb[3 * p + 1], rgb[3 * p + 2]);
        if (frame_ == 0) {
            luminance_.swings[p].low = luminance_.swings[p].high = colour;
            red_.swings[p].low = red_.swings[p].high = colour;
            continue;
        }
        if (turn(luminance_.swings[p], colour, &Colour::luminance, luminanceStep)) {
            mark(luminance_, p);
        }
        if (turn(red_.swings[p], colour, &Colour::fromRed, redStep)) {
            mark(red_, p);
        }
    }
    previous_.assign(rgb, rgb + 3 * pixels_);

    FrameFlashes result;
    result.time = timeOf(frame_);
    const double all = pixels_ == 0 ? 1.0 : static_cast<double>(pixels_);
    result.area = static_cast<double>(luminance_.now) / all;
    result.redArea = static_cast<double>(red_.now) / all;
    result.transitions = judge(luminance_);
    result.redTransitions = judge(red_);
    ++frame_;
    return result;
}

// The frame that left the second with this one takes its transitions out of the counts.
void FlashCounter::forget(Measure& measure)
{
    measure.now = 0;
    std::uint64_t* row = &measure.rows[static_cast<std::size_t>(frame_ % window_) * words_];
    for (std::size_t w = 0; w < words_; ++w) {
        for (std::uint64_t bits = row[w]; bits != 0; bits &= bits - 1) {
            const std::size_t p = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
            --measure.histogram[measure.counts[p]];
            --measure.counts[p];
            ++measure.histogram[measure.counts[p]];
        }
        row[w] = 0;
    }
}

void FlashCounter::mark(Measure& measure, std::size_t pixel)
{
    measure.rows[static_cast<std::size_t>(frame_ % window_) * words_ + pixel / 64] |= std::uint64_t{1} << (pixel % 64);
    --measure.histogram[measure.counts[pixel]];
    ++measure.counts[pixel];
    ++measure.histogram[measure.counts[pixel]];
    ++measure.now;
}

// The first (or last) frame of the second ending here in which a pixel past the limit made a
// transition; -1 if none did.
long FlashCounter::transitionFrame(const Measure& measure, bool first) const
{
    const long oldest = std::max(0L, frame_ - window_ + 1);
    for (long i = 0; i <= frame_ - oldest; ++i) {
        const long frame = first ? oldest + i : frame_ - i;
        const std::uint64_t* row = &measure.rows[static_cast<std::size_t>(frame % window_) * words_];
        for (std::size_t w = 0; w < words_; ++w) {
            for (std::uint64_t bits = row[w]; bits != 0; bits &= bits - 1) {
                if (measure.counts[w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits))] >
                    static_cast<std::uint32_t>(kMostTransitions)) {
                    return frame;
                }
            }
        }
    }
    return -1;
}

// The transitions a quarter of the picture made in the second ending here: the most k such that
// a quarter of the pixels (or more) made k or more. Seconds over the limit open a span or
// lengthen the open one.
int FlashCounter::judge(Measure& measure)
{
    int transitions = 0;
    long reached = 0;   // pixels with `k` transitions or more
    for (long k = window_; k > 0 && pixels_ > 0; --k) {
        reached += measure.histogram[static_cast<std::size_t>(k)];
        if (reached * 4 >= static_cast<long>(pixels_)) {
            transitions = static_cast<int>(k);
            break;
        }
    }
    if (transitions > kMostTransitions) {
        const double last = timeOf(transitionFrame(measure, false));
        if (!measure.failing) {
            measure.failing = true;
            measure.span = Span{measure.red, timeOf(transitionFrame(measure, true)), last, transitions};
        }
        measure.span.end = std::max(measure.span.end, last);
        measure.span.transitions = std::max(measure.span.transitions, transitions);
    } else if (measure.failing) {
        measure.failing = false;
        failures_.push_back(measure.span);
    }
    return transitions;
}

const std::vector<Span>& FlashCounter::finish()
{
    for (Measure* measure : {&luminance_, &red_}) {
        if (measure->failing) {
            failures_.push_back(measure->span);
            measure->failing = false;
        }
    }
    std::stable_sort(failures_.begin(), failures_.end(),
                     [](const Span& a, const Span& b) { return a.start < b.start; });
    return failures_;
}

} // namespace tolva::flashes
