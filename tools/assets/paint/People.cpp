// The two characters of the show's small story: the dreamer, who wakes in a
// strange land still in nightcap and pyjamas, candle in hand; and the frog met on
// the way, a traveller under a lily-pad parasol who waves hello (and who, at the
// end, invites the dreamer to swim). Both stand on transparent ground with a dark
// rim, so they read on the brown floors and bright shapes they are drawn over.
//
// Sizes: the show draws both at scale 1.5, the dreamer at (550, 799) and the
// traveller at (1630, 235); 120 x 180 and 180 x 300 keep them inside 1920 x 1080.

#include "Figures.h"
#include "Pictures.h"

namespace tolva::paint {

namespace {

constexpr float pi = 3.14159265f;

Colour shade(Colour c, Vec p, Vec centre, float radius, float strength = 0.3f)
{
    // Light from the upper left for the characters (they stand apart from the pond).
    float u = (p.x - centre.x) / radius, v = (p.y - centre.y) / radius;
    return scaled(c, 1.0f + strength * (-0.5f * u - 0.6f * v) * 0.6f);
}

// Pyjama cloth: soft blue with pale stripes running down.
Colour pyjama(Vec p)
{
    float stripe = smooth(0.35f, 0.5f, std::abs(std::fmod(p.x + 0.25f * p.y, 9.0f) / 9.0f - 0.5f));
    return mix(rgb(78, 110, 196), rgb(176, 200, 244), 0.75f * (1.0f - stripe));
}

// --- The dreamer ------------------------------------------------------------------------

struct DreamerColours {
    Colour skin = rgb(246, 206, 172), skinDark = rgb(214, 160, 128);
    Colour hair = rgb(120, 72, 40);
    Colour ink = rgb(40, 28, 40);
};

// Legs and bare feet.
void dreamerLegs(Raster& r, const DreamerColours& c)
{
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        r.stroke({58.0f + sx * 9.0f, 118.0f}, {58.0f + sx * 12.0f, 160.0f}, 9.5f, 8.5f, [](Vec p) {
            return scaled(pyjama(p), 0.92f);
        });
        r.ellipse({58.0f + sx * 15.0f, 169.0f}, {10.0f, 5.0f}, 0.0f, c.skin);
        r.ellipse({58.0f + sx * 13.0f, 166.0f}, {8.0f, 3.0f}, 0.0f, c.skinDark);
        r.ellipse({58.0f + sx * 15.0f, 168.0f}, {9.0f, 4.0f}, 0.0f, c.skin);
    }
}

// Left arm hangs down, scratching at the hem in wonder.
void dreamerHangingArm(Raster& r, const DreamerColours& c)
{
    r.curve({40.0f, 82.0f}, {28.0f, 100.0f}, {34.0f, 120.0f}, 7.0f, 6.0f, [](Vec p) { return pyjama(p); });
    r.circle({35.0f, 123.0f}, 6.5f, [&](Vec p) { return shade(c.skin, p, {35.0f, 123.0f}, 6.5f); });
}

// The pyjama top, buttoned, with a collar.
void pyjamaTop(Raster& r)
{
    Vec torso{58.0f, 100.0f};
    r.ellipse(torso, {23.0f, 30.0f}, 0.0f, [&](Vec p) { return shade(pyjama(p), p, torso, 30.0f); });
    r.fillShape({34.0f, 110.0f, 82.0f, 132.0f},
                [](Vec p) { return std::max(ellipseDistance(p, {58.0f, 118.0f}, {22.0f, 14.0f}, 0.0f), 112.0f - p.y); },
                [](Vec p) { return pyjama(p); });
    for (int k = 0; k < 3; ++k) {
        r.circle({60.0f, 88.0f + 12.0f * static_cast<float>(k)}, 2.0f, rgb(250, 244, 220));
    }
    r.ellipse({50.0f, 75.0f}, {9.0f, 5.0f}, 0.5f, rgb(210, 224, 250));
    r.ellipse({66.0f, 75.0f}, {9.0f, 5.0f}, -0.5f, rgb(210, 224, 250));
}

// Right arm raised, a candle in a brass holder.
void dreamerCandleArm(Raster& r, const DreamerColours& c)
{
    r.curve({76.0f, 80.0f}, {96.0f, 86.0f}, {94.0f, 64.0f}, 7.0f, 6.0f, [](Vec p) { return pyjama(p); });
    r.circle({94.0f, 62.0f}, 6.5f, [&](Vec p) { return shade(c.skin, p, {94.0f, 62.0f}, 6.5f); });
    r.ellipse({96.0f, 55.0f}, {12.0f, 3.5f}, 0.0f, rgb(214, 170, 70));
    r.stroke({96.0f, 52.0f}, {96.0f, 36.0f}, 3.5f, 3.5f, rgb(250, 246, 232));
    r.stroke({96.0f, 36.0f}, {96.0f, 32.0f}, 0.8f, 0.8f, c.ink);
    for (int k = 0; k < 6; ++k) {
        float glow = 1.0f - static_cast<float>(k) / 6.0f;
        r.circle({96.0f, 26.0f}, 4.0f + 3.0f * static_cast<float>(k), rgb(255, 220, 120, 0.07f * glow));
    }
    r.ellipse({96.0f, 26.0f}, {3.5f, 6.5f}, 0.0f, rgb(255, 176, 60));
    r.ellipse({96.0f, 27.5f}, {2.0f, 4.0f}, 0.0f, rgb(255, 244, 190));
}

// Head: a round face, raised brows, wide-open eyes looking up at the strange sky, a small "o" of
// a mouth.
void dreamerHead(Raster& r, const DreamerColours& c)
{
    Vec head{58.0f, 54.0f};
    r.circle({head.x - 19.0f, head.y + 2.0f}, 4.0f, c.skinDark);
    r.circle({head.x + 19.0f, head.y + 2.0f}, 4.0f, c.skinDark);
    r.circle(head, 19.0f, [&](Vec p) { return shade(c.skin, p, head, 19.0f); });
    r.ellipse({head.x - 12.0f, head.y - 12.0f}, {9.0f, 6.0f}, 0.4f, c.hair);
    r.ellipse({head.x + 13.0f, head.y - 11.0f}, {8.0f, 5.0f}, -0.5f, c.hair);
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        Vec eye{head.x + sx * 7.5f, head.y + 1.0f};
        r.ellipse(eye, {4.6f, 5.6f}, 0.0f, rgb(255, 255, 255));
        r.circle({eye.x + 1.2f, eye.y - 1.6f}, 2.8f, rgb(70, 50, 40));
        r.circle({eye.x + 1.2f, eye.y - 1.6f}, 1.5f, c.ink);
        r.circle({eye.x + 2.2f, eye.y - 2.8f}, 0.9f, rgb(255, 255, 255));
        r.curve({eye.x - 5.0f, eye.y - 9.0f}, {eye.x, eye.y - 13.0f}, {eye.x + 5.0f, eye.y - 9.5f}, 1.1f, 0.8f, c.hair, 8);
        r.circle({eye.x + sx * 3.0f, eye.y + 8.0f}, 3.5f, rgb(240, 130, 130, 0.35f));
    }
    r.ellipse({head.x + 1.0f, head.y + 12.0f}, {2.6f, 3.2f}, 0.0f, rgb(150, 60, 60));
    r.ellipse({head.x + 1.0f, head.y + 12.6f}, {1.5f, 1.8f}, 0.0f, rgb(90, 30, 40));
}

