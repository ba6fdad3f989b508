#include "scenes/VortexFormulas.h"

#include "scenes/Formula.h"

#include <cmath>

namespace tolva::vortex {

float nextVortexTime(float vortexTime, float midFrameDelta)
{
    return narrow(wide(midFrameDelta) + 0.035 + wide(vortexTime));
}

float nextGridTime(float gridTime, float midFrameDelta)
{
    return narrow(wide(midFrameDelta) + 0.5 + wide(gridTime));
}

// ---------------------------------------------------------------------------------------------
// The definition, term by term. std::sqrt, std::atan2, std::sin, ... on floats are the
// single-precision functions and on doubles the double ones, so each call's argument type says
// which one runs.

namespace {

sf::Color vortexFill(float i, float j)
{
    const float red = std::sqrt(i + j) / j + i * 50;
    const float green = std::ceil(i) + 55 + std::atan2(j, i) * 10;
    const double blue = std::floor(wide(i) * 3.5) * (wide(std::sqrt(j)) * 0.5) + 25;
    return sf::Color(wrapChannel(red), wrapChannel(green), wrapChannel(blue), 255);
}

sf::Color fieldFill(float i, float j)
{
    const auto blue = static_cast<std::uint8_t>(
        low8(20 * truncate32(wide(i))) ^ low8(11 * low8(truncate32(wide(std::cos(j))))));
    return sf::Color(wrapChannel(j), wrapChannel(i), blue, 255);
}

// The parts of the field's R and W that do not move with the clock.
float fieldR(float i, float j)
{
    const float p = j * (i / 50) + i * (i + i) + fieldHalfPi;
    const float r0 = std::cos(j * 540 * ((i + i) * fieldHalfPi + p)) * std::sin(i * 960 * p);
    return r0 / i - i;
}

float fieldK(float s, float i) { return narrow(wide(s / i) * 0.1); }
float fieldS(float i) { return narrow(wide(i) * 0.5 + 1); }

} // namespace

HeptagonCell vortexCell(float i, float j, float vortexTime)
{
    const float s = vortexTime / 175;
    const float w = 1 - s;
    const float p0 = narrow(wide(i) * 0.1115 + 0.3);
    const float p1 = std::sqrt(j) + 10;
    const float p2 = narrow(wide(p0) * 1.5);
    const float p3 = std::sqrt(i) - 10;

    const float a1 = p1 * s + p0 * w;
    const float b1 = p2 * s + p1 * w;
    const float c1 = p3 * s + p2 * w;
    const float d = b1 * s + a1 * w;
    const float e = c1 * s + b1 * w;

    const float l = narrow(wide(d) * 3.25);
    const float m = narrow(wide(e) * 3.75 - powMinusOne(wide(l)));
    const float n = narrow(wide(m) * (wide(302 / l) * 0.01));
    const float o = narrow(wide(302 / n) * 0.1 * wide(l));
    const float gg = narrow((wide(o) * 0.5 - wide(n)) * 0.025);
    const double k = std::atan2(wide(o), wide(n) * 0.5);
    const float turn = narrow(k * 75.5 * wide(gg)) * 3;
    const float amp = narrow(wide(turn) / (wide(e) * 0.1) + wide(vortexTime / 25));

    const float r15 = std::sqrt(j * 15);
    const double root = std::sqrt(wide(i) + wide(i));
    const double spin = wide(vortexTime / 10);
    const float x = narrow(wide(i * 3 + 750)
                           - std::sin(root - wide(r15) + spin + wide(j) - wide(i)) * wide(amp));
    const float y = narrow(std::cos(wide(r15) - root - spin + wide(i) - wide(j)) * wide(amp)
                           + wide(550 - std::cos(j / i)));

    return {vortexFill(i, j), {x, y}, narrow(spin + 15)};
}

HeptagonCell fieldCell(float i, float j, float gridTime, bool tail)
{
    const float q = gridTime / 44;
    const float z = q - 95;

    const float r = fieldR(i, j);
    const float s = fieldS(i);
    const float k = fieldK(s, i);
    const float w = (std::tan(j / 100) + std::sin(r)) * k
                        * (std::sin(j / 20 + j / 100) * 20 + std::cos(s) * 20)
                    - i * std::cos(j + q);
    const float zz = i
                         * (std::cos(i / 100 * fieldQuarterPi) * ((i + i) * j)
                            * (std::sin(i) * (i * q / j / 100 + std::sin(j))) / r)
                         / 50
                     + (i + i);
    const float tailTerm = tail ? z * 20 * std::sin(q) + 10 + q : 0.0f;

    const float x = narrow((wide(z) + wide(tailTerm)) * wide(zz / 70)) + 690;
    const float y = narrow((wide(z) + wide(tailTerm)) * wide(w / 70)) + 550;
    return {fieldFill(i, j), {x, y}, 0.0f};
}

// ---------------------------------------------------------------------------------------------
// The same, with every term computed only as often as its inputs change. Each hoisted term is
// the very operation of the definition on the very operands, so it rounds the same.

VortexTerms::VortexTerms()
    : rows_(vortexSide + 1), columns_(vortexSide + 1),
      cells_((vortexSide + 1) * (vortexSide + 1)), rowsNow_(vortexSide + 1),
      columnsNow_(vortexSide + 1)
{
    for (int a = 1; a <= vortexSide; ++a) {
        const float i = asFloat(a);
        Row& row = rows_[static_cast<std::size_t>(a)];
        row.i = i;
        row.p0 = narrow(wide(i) * 0.1115 + 0.3);
        row.p2 = narrow(wide(row.p0) * 1.5);
        row.p3 = std::sqrt(i) - 10;
        row.wideI = wide(i);
        row.xBase = wide(i * 3 + 750);

        Column& column = columns_[static_cast<std::size_t>(a)];
        const float j = i;
        column.p1 = std::sqrt(j) + 10;
        column.wideJ = wide(j);
    }
    for (int a = 1; a <= vortexSide; ++a) {
        for (int b = 1; b <= vortexSide; ++b) {
            const float i = asFloat(a);
            const float j = asFloat(b);
            const float r15 = std::sqrt(j * 15);
            const double root = std::sqrt(wide(i) + wide(i));
            Cell& cell = cells_[static_cast<std::size_t>(a * (vortexSide + 1) + b)];
            cell.fill = vortexFill(i, j);
            cell.sineBase = root - wide(r15);
            cell.cosineBase = wide(r15) - root;
            cell.yBase = wide(550 - std::cos(j / i));
        }
    }
    beginFrame(0.0f);
}

void VortexTerms::beginFrame(float vortexTime)
{
    vortexTime_ = vortexTime;
    s_ = vortexTime / 175;
    w_ = 1 - s_;
    spin_ = wide(vortexTime / 10);
    drift_ = wide(vortexTime / 25);
    rotation_ = narrow(spin_ + 15);
    for (std::size_t a = 1; a <= vortexSide; ++a) {
        const Row& row = rows_[a];
        const float c1 = row.p3 * s_ + row.p2 * w_;
        rowsNow_[a] = {row.p0 * w_, row.p2 * s_, c1 * s_};
        columnsNow_[a] = {columns_[a].p1 * s_, columns_[a].p1 * w_};
    }
}

HeptagonCell VortexTerms::cell(int i, int j) const
{
    const auto a = static_cast<std::size_t>(i);
    const auto b = static_cast<std::size_t>(j);
    const Row& row = rows_[a];
    const RowNow& rowNow = rowsNow_[a];
    const ColumnNow& columnNow = columnsNow_[b];
    const Cell& cell = cells_[a * (vortexSide + 1) + b];

    const float a1 = columnNow.p1s + rowNow.p0w;
    const float b1 = rowNow.p2s + columnNow.p1w;
    const float d = b1 * s_ + a1 * w_;
    const float e = rowNow.c1s + b1 * w_;

    const float l = narrow(wide(d) * 3.25);
    const float m = narrow(wide(e) * 3.75 - powMinusOne(wide(l)));
    const float n = narrow(wide(m) * (wide(302 / l) * 0.01));
    const float o = narrow(wide(302 / n) * 0.1 * wide(l));
    const float gg = narrow((wide(o) * 0.5 - wide(n)) * 0.025);
    const double k = std::atan2(wide(o), wide(n) * 0.5);
    const float turn = narrow(k * 75.5 * wide(gg)) * 3;
    const float amp = narrow(wide(turn) / (wide(e) * 0.1) + drift_);

    const double wideJ = columns_[b].wideJ;
    const float x = narrow(row.xBase
                           - std::sin(cell.sineBase + spin_ + wideJ - row.wideI) * wide(amp));
    const float y = narrow(std::cos(cell.cosineBase - spin_ + row.wideI - wideJ) * wide(amp)
                           + cell.yBase);
    return {cell.fill, {x, y}, rotation_};
}

FieldTerms::FieldTerms()
    : rows_(fieldSide + 1), columns_(fieldSide + 1), cells_((fieldSide + 1) * (fieldSide + 1)),
      rowsNow_(fieldSide + 1), columnsNow_(fieldSide + 1)
{
    for (int a = 1; a <= fieldSide; ++a) {
        const float v = asFloat(a);
        rows_[static_cast<std::size_t>(a)] = {v, v + v, std::sin(v)};
        columns_[static_cast<std::size_t>(a)] = {v, std::sin(v)};
    }
    for (int a = 1; a <= fieldSide; ++a) {
        for (int b = 1; b <= fieldSide; ++b) {
            const float i = asFloat(a);
            const float j = asFloat(b);
            const float r = fieldR(i, j);
            const float s = fieldS(i);
            const float k = fieldK(s, i);
            Cell& cell = cells_[static_cast<std::size_t>(a * (fieldSide + 1) + b)];
            cell.fill = fieldFill(i, j);
            cell.r = r;
            cell.wStill = (std::tan(j / 100) + std::sin(r)) * k
                          * (std::sin(j / 20 + j / 100) * 20 + std::cos(s) * 20);
            cell.zStill = std::cos(i / 100 * fieldQuarterPi) * ((i + i) * j);
        }
    }
    beginFrame(0.0f, false);
}

void FieldTerms::beginFrame(float gridTime, bool tail)
{
    const float q = gridTime / 44;
    const float z = q - 95;
    const float tailTerm = tail ? z * 20 * std::sin(q) + 10 + q : 0.0f;
    spread_ = wide(z) + wide(tailTerm);
    for (std::size_t a = 1; a <= fieldSide; ++a) {
        rowsNow_[a] = rows_[a].i * q;
        columnsNow_[a] = std::cos(columns_[a].j + q);
    }
}

HeptagonCell FieldTerms::cell(int i, int j) const
{
    const auto a = static_cast<std::size_t>(i);
    const auto b = static_cast<std::size_t>(j);
    const Row& row = rows_[a];
    const Column& column = columns_[b];
    const Cell& cell = cells_[a * (fieldSide + 1) + b];

    const float w = cell.wStill - row.i * columnsNow_[b];
    const float zz =
        row.i * (cell.zStill * (row.sinI * (rowsNow_[a] / column.j / 100 + column.sinJ)) / cell.r)
            / 50
        + row.twoI;
    const float x = narrow(spread_ * wide(zz / 70)) + 690;
    const float y = narrow(spread_ * wide(w / 70)) + 550;
    return {cell.fill, {x, y}, 0.0f};
}

} // namespace tolva::vortex
