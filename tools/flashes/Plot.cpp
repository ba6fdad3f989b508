#include "Plot.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tolva::flashes {

namespace {

// Capitals, digits and a little punctuation, 3 x 5 pixels: five rows of three bits, top first.
unsigned glyph(char c)
{
    switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'A': return 0b010'101'111'101'101;
    case 'B': return 0b110'101'110'101'110;
    case 'C': return 0b011'100'100'100'011;
    case 'D': return 0b110'101'101'101'110;
    case 'E': return 0b111'100'110'100'111;
    case 'F': return 0b111'100'110'100'100;
    case 'G': return 0b011'100'101'101'011;
    case 'H': return 0b101'101'111'101'101;
    case 'I': return 0b111'010'010'010'111;
    case 'J': return 0b001'001'001'101'010;
    case 'K': return 0b101'101'110'101'101;
    case 'L': return 0b100'100'100'100'111;
    case 'M': return 0b101'111'111'101'101;
    case 'N': return 0b110'101'101'101'101;
    case 'O': return 0b010'101'101'101'010;
    case 'P': return 0b110'101'110'100'100;
    case 'Q': return 0b010'101'101'110'011;
    case 'R': return 0b110'101'110'101'101;
    case 'S': return 0b011'100'010'001'110;
    case 'T': return 0b111'010'010'010'010;
    case 'U': return 0b101'101'101'101'111;
    case 'V': return 0b101'101'101'101'010;
    case 'W': return 0b101'101'111'111'101;
    case 'X': return 0b101'101'010'101'101;
    case 'Y': return 0b101'101'010'010'010;
    case 'Z': return 0b111'001'010'100'111;
    case '0': return 0b111'101'101'101'111;
    case '1': return 0b010'110'010'010'111;
    case '2': return 0b110'001'010'100'111;
    case '3': return 0b110'001'010'001'110;
    case '4': return 0b101'101'111'001'001;
    case '5': return 0b111'100'110'001'110;
    case '6': return 0b011'100'111'101'111;
    case '7': return 0b111'001'010'010'010;
    case '8': return 0b111'101'111'101'111;
    case '9': return 0b111'101'111'001'110;
    case '.': return 0b000'000'000'000'010;
    case ',': return 0b000'000'000'010'100;
    case '-': return 0b000'000'111'000'000;
    case ':': return 0b000'010'000'010'000;
    case '/': return 0b001'001'010'100'100;
    case '(': return 0b010'100'100'100'010;
    case ')': return 0b010'001'001'001'010;
    case '%': return 0b101'001'010'100'101;
    case '\'': return 0b010'010'000'000'000;
    case ' ': return 0;
    default: return 0b110'001'010'000'010;  // ?
    }
}

constexpr int kScale = 2;                    // font pixels
constexpr int kAdvance = 4 * kScale;         // a character and its gap
constexpr int kLeft = 64, kRight = 24, kTop = 44, kBottom = 84;

const sf::Color kInk(32, 32, 32);
const sf::Color kGrid(222, 222, 222);
const sf::Color kLuminance(60, 110, 200);
const sf::Color kRedFlash(210, 30, 30);
const sf::Color kFailing(255, 214, 214);
const sf::Color kLimit(150, 0, 0);
const sf::Color kChapter(150, 150, 150);

class Canvas {
public:
    explicit Canvas(sf::Image& image) : image_(image) {}

    void fill(int x0, int y0, int x1, int y1, sf::Color colour)  // [x0, x1) x [y0, y1)
    {
        const int w = static_cast<int>(image_.getSize().x), h = static_cast<int>(image_.getSize().y);
        for (int y = std::max(0, y0); y < std::min(h, y1); ++y) {
            for (int x = std::max(0, x0); x < std::min(w, x1); ++x) {
                image_.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y), colour);
            }
        }
    }

    // Text from (x, y) at its top left, cut where it would pass maxX; returns where it ends.
    int text(int x, int y, const std::string& s, sf::Color colour, int maxX = 1 << 30)
    {
        for (char c : s) {
            if (x + 3 * kScale > maxX) {
                break;
            }
            const unsigned bits = glyph(c);
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if ((bits >> (14 - 3 * row - col) & 1U) != 0) {
                        fill(x + col * kScale, y + row * kScale, x + (col + 1) * kScale,
                             y + (row + 1) * kScale, colour);
                    }
                }
            }
            x += kAdvance;
        }
        return x;
    }

private:
    sf::Image& image_;
};

int textWidth(const std::string& s) { return static_cast<int>(s.size()) * kAdvance; }

// A round step for about `count` labels over `span`.
double stepFor(double span, int count)
{
    for (double step : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 1200.0, 1800.0, 3600.0}) {
        if (span / step <= static_cast<double>(count)) {
            return step;
        }
    }
    return 7200.0;
}

} // namespace

