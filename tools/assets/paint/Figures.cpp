#include "Figures.h"

namespace tolva::paint {

namespace {

constexpr float pi = 3.14159265f;

// Light comes from the upper right (the morning sun of the pond picture).
Colour shaded(Colour c, Vec p, Vec centre, Vec radii, float strength = 0.35f)
{
    float u = (p.x - centre.x) / radii.x, v = (p.y - centre.y) / radii.y;
    float light = 1.0f + strength * (0.45f * u - 0.75f * v) * 0.5f;
    return scaled(c, light);
}

} // namespace

FrogSkin frogSkin(int kind)
{
    switch (kind % 4) {
    case 0: return {rgb(88, 168, 64), rgb(222, 232, 150), rgb(48, 104, 40), rgb(236, 196, 72)};
    case 1: return {rgb(120, 176, 52), rgb(236, 228, 160), rgb(70, 110, 30), rgb(226, 168, 60)};
    case 2: return {rgb(64, 150, 96), rgb(206, 230, 170), rgb(30, 90, 60), rgb(240, 210, 90)};
    default: return {rgb(140, 160, 70), rgb(232, 220, 150), rgb(96, 104, 40), rgb(222, 150, 70)};
    }
}

namespace {

// A frog sitting at base, s across, drawn part by part from the back to the front.
class SittingFrog {
public:
    SittingFrog(Raster& r, Vec base, float s, const FrogSkin& skin)
        : r(r), base(base), s(s), skin(skin), dark(scaled(skin.body, 0.62f)),
          outlineColour(scaled(skin.body, 0.32f)), bodyC{base.x, base.y - 0.30f * s},
          headC{base.x, base.y - 0.56f * s}, headR{0.35f * s, 0.21f * s}
    {
    }

    void shadow();
    void hindLegs();
    void bodyAndBelly();
    void frontLegs();
    void head() { edged(headC, headR, 0.0f, skin.body); }
    void spots(std::uint32_t seed);
    void face();
    void eyes(float lookX);

private:
    // A thin darker rim, then the shaded fill: a drawn, not a cut-out, look.
    void edged(Vec c, Vec radii, float angle, Colour fill)
    {
        float rim = std::max(1.0f, 0.012f * s);
        r.ellipse(c, {radii.x + rim, radii.y + rim}, angle, outlineColour);
        r.ellipse(c, radii, angle, [=](Vec p) { return shaded(fill, p, c, radii); });
    }

    Raster& r;
    const Vec base;
    const float s;
    const FrogSkin& skin;
    const Colour dark;
    const Colour outlineColour;
    const Vec bodyC;
    const Vec headC;
    const Vec headR;
};

// Shadow on whatever it sits on.
void SittingFrog::shadow()
{
    r.ellipse({base.x + 0.05f * s, base.y}, {0.62f * s, 0.13f * s}, 0.0f, rgb(10, 30, 20, 0.35f));
}

// Hind legs folded at the sides, with webbed feet in front of them.
void SittingFrog::hindLegs()
{
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        edged({base.x + sx * 0.36f * s, base.y - 0.17f * s}, {0.25f * s, 0.15f * s}, sx * 0.35f, dark);
        Vec foot{base.x + sx * 0.52f * s, base.y - 0.035f * s};
        edged(foot, {0.11f * s, 0.045f * s}, 0.0f, dark);
        for (int t = 0; t < 3; ++t) {
            float ft = static_cast<float>(t);
            r.circle({foot.x + sx * (ft - 0.6f) * 0.07f * s, foot.y + 0.01f * s}, 0.03f * s,
                     scaled(dark, 1.15f));
        }
    }
}

void SittingFrog::bodyAndBelly()
{
    edged(bodyC, {0.40f * s, 0.29f * s}, 0.0f, skin.body);
    r.ellipse({base.x, base.y - 0.20f * s}, {0.25f * s, 0.18f * s}, 0.0f,
              [this](Vec p) { return mix(skin.belly, scaled(skin.belly, 0.85f), clamp01((p.y - (base.y - 0.3f * s)) / (0.2f * s))); });
}

// Front legs down to the pad, toes spread.
void SittingFrog::frontLegs()
{
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        Vec shoulder{base.x + sx * 0.22f * s, base.y - 0.32f * s};
        Vec hand{base.x + sx * 0.19f * s, base.y - 0.04f * s};
        r.stroke(shoulder, hand, 0.07f * s, 0.05f * s, outlineColour);
        r.stroke(shoulder, hand, 0.06f * s, 0.04f * s, skin.body);
        for (int t = 0; t < 3; ++t) {
            float ft = static_cast<float>(t) - 1.0f;
            r.circle({hand.x + ft * 0.045f * s + sx * 0.01f * s, hand.y + 0.015f * s}, 0.025f * s,
                     scaled(skin.body, 1.1f));
        }
    }
}