// The nightcap: a long stocking cap flopping to the left, striped, with a pompom.
void nightcap(Raster& r)
{
    const Vec capStart{59.0f, 27.0f}, capControl{58.0f, -2.0f}, capEnd{17.0f, 12.0f};
    auto capCloth = [](Vec p) {
        float band = std::fmod(p.x * 0.55f + p.y * 0.85f + 200.0f, 12.0f);
        return band < 6.0f ? rgb(212, 58, 74) : rgb(248, 232, 226);
    };
    r.curve(capStart, capControl, capEnd, 15.0f, 3.0f, capCloth, 20);
    r.ellipse({58.0f, 37.0f}, {21.5f, 6.0f}, 0.0f, [](Vec p) { return shade(rgb(250, 246, 236), p, {58.0f, 37.0f}, 21.0f); });
    r.circle(capEnd, 7.5f, [&](Vec p) { return shade(rgb(252, 250, 244), p, capEnd, 7.5f); });
}

// --- The traveller ----------------------------------------------------------------------

struct TravellerLook {
    FrogSkin skin = frogSkin(1);
    Colour rim = scaled(skin.body, 0.32f);
    Colour dark = scaled(skin.body, 0.7f);

    // The body's green, lit as a round part at c.
    auto body(Vec c, float radius) const
    {
        const FrogSkin s = skin;
        return [=](Vec p) { return shade(s.body, p, c, radius); };
    }
};

