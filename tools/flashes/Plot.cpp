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

// The chart's frame in the picture, and where a time and a number of flashes fall in it.
struct Chart {
    int x0 = kLeft, x1 = static_cast<int>(kPlotWidth) - kRight;
    int y0 = kTop, y1 = static_cast<int>(kPlotHeight) - kBottom;
    double duration = 1.0;  // seconds across
    double top = 6.0;       // flashes a second at the top

    int xOf(double t) const
    {
        return x0 + static_cast<int>(std::floor(t / std::max(duration, 1e-9) * static_cast<double>(x1 - x0)));
    }
    int yOf(double flashes) const
    {
        return y1 - static_cast<int>(std::lround(flashes / top * static_cast<double>(y1 - y0)));
    }
};

// The most flashes of each column's frames, so that no short burst is lost; a column between two
// frames (a short video) holds the one before. The most of all frames, too.
struct Columns {
    std::vector<int> luminance, red;
    int most = 0;
};

Columns columnsOf(const PlotData& data, const Chart& chart)
{
    const std::size_t count = static_cast<std::size_t>(chart.x1 - chart.x0);
    Columns columns{std::vector<int>(count, -1), std::vector<int>(count, -1), 0};
    for (const FrameFlashes& frame : data.frames) {
        const std::size_t column =
            static_cast<std::size_t>(std::clamp(chart.xOf(frame.time) - chart.x0, 0, static_cast<int>(count) - 1));
        columns.luminance[column] = std::max(columns.luminance[column], frame.transitions);
        columns.red[column] = std::max(columns.red[column], frame.redTransitions);
        columns.most = std::max({columns.most, frame.transitions, frame.redTransitions});
    }
    const int lastColumn = data.frames.empty() ? 0 : chart.xOf(data.frames.back().time) - chart.x0;
    for (std::size_t c = 0; c < count; ++c) {
        if (columns.luminance[c] < 0) {
            const bool held = c > 0 && static_cast<int>(c) <= lastColumn;
            columns.luminance[c] = held ? columns.luminance[c - 1] : 0;
            columns.red[c] = held ? columns.red[c - 1] : 0;
        }
    }
    return columns;
}

// The spans that fail behind everything, the grid and both axes' labels.
void drawGrid(Canvas& canvas, const PlotData& data, const Chart& chart)
{
    for (const Span& failure : data.failures) {
        canvas.fill(chart.xOf(failure.start), chart.y0,
                    std::max(chart.xOf(failure.end), chart.xOf(failure.start) + 1) + 1, chart.y1, kFailing);
    }
    const double yStep = chart.top <= 10.0 ? 1.0 : chart.top <= 20.0 ? 2.0 : 5.0;
    for (double f = 0.0; f <= chart.top; f += yStep) {
        const int y = chart.yOf(f);
        canvas.fill(chart.x0, y, chart.x1, y + 1, kGrid);
        const std::string label = fmt::format("{:g}", f);
        canvas.text(chart.x0 - 8 - textWidth(label), y - 5, label, kInk);
    }
    const double xStep = stepFor(chart.duration, 16);
    for (double t = 0.0; t <= chart.duration + 1e-9; t += xStep) {
        const int x = chart.xOf(t);
        canvas.fill(x, chart.y0, x + 1, chart.y1, kGrid);
        canvas.fill(x, chart.y1, x + 1, chart.y1 + 6, kInk);
        const std::string label = fmt::format("{:g}", t);
        canvas.text(x - textWidth(label) / 2, chart.y1 + 10, label, kInk);
    }
    canvas.text(chart.x1 - textWidth("SECONDS"), chart.y1 + 24, "SECONDS", kInk);
}

// The scenes: a dotted line at each chapter's start, its title below the axis.
void drawChapters(Canvas& canvas, const std::vector<Chapter>& chapters, const Chart& chart)
{
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        if (chapters[i].start < 0.0 || chapters[i].start >= chart.duration) {
            continue;  // a chapter past the frames (of a file cut short)
        }
        const int x = chart.xOf(chapters[i].start);
        for (int y = chart.y0; y < chart.y1; y += 4) {
            canvas.fill(x, y, x + 1, y + 2, kChapter);
        }
        const int next = i + 1 < chapters.size() ? std::min(chart.xOf(chapters[i + 1].start), chart.x1) : chart.x1;
        canvas.fill(x, chart.y1 + 38, x + 1, chart.y1 + 58, kChapter);
        canvas.text(x + 4, chart.y1 + 42 + static_cast<int>(i % 2) * 12,
                    chapters[i].title, kInk, std::max(next, x + 4 + kAdvance * 2) - 4);
    }
}

// The luminance flashes as bars, the red ones as a line over them, the limit dashed, the axes.
void drawFlashes(Canvas& canvas, const Columns& columns, const Chart& chart)
{
    for (std::size_t c = 0; c < columns.luminance.size(); ++c) {
        const int x = chart.x0 + static_cast<int>(c);
        canvas.fill(x, chart.yOf(flashesOf(columns.luminance[c])), x + 1, chart.y1, kLuminance);
    }
    for (std::size_t c = 0; c < columns.red.size(); ++c) {
        const int x = chart.x0 + static_cast<int>(c);
        const int y = chart.yOf(flashesOf(columns.red[c]));
        const int before = c == 0 ? y : chart.yOf(flashesOf(columns.red[c - 1]));
        if (columns.red[c] > 0 || (c > 0 && columns.red[c - 1] > 0)) {
            canvas.fill(x, std::min(y, before) - 1, x + 1, std::max(y, before) + 1, kRedFlash);
        }
    }
    for (int x = chart.x0; x < chart.x1; x += 12) {
        canvas.fill(x, chart.yOf(3.0) - 1, std::min(x + 8, chart.x1), chart.yOf(3.0) + 1, kLimit);
    }
    canvas.text(chart.x1 - textWidth("LIMIT 3") - 2, chart.yOf(3.0) - 14, "LIMIT 3", kLimit);
    canvas.fill(chart.x0, chart.y0, chart.x0 + 1, chart.y1, kInk);
    canvas.fill(chart.x0, chart.y1, chart.x1, chart.y1 + 1, kInk);
}

// The title and the key above the chart.
void drawTitle(Canvas& canvas, const std::string& title, const Chart& chart)
{
    canvas.text(chart.x0, 12, title, kInk, chart.x1);
    int x = canvas.text(chart.x0, 26, "FLASHES A SECOND:", kInk) + kAdvance;
    canvas.fill(x, 26, x + 10, 36, kLuminance);
    x = canvas.text(x + 14, 26, "LUMINANCE", kInk) + kAdvance;
    canvas.fill(x, 30, x + 10, 32, kRedFlash);
    x = canvas.text(x + 14, 26, "RED", kInk) + kAdvance;
    canvas.fill(x, 26, x + 10, 36, kFailing);
    canvas.text(x + 14, 26, "OVER THE LIMIT", kInk);
}

} // namespace

sf::Image drawPlot(const PlotData& data)
{
    sf::Image image;
    image.create(kPlotWidth, kPlotHeight, sf::Color::White);
    Canvas canvas(image);
    Chart chart;
    chart.duration = std::max(data.duration, data.frames.empty() ? 1.0 : data.frames.back().time);
    const Columns columns = columnsOf(data, chart);
    chart.top = std::max(6.0, std::ceil(flashesOf(columns.most)) + 1.0);  // flashes a second
    drawGrid(canvas, data, chart);
    drawChapters(canvas, data.chapters, chart);
    drawFlashes(canvas, columns, chart);
    drawTitle(canvas, data.title, chart);
    return image;
}

} // namespace tolva::flashes