// Spots on the head that stay well inside it, then on the body's flanks.
void SittingFrog::spots(std::uint32_t seed)
{
    Dice dice(seed);
    for (int k = 0; k < 5; ++k) {
        float a = dice.between(-pi, 0.0f);
        float d = dice.between(0.35f, 0.7f);
        Vec c{headC.x + std::cos(a) * d * headR.x, headC.y + std::sin(a) * d * headR.y * 0.8f};
        if (std::abs(c.x - headC.x) < 0.14f * s) {
            continue; // keep the face clear
        }
        r.ellipse(c, {0.035f * s, 0.025f * s}, dice.between(0.0f, pi), withAlpha(skin.spots, 0.8f));
    }
    for (int k = 0; k < 4; ++k) {
        float sx = k % 2 == 0 ? -1.0f : 1.0f;
        Vec c{bodyC.x + sx * dice.between(0.28f, 0.33f) * s, bodyC.y + dice.between(-0.1f, 0.06f) * s};
        r.ellipse(c, {0.035f * s, 0.028f * s}, dice.between(0.0f, pi), withAlpha(skin.spots, 0.8f));
    }
}

// Smile, nostrils, cheeks.
void SittingFrog::face()
{
    r.curve({headC.x - 0.27f * s, headC.y + 0.02f * s}, {headC.x, headC.y + 0.2f * s},
            {headC.x + 0.27f * s, headC.y + 0.02f * s}, 0.012f * s, 0.012f * s, outlineColour, 16);
    r.circle({headC.x - 0.05f * s, headC.y - 0.06f * s}, 0.014f * s, outlineColour);
    r.circle({headC.x + 0.05f * s, headC.y - 0.06f * s}, 0.014f * s, outlineColour);
    r.circle({headC.x - 0.22f * s, headC.y + 0.05f * s}, 0.05f * s, rgb(240, 120, 120, 0.28f));
    r.circle({headC.x + 0.22f * s, headC.y + 0.05f * s}, 0.05f * s, rgb(240, 120, 120, 0.28f));
    r.ellipse({headC.x + 0.08f * s, headC.y - 0.12f * s}, {0.12f * s, 0.04f * s}, -0.2f,
              rgb(255, 255, 255, 0.22f));
}

// Eyes on top: a bulge of skin, a golden eye, a wide black pupil, a glint.
void SittingFrog::eyes(float lookX)
{
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        Vec e{headC.x + sx * 0.19f * s, headC.y - 0.19f * s};
        edged(e, {0.12f * s, 0.11f * s}, 0.0f, skin.body);
        r.circle({e.x, e.y - 0.01f * s}, 0.085f * s, [this, e](Vec p) {
            return mix(skin.eye, scaled(skin.eye, 0.7f), clamp01((p.y - e.y + 0.08f * s) / (0.17f * s)));
        });
        r.ellipse({e.x + lookX * 0.025f * s, e.y - 0.005f * s}, {0.06f * s, 0.032f * s}, 0.0f, rgb(12, 12, 16));
        r.circle({e.x + 0.03f * s, e.y - 0.045f * s}, 0.02f * s, rgb(255, 255, 255, 0.9f));
        // Upper lid, half over the eye: a sleepy, friendly look.
        r.ellipse({e.x, e.y - 0.075f * s}, {0.095f * s, 0.035f * s}, 0.0f,
                  [this, e](Vec p) { return shaded(skin.body, p, e, {0.1f * s, 0.1f * s}); });
    }
}

} // namespace

void sittingFrog(Raster& r, Vec base, float s, const FrogSkin& skin, std::uint32_t seed, float lookX)
{
    SittingFrog frog(r, base, s, skin);
    frog.shadow();
    frog.hindLegs();
    frog.bodyAndBelly();
    frog.frontLegs();
    frog.head();
    frog.spots(seed);
    frog.face();
    frog.eyes(lookX);
}

