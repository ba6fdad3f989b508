#pragma once

// Figures that more than one picture draws: the pool's frogs, lily pads and
// water lilies, and the dark rim that keeps a sprite readable on any ground.

#include "Raster.h"

namespace tolva::paint {

struct FrogSkin {
    Colour body;
    Colour belly;
    Colour spots;
    Colour eye;
};

FrogSkin frogSkin(int kind);

// A frog sitting face-on; base is the middle of the line it sits on, size its
// width. lookX (-1..1) turns the pupils.
void sittingFrog(Raster& r, Vec base, float size, const FrogSkin& skin, std::uint32_t seed,
                 float lookX = 0.0f);

// Only the head and eyes above the water line, with rings around it.
void swimmingFrog(Raster& r, Vec centre, float size, const FrogSkin& skin, Colour water);

// A pad seen at a slant: radii in window pixels (ry < rx), notch towards notchAngle.
void lilyPad(Raster& r, Vec centre, Vec radii, float notchAngle, std::uint32_t seed);

// An open water lily, its petals squashed by the same slant.
void waterLily(Raster& r, Vec centre, float size, float squash, std::uint32_t seed);

// Puts a dark rim of the given width under everything painted so far.
void outline(Raster& r, Colour colour, float width);

} // namespace tolva::paint