// The lily-pad parasol over the right shoulder, behind everything.
void parasol(Raster& r)
{
    Vec canopy{112.0f, 52.0f};
    r.stroke({120.0f, 192.0f}, {112.0f, 54.0f}, 2.6f, 2.2f, rgb(120, 84, 46));
    r.fillShape({40.0f, 10.0f, 180.0f, 90.0f},
                [=](Vec p) {
                    float e = ellipseDistance(p, canopy, {64.0f, 40.0f}, -0.12f);
                    return std::max(e, p.y - canopy.y - 8.0f + 0.12f * (p.x - canopy.x));
                },
                [=](Vec p) {
                    float a = std::atan2(p.y - canopy.y - 10.0f, p.x - canopy.x);
                    float rib = std::pow(std::abs(std::cos(a * 7.0f)), 18.0f);
                    Colour leaf = shade(rgb(70, 146, 66), p, canopy, 60.0f, 0.5f);
                    return mix(leaf, rgb(150, 206, 110), 0.5f * rib);
                });
    r.ellipse({canopy.x + 2.0f, canopy.y + 8.0f}, {58.0f, 5.0f}, -0.12f, rgb(40, 96, 50));
    r.circle({112.0f, 16.0f}, 3.0f, rgb(120, 84, 46));
}

// Long hind legs, standing, webbed feet.
void hindLegs(Raster& r, const TravellerLook& look)
{
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        Vec hip{80.0f + sx * 22.0f, 222.0f};
        Vec knee{80.0f + sx * 36.0f, 252.0f};
        Vec ankle{80.0f + sx * 24.0f, 284.0f};
        r.ellipse({hip.x + sx * 6.0f, hip.y + 12.0f}, {20.0f, 28.0f}, sx * 0.5f, look.body(hip, 28.0f));
        r.stroke(knee, ankle, 8.0f, 6.0f, look.dark);
        Vec foot{ankle.x + sx * 8.0f, 290.0f};
        r.ellipse(foot, {17.0f, 6.0f}, 0.0f, look.dark);
        for (int t = 0; t < 3; ++t) {
            float ft = static_cast<float>(t) - 1.0f;
            r.circle({foot.x + ft * 10.0f + sx * 4.0f, 293.0f}, 4.0f, scaled(look.skin.body, 0.85f));
        }
    }
}

// Body, pale belly, and a purple waistcoat open over it.
void waistcoatBody(Raster& r, const TravellerLook& look)
{
    Vec torso{80.0f, 185.0f};
    r.ellipse(torso, {44.0f, 56.0f}, 0.0f, look.body(torso, 56.0f));
    r.ellipse({80.0f, 196.0f}, {28.0f, 40.0f}, 0.0f, [&](Vec p) { return shade(look.skin.belly, p, torso, 50.0f); });
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        r.fillShape({30.0f, 130.0f, 130.0f, 235.0f},
                    [=](Vec p) {
                        float e = ellipseDistance(p, torso, {45.0f, 57.0f}, 0.0f);
                        float open = sx * (80.0f - p.x) + 14.0f - 0.18f * (p.y - 140.0f);
                        return std::max(std::max(e, open), p.y - 218.0f);
                    },
                    [=](Vec p) { return shade(rgb(120, 62, 150), p, torso, 56.0f, 0.5f); });
    }
    r.circle({67.0f, 180.0f}, 3.0f, rgb(240, 200, 80));
    r.circle({69.0f, 200.0f}, 3.0f, rgb(240, 200, 80));
}

// Right arm holds the parasol; left arm waves.
void travellerArms(Raster& r, const TravellerLook& look)
{
    r.curve({112.0f, 160.0f}, {132.0f, 176.0f}, {120.0f, 190.0f}, 7.0f, 6.0f, look.body({120.0f, 175.0f}, 20.0f));
    r.circle({120.0f, 190.0f}, 8.0f, look.body({120.0f, 190.0f}, 8.0f));
    r.curve({48.0f, 160.0f}, {20.0f, 150.0f}, {22.0f, 112.0f}, 7.0f, 6.0f, look.body({30.0f, 140.0f}, 30.0f));
    Vec palm{22.0f, 106.0f};
    r.circle(palm, 8.0f, look.body(palm, 8.0f));
    for (int t = 0; t < 4; ++t) {
        float a = -pi * 0.5f + (static_cast<float>(t) - 1.5f) * 0.45f;
        Vec tip{palm.x + std::cos(a) * 13.0f, palm.y + std::sin(a) * 13.0f};
        r.stroke(palm, tip, 2.6f, 2.2f, look.skin.body);
        r.circle(tip, 3.4f, scaled(look.skin.body, 1.08f));
    }
    // Motion marks of the wave.
    r.curve({8.0f, 96.0f}, {4.0f, 106.0f}, {8.0f, 116.0f}, 1.2f, 1.2f, rgb(255, 255, 255, 0.85f), 8);
    r.curve({3.0f, 90.0f}, {-2.0f, 104.0f}, {3.0f, 118.0f}, 1.0f, 1.0f, rgb(255, 255, 255, 0.6f), 8);
}