sf::Image drawPlot(const PlotData& data)
{
    sf::Image image;
    image.create(kPlotWidth, kPlotHeight, sf::Color::White);
    Canvas canvas(image);
    const int x0 = kLeft, x1 = static_cast<int>(kPlotWidth) - kRight;
    const int y0 = kTop, y1 = static_cast<int>(kPlotHeight) - kBottom;
    const double duration = std::max(data.duration, data.frames.empty() ? 1.0 : data.frames.back().time);
    const auto xOf = [&](double t) {
        return x0 + static_cast<int>(std::floor(t / std::max(duration, 1e-9) * static_cast<double>(x1 - x0)));
    };

    // The most flashes of each column's frames, so that no short burst is lost.
    const std::size_t columns = static_cast<std::size_t>(x1 - x0);
    // A column between two frames (a short video) holds the one before.
    std::vector<int> luminance(columns, -1), red(columns, -1);
    int most = 0;
    for (const FrameFlashes& frame : data.frames) {
        const std::size_t column =
            static_cast<std::size_t>(std::clamp(xOf(frame.time) - x0, 0, static_cast<int>(columns) - 1));
        luminance[column] = std::max(luminance[column], frame.transitions);
        red[column] = std::max(red[column], frame.redTransitions);
        most = std::max({most, frame.transitions, frame.redTransitions});
    }
    const int lastColumn = data.frames.empty() ? 0 : xOf(data.frames.back().time) - x0;
    for (std::size_t c = 0; c < columns; ++c) {
        if (luminance[c] < 0) {
            const bool held = c > 0 && static_cast<int>(c) <= lastColumn;
            luminance[c] = held ? luminance[c - 1] : 0;
            red[c] = held ? red[c - 1] : 0;
        }
    }
    const double top = std::max(6.0, std::ceil(flashesOf(most)) + 1.0);  // flashes a second
    const auto yOf = [&](double flashes) {
        return y1 - static_cast<int>(std::lround(flashes / top * static_cast<double>(y1 - y0)));
    };

    for (const Stretch& failure : data.failures) {
        canvas.fill(xOf(failure.start), y0, std::max(xOf(failure.end), xOf(failure.start) + 1) + 1, y1, kFailing);
    }
    const double yStep = top <= 10.0 ? 1.0 : top <= 20.0 ? 2.0 : 5.0;
    for (double f = 0.0; f <= top; f += yStep) {
        const int y = yOf(f);
        canvas.fill(x0, y, x1, y + 1, kGrid);
        const std::string label = fmt::format("{:g}", f);
        canvas.text(x0 - 8 - textWidth(label), y - 5, label, kInk);
    }
    const double xStep = stepFor(duration, 16);
    for (double t = 0.0; t <= duration + 1e-9; t += xStep) {
        const int x = xOf(t);
        canvas.fill(x, y0, x + 1, y1, kGrid);
        canvas.fill(x, y1, x + 1, y1 + 6, kInk);
        const std::string label = fmt::format("{:g}", t);
        canvas.text(x - textWidth(label) / 2, y1 + 10, label, kInk);
    }
    canvas.text(x1 - textWidth("SECONDS"), y1 + 24, "SECONDS", kInk);

    // The scenes: a dotted line at each chapter's start, its title below the axis.
    for (std::size_t i = 0; i < data.chapters.size(); ++i) {
        if (data.chapters[i].start < 0.0 || data.chapters[i].start >= duration) {
            continue;  // a chapter past the frames (of a file cut short)
        }
        const int x = xOf(data.chapters[i].start);
        for (int y = y0; y < y1; y += 4) {
            canvas.fill(x, y, x + 1, y + 2, kChapter);
        }
        const int next = i + 1 < data.chapters.size() ? std::min(xOf(data.chapters[i + 1].start), x1) : x1;
        canvas.fill(x, y1 + 38, x + 1, y1 + 58, kChapter);
        canvas.text(x + 4, y1 + 42 + static_cast<int>(i % 2) * 12,
                    data.chapters[i].title, kInk, std::max(next, x + 4 + kAdvance * 2) - 4);
    }

    for (std::size_t c = 0; c < columns; ++c) {
        const int x = x0 + static_cast<int>(c);
        canvas.fill(x, yOf(flashesOf(luminance[c])), x + 1, y1, kLuminance);
    }
    for (std::size_t c = 0; c < columns; ++c) {
        const int x = x0 + static_cast<int>(c);
        const int y = yOf(flashesOf(red[c]));
        const int before = c == 0 ? y : yOf(flashesOf(red[c - 1]));
        if (red[c] > 0 || (c > 0 && red[c - 1] > 0)) {
            canvas.fill(x, std::min(y, before) - 1, x + 1, std::max(y, before) + 1, kRedFlash);
        }
    }
    for (int x = x0; x < x1; x += 12) {
        canvas.fill(x, yOf(3.0) - 1, std::min(x + 8, x1), yOf(3.0) + 1, kLimit);
    }
    canvas.text(x1 - textWidth("LIMIT 3") - 2, yOf(3.0) - 14, "LIMIT 3", kLimit);
    canvas.fill(x0, y0, x0 + 1, y1, kInk);
    canvas.fill(x0, y1, x1, y1 + 1, kInk);

    canvas.text(x0, 12, data.title, kInk, x1);
    int x = canvas.text(x0, 26, "FLASHES A SECOND:", kInk) + kAdvance;
    canvas.fill(x, 26, x + 10, 36, kLuminance);
    x = canvas.text(x + 14, 26, "LUMINANCE", kInk) + kAdvance;
    canvas.fill(x, 30, x + 10, 32, kRedFlash);
    x = canvas.text(x + 14, 26, "RED", kInk) + kAdvance;
    canvas.fill(x, 26, x + 10, 36, kFailing);
    canvas.text(x + 14, 26, "OVER THE LIMIT", kInk);
    return image;
}

} // namespace tolva::flashes
