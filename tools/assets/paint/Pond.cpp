// The closing picture: frogs in a pool on a spring morning.
//
// The show draws it at three quarters of its size and slides it upwards for
// 18.5 seconds, from its top edge 50 pixels above the window to about 1900
// above, then holds it while two lines of text appear. The eye therefore travels
// down the picture: dawn sky with a blossoming cherry, hills, the meadow and the
// reeds of the bank, and at last the pool itself, which stays on screen longest.
// The text lands on open water there (see keepClear), so the frogs sit around it.
//
// Everything is in picture pixels: 2560 x 4000 (1920 x 3000 in the window).

#include "Figures.h"
#include "Pictures.h"

#include <vector>

namespace tolva::paint {

namespace {

constexpr int W = 2560;
constexpr int H = 4000;
constexpr float pi = 3.14159265f;
constexpr float horizon = 1280.0f;   // where the water plane would vanish
const Vec sun{1880.0f, 1010.0f};

// Where the two closing lines stand once the picture stops (window (900, 650)
// and (405, 200), at scale 0.75 and offset -1900), with room for their size.
const Box keepClear[] = {
    {1160.0f, 3380.0f, 1800.0f, 3510.0f},
    {500.0f, 2770.0f, 1800.0f, 2910.0f},
};

bool nearText(Vec p, float margin)
{
    for (const Box& b : keepClear) {
        if (p.x > b.x0 - margin && p.x < b.x1 + margin && p.y > b.y0 - margin && p.y < b.y1 + margin) {
            return true;
        }
    }
    return false;
}

Colour skyColour(float y)
{
    struct Stop {
        float y;
        Colour c;
    };
    static const Stop stops[] = {
        {0.0f, rgb(40, 46, 112)},   {420.0f, rgb(86, 92, 168)}, {760.0f, rgb(190, 140, 178)},
        {1000.0f, rgb(246, 178, 162)}, {1180.0f, rgb(255, 210, 160)}, {1320.0f, rgb(255, 232, 186)},
    };
    if (y <= stops[0].y) {
        return stops[0].c;
    }
    for (std::size_t k = 1; k < std::size(stops); ++k) {
        if (y < stops[k].y) {
            float t = (y - stops[k - 1].y) / (stops[k].y - stops[k - 1].y);
            return mix(stops[k - 1].c, stops[k].c, smooth(0.0f, 1.0f, t));
        }
    }
    return stops[std::size(stops) - 1].c;
}

float farRidgeAt(float x)
{
    return 1110.0f + 55.0f * std::sin(x * 0.0021f + 1.3f) + 30.0f * std::sin(x * 0.0057f + 0.2f)
           + 50.0f * (fbm(x * 0.004f, 3.7f, 11u, 4) - 0.5f);
}

float nearRidgeAt(float x)
{
    return 1215.0f + 40.0f * std::sin(x * 0.0031f + 2.5f) + 22.0f * std::sin(x * 0.0083f)
           + 34.0f * (fbm(x * 0.006f, 8.1f, 12u, 4) - 0.5f);
}

float shoreLineAt(float x)
{
    return 1765.0f + 38.0f * std::sin(x * 0.0023f + 0.7f) + 22.0f * std::sin(x * 0.0061f + 2.1f)
           + 24.0f * (fbm(x * 0.01f, 1.3f, 13u, 3) - 0.5f);
}

// The three lines depend on x alone; every pixel asks for them, so they are
// worked out once per column (between columns they are interpolated).
struct Lines {
    std::vector<float> far, near, shore;
    Lines()
    {
        for (int x = -1; x <= W + 1; ++x) {
            float fx = static_cast<float>(x);
            far.push_back(farRidgeAt(fx));
            near.push_back(nearRidgeAt(fx));
            shore.push_back(shoreLineAt(fx));
        }
    }
    static float sample(const std::vector<float>& table, float x)
    {
        float c = std::min(std::max(x, -1.0f), static_cast<float>(W) + 0.999f);
        float f = std::floor(c);
        auto i = static_cast<std::size_t>(static_cast<int>(f) + 1);
        return lerp(table[i], table[i + 1], c - f);
    }
};

const Lines& lines()
{
    static const Lines table;
    return table;
}

float farRidge(float x) { return Lines::sample(lines().far, x); }
float nearRidge(float x) { return Lines::sample(lines().near, x); }
float shoreLine(float x) { return Lines::sample(lines().shore, x); }

// How near the camera a row of the ground or water is: 0 at the horizon, 1 at the bottom.
float nearness(float y) { return clamp01((y - horizon) / (static_cast<float>(H) - horizon)); }

Colour add(Colour c, Colour light, float k)
{
    return {c.r + light.r * k, c.g + light.g * k, c.b + light.b * k, c.a};
}

Colour skyPixel(float x, float y)
{
    Colour c = skyColour(y);
    float d = length(Vec{x, y} - sun);
    // Clouds: long, soft, lit pink-gold from below by the low sun.
    if (y < 1180.0f) {
        float n = fbm(x * 0.0014f, y * 0.0062f, 21u, 5);
        float band = smooth(1180.0f, 900.0f, y) * smooth(40.0f, 300.0f, y);
        float cover = smooth(0.52f, 0.72f, n) * band;
        if (cover > 0.0f) {
            float under = smooth(0.0f, 0.12f, fbm(x * 0.0014f, (y + 26.0f) * 0.0062f, 21u, 3) - fbm(x * 0.0014f, y * 0.0062f, 21u, 3));
            Colour lit = mix(rgb(255, 236, 222), rgb(255, 206, 176), smooth(600.0f, 1100.0f, y));
            Colour cloud = mix(lit, rgb(164, 132, 178), 0.55f * under + 0.25f * smooth(300.0f, 0.0f, y));
            cloud = add(cloud, rgb(255, 190, 120), 0.35f * std::exp(-d / 600.0f));
            c = mix(c, cloud, 0.85f * cover);
        }
    }
    // The sun, its halo and faint rays.
    float angle = std::atan2(y - sun.y, x - sun.x);
    float rays = valueNoise(angle * 9.0f + 40.0f, 0.5f, 22u) * valueNoise(angle * 23.0f + 40.0f, 1.5f, 23u);
    float glow = 0.55f * std::exp(-d / 150.0f) + 0.3f * std::exp(-d / 520.0f) + 0.25f * rays * std::exp(-d / 900.0f);
    c = add(c, rgb(255, 196, 130), glow);
    float disk = clamp01(60.5f - d);
    c = mix(c, rgb(255, 250, 226), disk);
    return c;
}

Colour hillPixel(float x, float y, bool far)
{
    if (far) {
        float t = clamp01((y - farRidge(x)) / 160.0f);
        Colour haze = mix(rgb(196, 164, 196), rgb(160, 146, 190), t);
        return mix(haze, skyColour(y), 0.25f);
    }
    // Meadow: hazy at the ridge, lush near the bank; grass texture scaled with distance.
    float top = nearRidge(x);
    float t = clamp01((y - top) / (shoreLine(x) - top));
    float s = nearness(y);
    Colour grass = mix(rgb(140, 168, 128), rgb(72, 140, 60), smooth(0.0f, 1.0f, t));
    float blades = fbm(x / (2.0f + 10.0f * s), y / (1.5f + 4.0f * s), 31u, 3);
    float patches = fbm(x * 0.004f, y * 0.012f, 32u, 3);
    grass = scaled(grass, 0.9f + 0.12f * blades + 0.16f * (patches - 0.5f));
    // The sun warms the ridge.
    grass = add(grass, rgb(255, 190, 120), 0.18f * std::exp(-length(Vec{x, y} - sun) / 700.0f));
    // A darker, muddy lip right at the water.
    float lip = smooth(14.0f, 0.0f, shoreLine(x) - y);
    return mix(grass, rgb(70, 74, 40), 0.7f * lip);
}

Colour waterPixel(float x, float y)
{
    float s = nearness(y);
    float dy = y - horizon;
    // Water texture laid on the ground plane: wavelets stretch sideways and
    // shorten towards the horizon.
    float u = (x - static_cast<float>(W) * 0.5f) / (20.0f + 0.3f * dy);
    float v = 5200.0f / (dy + 30.0f);
    float n = fbm(u * 0.9f, v * 3.5f, 41u, 4);
    float m = fbm(u * 2.3f + 7.0f, v * 9.0f, 42u, 3);

    // Sky mirrored in the water, disturbed by the wavelets.
    float mirrorRow = horizon - dy * 0.85f + (n - 0.5f) * 140.0f;
    Colour reflected = skyColour(std::max(0.0f, mirrorRow));
    Colour deep = mix(rgb(44, 124, 116), rgb(14, 60, 68), s);
    float fresnel = lerp(0.82f, 0.22f, std::pow(s, 0.8f));
    Colour c = mix(deep, reflected, fresnel);
    c = scaled(c, 0.9f + 0.22f * (n - 0.5f) + 0.1f * (m - 0.5f));

    // The bank mirrored just below it, and the cherry's pink beside it.
    float belowShore = y - shoreLine(x);
    float bank = smooth(110.0f, 0.0f, belowShore + 40.0f * (n - 0.5f));
    c = mix(c, rgb(46, 84, 44), 0.65f * bank);
    float tx = (x - 520.0f) / 470.0f, ty = (belowShore - 170.0f) / 240.0f;
    float blossom = smooth(1.0f, 0.3f, tx * tx + ty * ty) * (0.75f + 0.5f * (n - 0.5f));
    c = mix(c, rgb(236, 176, 198), 0.45f * blossom);

    // The sun's path: a column of glints that widens as it nears.
    float width = 40.0f + 420.0f * s;
    float path = std::exp(-((x - sun.x) * (x - sun.x)) / (width * width));
    float sparkle = std::pow(clamp01(valueNoise(u * 6.0f, v * 22.0f, 43u) * 1.25f - 0.1f), 10.0f);
    c = add(c, rgb(255, 226, 170), path * (0.22f * (1.0f - 0.6f * s) + 1.6f * sparkle));
    // Light netting in the shallows near us.
    float net = 1.0f - smooth(0.0f, 0.05f, std::abs(m - 0.5f));
    c = add(c, rgb(170, 255, 220), 0.09f * net * s);
    return c;
}

// --- Blossoms and branches ----------------------------------------------------------

void blossom(Raster& r, Vec c, float size, std::uint32_t seed)
{
    Dice dice(seed);
    static const Colour petals[] = {rgb(255, 206, 222), rgb(250, 176, 200), rgb(255, 232, 238), rgb(244, 160, 190)};
    Colour petal = petals[hash(seed) % 4u];
    float turn = dice.between(0.0f, 2.0f * pi);
    for (int k = 0; k < 5; ++k) {
        float a = turn + static_cast<float>(k) * 2.0f * pi / 5.0f;
        Vec p{c.x + std::cos(a) * 0.5f * size, c.y + std::sin(a) * 0.5f * size};
        r.ellipse(p, {0.42f * size, 0.34f * size}, a, [=](Vec q) {
            return mix(petal, scaled(petal, 0.86f), clamp01((q.y - c.y) / size + 0.5f));
        });
    }
    r.circle(c, 0.2f * size, rgb(210, 84, 120));
    r.circle({c.x + 0.05f * size, c.y - 0.05f * size}, 0.09f * size, rgb(255, 226, 120));
}

void cluster(Raster& r, Vec c, float radius, std::uint32_t seed, int count)
{
    Dice dice(seed);
    // A soft pink cloud, then the flowers on it.
    for (int k = 0; k < 6; ++k) {
        Vec p{c.x + dice.between(-0.6f, 0.6f) * radius, c.y + dice.between(-0.45f, 0.45f) * radius};
        r.ellipse(p, {0.55f * radius, 0.42f * radius}, dice.between(0.0f, pi), rgb(242, 168, 196, 0.55f));
    }
    for (int k = 0; k < count; ++k) {
        float a = dice.between(0.0f, 2.0f * pi), d = std::sqrt(dice.next()) * radius;
        blossom(r, {c.x + std::cos(a) * d, c.y + std::sin(a) * d * 0.8f}, dice.between(9.0f, 16.0f),
                seed * 131u + static_cast<std::uint32_t>(k));
    }
}

void branch(Raster& r, Vec from, float angle, float len, float radius, int depth, std::uint32_t seed,
            std::vector<Vec>& tips)
{
    Dice dice(seed);
    Vec dir{std::cos(angle), std::sin(angle)};
    Vec to = from + dir * len;
    Vec bend = from + dir * (0.5f * len) + Vec{-dir.y, dir.x} * (dice.between(-0.18f, 0.18f) * len);
    Colour bark = rgb(72, 44, 46);
    r.curve(from, bend, to, radius, radius * 0.7f, [=](Vec p) {
        float grain = valueNoise(p.x * 0.08f, p.y * 0.3f, seed);
        return scaled(bark, 0.8f + 0.35f * grain);
    }, 10);
    if (depth == 0) {
        tips.push_back(to);
        return;
    }
    int children = depth > 2 ? 2 : 3;
    for (int k = 0; k < children; ++k) {
        float spread = (static_cast<float>(k) - static_cast<float>(children - 1) * 0.5f) * dice.between(0.45f, 0.7f);
        // Branches reach up and out; gravity pulls the thin ones a little.
        float pull = depth < 2 ? 0.12f : 0.0f;
        branch(r, to, angle + spread + pull, len * dice.between(0.62f, 0.8f), radius * 0.66f, depth - 1,
               hash(seed, static_cast<std::uint32_t>(k)), tips);
    }
    if (depth <= 2) {
        tips.push_back(bend);
    }
}

void cherryTree(Raster& r)
{
    std::vector<Vec> tips;
    Vec base{360.0f, shoreLine(360.0f) - 34.0f};
    // Trunk in two bends, then the crown.
    Vec fork{430.0f, 1080.0f};
    r.ellipse({base.x, base.y + 4.0f}, {120.0f, 18.0f}, 0.0f, rgb(30, 60, 30, 0.4f));
    r.curve(base, {300.0f, 1400.0f}, fork, 46.0f, 28.0f, [](Vec p) {
        float grain = valueNoise(p.x * 0.05f, p.y * 0.25f, 51u);
        float side = clamp01((p.x - 330.0f) / 90.0f);
        return scaled(rgb(76, 48, 48), 0.7f + 0.3f * grain + 0.25f * side);
    }, 24);
    branch(r, fork, -1.95f, 330.0f, 24.0f, 4, 61u, tips);
    branch(r, fork, -1.25f, 300.0f, 22.0f, 4, 62u, tips);
    branch(r, fork, -0.55f, 360.0f, 20.0f, 4, 63u, tips);
    branch(r, {380.0f, 1300.0f}, -2.6f, 220.0f, 16.0f, 3, 64u, tips);
    for (std::size_t k = 0; k < tips.size(); ++k) {
        cluster(r, tips[k], 70.0f + 30.0f * hash01(static_cast<std::uint32_t>(k), 5u), 900u + static_cast<std::uint32_t>(k), 16);
    }
}

void cornerBranch(Raster& r)
{
    std::vector<Vec> tips;
    branch(r, {2620.0f, 110.0f}, 2.9f, 360.0f, 18.0f, 3, 71u, tips);
    branch(r, {2620.0f, 300.0f}, 2.75f, 240.0f, 12.0f, 2, 72u, tips);
    for (std::size_t k = 0; k < tips.size(); ++k) {
        cluster(r, tips[k], 55.0f, 1900u + static_cast<std::uint32_t>(k), 12);
    }
}

// --- The bank ---------------------------------------------------------------------------

void reed(Raster& r, Vec base, float height, float lean, std::uint32_t seed, bool cattail, bool mirror)
{
    Dice dice(seed);
    Colour green = mix(rgb(62, 110, 50), rgb(104, 140, 60), dice.next());
    float width = std::max(1.2f, height * 0.018f);
    Vec top{base.x + lean * height, base.y - height};
    Vec control{base.x + lean * height * 0.2f, base.y - height * 0.6f};
    if (mirror) {
        // Its reflection: short, dim, wavering.
        Vec mt{base.x + lean * height * 0.5f, base.y + height * 0.55f};
        r.curve(base, {base.x + lean * height * 0.1f, base.y + height * 0.3f}, mt, width, width * 0.4f,
                rgb(30, 60, 40, 0.3f), 6);
        return;
    }
    r.curve(base, control, top, width, width * 0.25f, green, 10);
    if (cattail) {
        Vec head = base + (top - base) * 0.78f;
        float a = std::atan2(top.y - base.y, top.x - base.x);
        r.ellipse(head, {height * 0.07f, width * 2.2f}, a, [=](Vec p) {
            return scaled(rgb(110, 66, 38), 0.8f + 0.3f * clamp01((head.x - p.x) / (width * 4.0f) + 0.5f));
        });
    }
}

// Meadow flowers: tiny dots, denser and bigger towards us.
void meadowFlowers(Raster& r, Dice& dice)
{
    for (int k = 0; k < 2600; ++k) {
        float x = dice.between(0.0f, static_cast<float>(W));
        float top = nearRidge(x) + 10.0f, bottom = shoreLine(x) - 8.0f;
        float y = lerp(top, bottom, std::sqrt(dice.next()));
        float s = nearness(y);
        static const Colour flowers[] = {rgb(255, 250, 236), rgb(255, 214, 70), rgb(196, 150, 230), rgb(255, 170, 196)};
        Colour c = flowers[hash(static_cast<std::uint32_t>(k), 82u) % 4u];
        r.circle({x, y}, 1.0f + 4.0f * s, c);
    }
}

void bush(Raster& r, Vec b, std::size_t k)
{
    float size = 20.0f + 70.0f * nearness(b.y);
    Dice leaves(hash(static_cast<std::uint32_t>(k), 84u));
    r.ellipse({b.x, b.y + 0.1f * size}, {size * 1.1f, size * 0.22f}, 0.0f, rgb(30, 70, 30, 0.35f));
    for (int j = 0; j < 6; ++j) {
        Vec c{b.x + leaves.between(-0.7f, 0.7f) * size, b.y - leaves.between(0.2f, 0.7f) * size};
        float rr = leaves.between(0.35f, 0.55f) * size;
        r.circle(c, rr, [=](Vec p) {
            float light = clamp01((c.y - p.y) / rr * 0.5f + 0.5f);
            return mix(rgb(40, 92, 44), rgb(96, 150, 70), light);
        });
    }
    Colour flower = k % 3 == 0 ? rgb(255, 250, 240) : (k % 3 == 1 ? rgb(255, 210, 90) : rgb(250, 180, 210));
    for (int j = 0; j < 14; ++j) {
        Vec c{b.x + leaves.between(-0.8f, 0.8f) * size, b.y - leaves.between(0.15f, 0.95f) * size};
        r.circle(c, 0.05f * size + 1.0f, flower);
    }
}

// Flowering bushes dotted over the meadow, far ones first.
void bushes(Raster& r, Dice& dice)
{
    std::vector<Vec> places;
    for (int k = 0; k < 60 && places.size() < 22; ++k) {
        float x = dice.between(0.0f, static_cast<float>(W));
        float top = nearRidge(x) + 40.0f, bottom = shoreLine(x) - 60.0f;
        if (std::abs(x - 360.0f) < 160.0f || bottom <= top) {
            continue;
        }
        places.push_back({x, lerp(top, bottom, dice.next())});
    }
    std::stable_sort(places.begin(), places.end(), [](Vec a, Vec b) { return a.y < b.y; });
    for (std::size_t k = 0; k < places.size(); ++k) {
        bush(r, places[k], k);
    }
}

// Reeds and cattails along the water, their reflections first.
void reedBeds(Raster& r, Dice& dice)
{
    struct Reed {
        Vec base;
        float height, lean;
        std::uint32_t seed;
        bool cattail;
    };
    std::vector<Reed> reeds;
    for (int k = 0; k < 420; ++k) {
        float x = dice.between(-20.0f, static_cast<float>(W) + 20.0f);
        // Reeds grow in beds; leave a gap at the sun's path and under the tree.
        float bed = fbm(x * 0.006f, 0.5f, 83u, 3);
        if (bed < 0.48f || std::abs(x - sun.x) < 90.0f) {
            continue;
        }
        float y = shoreLine(x) + dice.between(-6.0f, 10.0f);
        reeds.push_back({{x, y}, dice.between(60.0f, 210.0f) * (0.6f + bed), dice.between(-0.25f, 0.25f),
                         static_cast<std::uint32_t>(k) + 8000u, dice.next() < 0.18f});
    }
    for (const Reed& reedy : reeds) {
        reed(r, reedy.base, reedy.height, reedy.lean, reedy.seed, false, true);
    }
    for (const Reed& reedy : reeds) {
        reed(r, reedy.base, reedy.height, reedy.lean, reedy.seed, reedy.cattail, false);
    }
}

// A few trees along the near ridge, small with distance.
void ridgeTrees(Raster& r, Dice& dice)
{
    for (int k = 0; k < 70; ++k) {
        float x = dice.between(0.0f, static_cast<float>(W));
        if (std::abs(x - sun.x) < 150.0f) {
            continue;
        }
        float y = nearRidge(x) + 6.0f;
        float size = dice.between(12.0f, 30.0f);
        Colour c = mix(rgb(80, 112, 96), rgb(110, 130, 120), dice.next());
        r.stroke({x, y}, {x, y - size * 0.8f}, 2.0f, 1.5f, rgb(70, 70, 70));
        r.ellipse({x, y - size}, {size * 0.55f, size * 0.7f}, 0.0f, c);
        r.ellipse({x + size * 0.1f, y - size * 1.15f}, {size * 0.3f, size * 0.3f}, 0.0f, scaled(c, 1.12f));
    }
}

void bank(Raster& r)
{
    Dice dice(81u);
    meadowFlowers(r, dice);
    bushes(r, dice);
    reedBeds(r, dice);
    ridgeTrees(r, dice);
}

// --- The pool ---------------------------------------------------------------------------

struct Pad {
    Vec centre;
    Vec radii;
    float notch;
    std::uint32_t seed;
};

float padSquash(float y) { return lerp(0.22f, 0.62f, nearness(y)); }

bool overlaps(const std::vector<Pad>& pads, Vec c, Vec radii, float slack)
{
    for (const Pad& p : pads) {
        float dx = (c.x - p.centre.x) / (radii.x + p.radii.x);
        float dy = (c.y - p.centre.y) / (radii.y + p.radii.y);
        if (dx * dx + dy * dy < slack) {
            return true;
        }
    }
    return false;
}

struct Frog {
    Vec base;
    float size;
    int skin;
    float look;
    bool swimming;
};

struct Lily {
    Vec centre;
    float size;
};

void ring(Raster& r, Vec c, Vec radii, float width, Colour colour)
{
    r.fillShape({c.x - radii.x - width - 2.0f, c.y - radii.y - width - 2.0f, c.x + radii.x + width + 2.0f,
                 c.y + radii.y + width + 2.0f},
                [=](Vec p) { return std::abs(ellipseDistance(p, c, radii, 0.0f)) - width; }, colour);
}

void dragonfly(Raster& r, Vec c, float size, float angle, std::uint32_t seed)
{
    Vec dir{std::cos(angle), std::sin(angle)};
    Vec side{-dir.y, dir.x};
    for (int k = 0; k < 4; ++k) {
        float front = k < 2 ? 0.12f : -0.05f;
        float sgn = k % 2 == 0 ? 1.0f : -1.0f;
        Vec root = c + dir * (front * size);
        Vec mid = root + side * (sgn * 0.32f * size);
        float a = std::atan2(side.y * sgn, side.x * sgn) + (k < 2 ? 0.25f : -0.25f) * sgn;
        r.ellipse(mid, {0.36f * size, 0.095f * size}, a, rgb(120, 150, 170, 0.45f));
        r.ellipse(mid, {0.34f * size, 0.08f * size}, a, rgb(226, 242, 255, 0.55f));
        r.ellipse(mid + Vec{0.0f, -0.02f * size}, {0.2f * size, 0.03f * size}, a, rgb(255, 255, 255, 0.4f));
    }
    Colour body = hash01(seed) < 0.5f ? rgb(40, 150, 190) : rgb(60, 170, 110);
    r.stroke(c + dir * (0.2f * size), c - dir * (0.62f * size), 0.055f * size, 0.03f * size, scaled(body, 0.6f));
    r.stroke(c + dir * (0.2f * size), c - dir * (0.6f * size), 0.045f * size, 0.022f * size, body);
    r.ellipse(c + dir * (0.1f * size), {0.1f * size, 0.06f * size}, angle, scaled(body, 0.85f));
    r.circle(c + dir * (0.24f * size), 0.065f * size, rgb(30, 60, 90));
}

void petal(Raster& r, Vec c, float size, float angle, float alpha)
{
    r.ellipse(c, {size, size * 0.55f}, angle, [=](Vec p) {
        float t = clamp01((p.y - c.y) / (2.0f * size) + 0.5f);
        return withAlpha(mix(rgb(255, 222, 232), rgb(240, 160, 190), t), alpha);
    });
}

// What floats and sits in the pool.
struct PoolLife {
    std::vector<Pad> pads;
    std::vector<Frog> frogs;
    std::vector<Lily> lilies;
};

// The frogs of the last view, placed around where the text will stand, and two swimming.
void placeFrogs(PoolLife& life)
{
    auto sitter = [&](Vec base, float size, int skin, float look, Vec padRadii, float notch) {
        life.pads.push_back({{base.x - 0.03f * size, base.y - 0.06f * size}, padRadii, notch, hash(static_cast<std::uint32_t>(base.x), 3u)});
        life.frogs.push_back({base, size, skin, look, false});
    };
    sitter({560.0f, 3760.0f}, 300.0f, 0, 0.5f, {340.0f, 190.0f}, -1.2f);
    sitter({2150.0f, 3330.0f}, 215.0f, 2, -0.6f, {260.0f, 130.0f}, -2.4f);
    sitter({2300.0f, 2660.0f}, 125.0f, 1, -0.4f, {160.0f, 72.0f}, 3.6f);
    sitter({250.0f, 3100.0f}, 150.0f, 3, 0.6f, {200.0f, 96.0f}, -0.4f);
    sitter({1160.0f, 2330.0f}, 86.0f, 0, 0.2f, {120.0f, 50.0f}, 0.9f);
    sitter({1950.0f, 2090.0f}, 58.0f, 2, -0.3f, {80.0f, 32.0f}, -1.0f);
    sitter({500.0f, 2010.0f}, 48.0f, 1, 0.3f, {68.0f, 26.0f}, 2.0f);
    sitter({2390.0f, 3870.0f}, 190.0f, 1, -0.7f, {230.0f, 140.0f}, -2.8f);
    life.frogs.push_back({{1500.0f, 3140.0f}, 240.0f, 0, 0.0f, true});
    life.frogs.push_back({{820.0f, 2460.0f}, 72.0f, 3, 0.0f, true});
}

// The water lilies, each on a pad of its own.
void placeLilies(PoolLife& life)
{
    life.lilies = {{{1010.0f, 3650.0f}, 210.0f}, {{1840.0f, 3770.0f}, 165.0f}, {{140.0f, 3560.0f}, 140.0f},
                   {{880.0f, 2690.0f}, 110.0f}, {{1660.0f, 2500.0f}, 84.0f},  {{310.0f, 2260.0f}, 66.0f},
                   {{2150.0f, 1990.0f}, 46.0f}, {{1400.0f, 3830.0f}, 120.0f}, {{2460.0f, 3100.0f}, 112.0f}};
    for (const Lily& lily : life.lilies) {
        float sq = padSquash(lily.centre.y);
        Vec radii{lily.size * 1.1f, lily.size * 1.1f * sq};
        life.pads.push_back({{lily.centre.x + 0.2f * lily.size, lily.centre.y + 0.15f * lily.size * sq}, radii,
                             hash01(static_cast<std::uint32_t>(lily.centre.x), 4u) * 2.0f * pi,
                             hash(static_cast<std::uint32_t>(lily.centre.y), 5u)});
    }
}

// Colonies of pads elsewhere, leaving open water under the text and along the sun's path.
void placeColonies(std::vector<Pad>& pads, Dice& dice)
{
    for (int k = 0; k < 5000 && pads.size() < 220; ++k) {
        float y = lerp(1830.0f, static_cast<float>(H) + 80.0f, std::pow(dice.next(), 0.8f));
        float x = dice.between(-120.0f, static_cast<float>(W) + 120.0f);
        if (y < shoreLine(x) + 30.0f) {
            continue;
        }
        float s = nearness(y);
        float colony = fbm(x / (180.0f + 900.0f * s), y / (60.0f + 500.0f * s), 92u, 3);
        if (colony < 0.52f || nearText({x, y}, 60.0f) || std::abs(x - sun.x) < 40.0f + 200.0f * s) {
            continue;
        }
        float rx = lerp(22.0f, 250.0f, s) * dice.between(0.7f, 1.2f);
        Vec radii{rx, rx * padSquash(y)};
        if (overlaps(pads, {x, y}, radii, 0.85f)) {
            continue;
        }
        pads.push_back({{x, y}, radii, dice.between(0.0f, 2.0f * pi), hash(static_cast<std::uint32_t>(k), 93u)});
    }
}

struct PoolItem {
    float y;
    int kind; // 0 pad, 1 lily, 2 frog
    std::size_t index;
};

// Painter's order: far things first.
std::vector<PoolItem> paintersOrder(const PoolLife& life)
{
    std::vector<PoolItem> items;
    for (std::size_t k = 0; k < life.pads.size(); ++k) {
        items.push_back({life.pads[k].centre.y, 0, k});
    }
    for (std::size_t k = 0; k < life.lilies.size(); ++k) {
        // Right after its own pad, which lies a little below its middle.
        const Lily& lily = life.lilies[k];
        items.push_back({lily.centre.y + 0.15f * lily.size * padSquash(lily.centre.y) + 0.5f, 1, k});
    }
    for (std::size_t k = 0; k < life.frogs.size(); ++k) {
        items.push_back({life.frogs[k].base.y + 2.0f, 2, k});
    }
    std::stable_sort(items.begin(), items.end(), [](const PoolItem& a, const PoolItem& b) { return a.y < b.y; });
    return items;
}

// Rings where something just dived, on the open water.
void diveRings(Raster& r, Dice& dice)
{
    for (int k = 0; k < 14; ++k) {
        float y = dice.between(1900.0f, 3950.0f), x = dice.between(100.0f, static_cast<float>(W) - 100.0f);
        float s = nearness(y);
        for (int j = 1; j <= 3; ++j) {
            float rj = static_cast<float>(j);
            ring(r, {x, y}, {rj * (14.0f + 90.0f * s), rj * (14.0f + 90.0f * s) * padSquash(y)}, 0.8f + 1.5f * s,
                 rgb(255, 246, 226, 0.22f / rj));
        }
    }
}

// Petals floating on the water, more of them under the tree.
void floatingPetals(Raster& r, Dice& dice)
{
    for (int k = 0; k < 320; ++k) {
        float y = dice.between(1800.0f, static_cast<float>(H));
        float x = dice.next() < 0.5f ? dice.between(0.0f, 1200.0f) : dice.between(0.0f, static_cast<float>(W));
        if (y < shoreLine(x) + 10.0f) {
            continue;
        }
        float s = nearness(y);
        petal(r, {x, y}, 3.0f + 12.0f * s, dice.between(-0.4f, 0.4f), 0.9f);
    }
}

void paintItem(Raster& r, const PoolLife& life, const PoolItem& item)
{
    if (item.kind == 0) {
        const Pad& p = life.pads[item.index];
        lilyPad(r, p.centre, p.radii, p.notch, p.seed);
    } else if (item.kind == 1) {
        const Lily& l = life.lilies[item.index];
        waterLily(r, l.centre, l.size, padSquash(l.centre.y) + 0.1f, static_cast<std::uint32_t>(item.index) + 300u);
    } else {
        const Frog& f = life.frogs[item.index];
        if (f.swimming) {
            swimmingFrog(r, f.base, f.size, frogSkin(f.skin), waterPixel(f.base.x, f.base.y));
        } else {
            sittingFrog(r, f.base, f.size, frogSkin(f.skin), static_cast<std::uint32_t>(item.index) + 500u, f.look);
        }
    }
}

void pool(Raster& r)
{
    PoolLife life;
    placeFrogs(life);
    placeLilies(life);
    Dice dice(91u);
    placeColonies(life.pads, dice);
    const std::vector<PoolItem> items = paintersOrder(life);
    diveRings(r, dice);
    floatingPetals(r, dice);
    for (const PoolItem& item : items) {
        paintItem(r, life, item);
    }

    dragonfly(r, {1700.0f, 1590.0f}, 70.0f, 0.3f, 1u);
    dragonfly(r, {2330.0f, 2980.0f}, 120.0f, 2.7f, 2u);
    dragonfly(r, {900.0f, 3300.0f}, 110.0f, -0.4f, 3u);
}

// Tall reeds right in front of us, framing the last view at its lower corners.
void foreground(Raster& r)
{
    Dice dice(101u);
    for (int k = 0; k < 34; ++k) {
        bool left = k % 2 == 0;
        float x = left ? dice.between(-80.0f, 260.0f) : dice.between(2330.0f, 2640.0f);
        float height = dice.between(380.0f, 760.0f);
        float lean = left ? dice.between(0.0f, 0.3f) : dice.between(-0.3f, 0.0f);
        Vec base{x, static_cast<float>(H) + 20.0f};
        Vec top{x + lean * height, base.y - height};
        Colour c = mix(rgb(26, 60, 34), rgb(50, 92, 46), dice.next());
        r.curve(base, {x + lean * height * 0.15f, base.y - height * 0.55f}, top, 9.0f, 1.5f, c, 16);
        if (dice.next() < 0.25f) {
            Vec head = base + (top - base) * 0.8f;
            r.ellipse(head, {50.0f, 13.0f}, std::atan2(top.y - base.y, top.x - base.x), rgb(92, 54, 32));
        }
    }
}

} // namespace

sf::Image paintPond()
{
    Raster r(W, H);
    r.fillRows(0, H, [](int px, int py) {
        float x = static_cast<float>(px) + 0.5f, y = static_cast<float>(py) + 0.5f;
        float shore = shoreLine(x);
        if (y >= shore) {
            return waterPixel(x, y);
        }
        if (y >= nearRidge(x)) {
            return hillPixel(x, y, false);
        }
        if (y >= farRidge(x)) {
            return hillPixel(x, y, true);
        }
        return skyPixel(x, y);
    });
    bank(r);
    cherryTree(r);
    cornerBranch(r);
    pool(r);

    // Petals in the air, drifting from the cherry; the near ones large and soft.
    Dice dice(111u);
    for (int k = 0; k < 260; ++k) {
        float y = dice.between(200.0f, static_cast<float>(H));
        float x = dice.between(0.0f, 1500.0f) + 600.0f * dice.next() * y / static_cast<float>(H);
        if (nearText({x, y}, 20.0f)) {
            continue;
        }
        float size = 5.0f + 20.0f * std::pow(dice.next(), 3.0f) * (0.3f + y / static_cast<float>(H));
        petal(r, {x, y}, size, dice.between(0.0f, pi), 0.92f);
    }
    foreground(r);
    return r.toImage();
}

} // namespace tolva::paint