// A scarf, tied, with a loose end.
void scarf(Raster& r)
{
    r.ellipse({80.0f, 134.0f}, {40.0f, 10.0f}, 0.0f, [](Vec p) { return shade(rgb(236, 124, 50), p, {80.0f, 134.0f}, 40.0f); });
    r.stroke({96.0f, 138.0f}, {104.0f, 166.0f}, 6.0f, 5.0f, rgb(214, 104, 40));
    r.stroke({104.0f, 166.0f}, {104.0f, 170.0f}, 5.5f, 5.5f, rgb(250, 210, 90));
}

// Head: wide, with the eyes on top, a broad smile, rosy cheeks.
void travellerHead(Raster& r, const TravellerLook& look)
{
    Vec head{80.0f, 108.0f};
    r.ellipse(head, {50.0f, 32.0f}, 0.0f, look.body(head, 50.0f));
    r.ellipse({80.0f, 118.0f}, {38.0f, 14.0f}, 0.0f, rgb(236, 228, 160, 0.6f));
    r.curve({48.0f, 112.0f}, {80.0f, 138.0f}, {112.0f, 112.0f}, 1.8f, 1.8f, look.rim, 16);
    r.circle({74.0f, 100.0f}, 1.6f, look.rim);
    r.circle({86.0f, 100.0f}, 1.6f, look.rim);
    r.circle({46.0f, 116.0f}, 7.0f, rgb(240, 120, 120, 0.3f));
    r.circle({114.0f, 116.0f}, 7.0f, rgb(240, 120, 120, 0.3f));
    for (int side = -1; side <= 1; side += 2) {
        float sx = static_cast<float>(side);
        Vec eye{80.0f + sx * 26.0f, 80.0f};
        r.circle(eye, 17.0f, look.body(eye, 17.0f));
        const Colour iris = look.skin.eye;
        r.circle({eye.x, eye.y - 1.0f}, 12.0f, [=](Vec p) {
            return mix(iris, scaled(iris, 0.7f), clamp01((p.y - eye.y + 12.0f) / 24.0f));
        });
        r.ellipse({eye.x - 2.0f, eye.y}, {8.5f, 4.5f}, 0.0f, rgb(12, 12, 16));
        r.circle({eye.x + 3.0f, eye.y - 5.0f}, 2.6f, rgb(255, 255, 255));
    }
}

// A little straw hat between the eyes, tipped at a jaunty angle.
void strawHat(Raster& r)
{
    r.ellipse({82.0f, 76.0f}, {22.0f, 5.0f}, -0.1f, rgb(226, 190, 100));
    r.ellipse({82.0f, 68.0f}, {13.0f, 9.0f}, -0.1f, [](Vec p) { return shade(rgb(236, 200, 110), p, {82.0f, 68.0f}, 13.0f); });
    r.ellipse({82.0f, 72.0f}, {13.5f, 3.0f}, -0.1f, rgb(60, 110, 170));
}

} // namespace

sf::Image paintDreamer()
{
    Raster r(120, 180);
    const DreamerColours colours;
    dreamerLegs(r, colours);
    dreamerHangingArm(r, colours);
    pyjamaTop(r);
    dreamerCandleArm(r, colours);
    dreamerHead(r, colours);
    nightcap(r);
    outline(r, rgb(26, 16, 30), 1.6f);
    return r.toImage();
}

sf::Image paintTraveller()
{
    Raster r(180, 300);
    const TravellerLook look;
    parasol(r);
    hindLegs(r, look);
    waistcoatBody(r, look);
    travellerArms(r, look);
    scarf(r);
    travellerHead(r, look);
    strawHat(r);
    outline(r, rgb(18, 30, 20), 1.8f);
    return r.toImage();
}

} // namespace tolva::paint