void swimmingFrog(Raster& r, Vec c, float s, const FrogSkin& skin, Colour water)
{
    // Rings first: the frog sits in them.
    for (int k = 3; k >= 1; --k) {
        float rk = static_cast<float>(k);
        Vec radii{s * (0.5f + 0.28f * rk), s * (0.13f + 0.07f * rk)};
        float ring = 0.012f * s;
        r.fillShape({c.x - radii.x - 2.0f, c.y - radii.y - 2.0f, c.x + radii.x + 2.0f, c.y + radii.y + 2.0f},
                    [=](Vec p) { return std::abs(ellipseDistance(p, {c.x, c.y + 0.04f * s}, radii, 0.0f)) - ring; },
                    withAlpha(mix(water, rgb(255, 250, 230), 0.6f), 0.5f / rk));
    }
    Colour outlineColour = scaled(skin.body, 0.32f);
    // The head's lower half is under water: a dark mirror of it first.
    r.ellipse({c.x, c.y + 0.05f * s}, {0.42f * s, 0.12f * s}, 0.0f, withAlpha(scaled(water, 0.6f), 0.7f));
    r.ellipse(c, {0.37f * s, 0.15f * s}, 0.0f, outlineColour);
    r.fillShape({c.x - 0.4f * s, c.y - 0.2f * s, c.x + 0.4f * s, c.y},
                [=](Vec p) { return std::max(ellipseDistance(p, c, {0.36f * s, 0.14f * s}, 0.0f), p.y - c.y - 0.02f * s); },
                [=](Vec p) { return shaded(skin.body, p, c, {0.36f * s, 0.14f * s}); });
    r.ellipse({c.x, c.y + 0.005f * s}, {0.38f * s, 0.02f * s}, 0.0f, withAlpha(mix(water, rgb(255, 255, 255), 0.5f), 0.7f));
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        Vec e{c.x + sx * 0.2f * s, c.y - 0.13f * s};
        r.circle(e, 0.11f * s, outlineColour);
        r.circle(e, 0.1f * s, [=](Vec p) { return shaded(skin.body, p, e, {0.1f * s, 0.1f * s}); });
        r.circle({e.x, e.y - 0.01f * s}, 0.075f * s, skin.eye);
        r.ellipse({e.x, e.y - 0.005f * s}, {0.055f * s, 0.028f * s}, 0.0f, rgb(12, 12, 16));
        r.circle({e.x + 0.028f * s, e.y - 0.04f * s}, 0.018f * s, rgb(255, 255, 255, 0.9f));
    }
    r.circle({c.x - 0.05f * s, c.y - 0.07f * s}, 0.012f * s, outlineColour);
    r.circle({c.x + 0.05f * s, c.y - 0.07f * s}, 0.012f * s, outlineColour);
}

void lilyPad(Raster& r, Vec centre, Vec radii, float notchAngle, std::uint32_t seed)
{
    float squash = radii.y / radii.x;
    float young = hash01(seed, 7u);
    // Most pads are green; a few young ones are still bronze-red.
    Colour base = young < 0.1f ? rgb(150, 100, 62) : mix(rgb(52, 128, 58), rgb(86, 150, 60), hash01(seed, 8u));
    Colour rimColour = scaled(base, 0.55f);
    float half = 0.16f + 0.08f * hash01(seed, 9u);
    auto padDistance = [=](Vec p) {
        float e = ellipseDistance(p, centre, radii, 0.0f);
        // The notch, measured in the pad's own round frame and squashed back.
        Vec q{(p.x - centre.x), (p.y - centre.y) / squash};
        q = rotated(q, -notchAngle);
        float wedge = std::max(std::abs(q.y) * std::cos(half) - q.x * std::sin(half), -q.x);
        return std::max(e, -wedge * squash);
    };
    Box box{centre.x - radii.x, centre.y - radii.y, centre.x + radii.x, centre.y + radii.y};
    // Shadow on the water, then a darker rim, then the leaf.
    r.ellipse({centre.x + 0.05f * radii.x, centre.y + 0.12f * radii.y}, radii, 0.0f, rgb(5, 30, 35, 0.3f));
    r.fillShape(box, padDistance, rimColour);
    r.fillShape(box, [=](Vec p) { return padDistance(p) + std::max(1.0f, 0.03f * radii.y); }, [=](Vec p) {
        Vec q{(p.x - centre.x) / radii.x, (p.y - centre.y) / radii.y};
        float d = std::sqrt(q.x * q.x + q.y * q.y);
        float a = std::atan2(q.y, q.x);
        // Veins from the middle, a lighter face towards the light, a few sun spots.
        float vein = std::pow(std::abs(std::cos(a * 9.0f + static_cast<float>(seed % 7u))), 24.0f) * smooth(0.1f, 0.5f, d);
        float light = 1.0f + 0.22f * (0.5f * q.x - 0.8f * q.y) * 0.5f - 0.12f * d * d;
        float mottling = 0.9f + 0.2f * valueNoise(q.x * 4.0f, q.y * 4.0f, seed);
        Colour c = scaled(base, light * mottling);
        c = mix(c, scaled(base, 1.35f), 0.45f * vein);
        return mix(c, scaled(base, 0.8f), smooth(0.82f, 1.0f, d));
    });
    // A glossy streak of sky.
    r.ellipse({centre.x + 0.25f * radii.x, centre.y - 0.35f * radii.y}, {0.28f * radii.x, 0.08f * radii.y}, -0.15f,
              rgb(255, 250, 235, 0.18f));
}

void waterLily(Raster& r, Vec c, float s, float squash, std::uint32_t seed)
{
    Dice dice(seed);
    float turn = dice.next();
    r.ellipse({c.x, c.y + 0.12f * s * squash}, {0.55f * s, 0.5f * s * squash}, 0.0f, rgb(5, 30, 35, 0.25f));

    struct Petal {
        float angle, length, width, lift;
        Colour tip, root;
    };
    std::vector<Petal> petals;
    for (int k = 0; k < 9; ++k) {
        float a = (static_cast<float>(k) + turn) * 2.0f * pi / 9.0f;
        petals.push_back({a, 0.5f * s, 0.11f * s, 0.0f, rgb(236, 118, 160), rgb(255, 238, 244)});
    }
    for (int k = 0; k < 7; ++k) {
        float a = (static_cast<float>(k) + turn + 0.5f) * 2.0f * pi / 7.0f;
        petals.push_back({a, 0.34f * s, 0.09f * s, 0.1f * s, rgb(246, 150, 186), rgb(255, 248, 250)});
    }
    // Within each ring the back petals first, so the front ones cover them; the
    // inner ring stands on the outer one.
    auto order = [](const Petal& a, const Petal& b) { return std::sin(a.angle) < std::sin(b.angle); };
    std::stable_sort(petals.begin(), petals.begin() + 9, order);
    std::stable_sort(petals.begin() + 9, petals.end(), order);
    for (const Petal& petal : petals) {
        float ca = std::cos(petal.angle), sa = std::sin(petal.angle);
        Vec dir{ca, sa * squash};
        float along = length(dir);
        // Inner petals stand up: they reach upwards as much as outwards.
        Vec tipPoint{c.x + dir.x * petal.length, c.y + dir.y * petal.length - petal.lift * 1.6f};
        Vec mid{(c.x + tipPoint.x) * 0.5f, (c.y - petal.lift * 0.3f + tipPoint.y) * 0.5f};
        Vec span = tipPoint - Vec{c.x, c.y - petal.lift * 0.3f};
        float angle = std::atan2(span.y, span.x);
        float half = 0.5f * length(span) + 0.02f * s;
        float wide = petal.width * std::sqrt(sa * sa + ca * ca * squash * squash) * (0.6f + 0.4f * along);
        wide = std::max(wide, 0.35f * petal.width);
        Colour tip = petal.tip, root = petal.root;
        r.ellipse(mid, {half + 1.0f, wide + 1.0f}, angle, scaled(tip, 0.55f));
        r.ellipse(mid, {half, wide}, angle, [=](Vec p) {
            float t = clamp01(dot(p - mid, span) / (dot(span, span) + 1e-6f) + 0.5f);
            return mix(root, tip, smooth(0.35f, 1.0f, t));
        });
    }
    r.circle({c.x, c.y - 0.08f * s}, 0.11f * s, rgb(238, 186, 40));
    for (int k = 0; k < 10; ++k) {
        float a = static_cast<float>(k) * 2.0f * pi / 10.0f;
        r.circle({c.x + std::cos(a) * 0.08f * s, c.y - 0.08f * s + std::sin(a) * 0.05f * s}, 0.022f * s,
                 rgb(250, 214, 70));
    }
    r.circle({c.x, c.y - 0.09f * s}, 0.05f * s, rgb(200, 140, 30));
}

void outline(Raster& r, Colour colour, float width)
{
    int w = r.width(), h = r.height();
    std::vector<float> alpha(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            alpha[static_cast<std::size_t>(y * w + x)] = r.at(x, y).a;
        }
    }
    int reach = static_cast<int>(std::ceil(width)) + 1;
    Raster rim(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float best = 0.0f;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) {
                        continue;
                    }
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    float reachCover = clamp01(width + 0.5f - d);
                    best = std::max(best, alpha[static_cast<std::size_t>(sy * w + sx)] * reachCover);
                }
            }
            rim.blend(x, y, colour, best);
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Colour c = r.at(x, y);
            rim.blend(x, y, {c.r, c.g, c.b, 1.0f}, c.a);
        }
    }
    r = rim;
}

} // namespace tolva::paint
