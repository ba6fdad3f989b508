#include "FontExport.h"

#include <cstring>

namespace tolva::glyphs {
namespace {

const char magic[8] = {'T', 'O', 'L', 'V', 'A', 'G', 'L', 'Y'};
constexpr std::uint32_t formatVersion = 1;
// Far above anything a font of the show holds; a count past these is a damaged file.
constexpr std::uint32_t maxCount = 1u << 20;

class Writer {
public:
    void bytes(const void* data, std::size_t count) { out_.append(static_cast<const char*>(data), count); }
    void u32(std::uint32_t value)
    {
        unsigned char b[4];
        for (int k = 0; k < 4; ++k) {
            b[k] = static_cast<unsigned char>((value >> (8 * k)) & 0xffu);
        }
        bytes(b, 4);
    }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void f32(float value) { u32(floatBits(value)); }
    void u8(bool value) { out_ += static_cast<char>(value ? 1 : 0); }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

// Reads without throwing (the browser build catches no exceptions): the first problem is kept,
// and from then on every read gives zero, so every loop ends.
class Reader {
public:
    Reader(const char* data, std::size_t count) : data_(data), count_(count) {}

    void bytes(void* out, std::size_t count)
    {
        if (!problem_.empty() || count > count_ - at_) {
            fail("cut short at byte " + std::to_string(at_));
            std::memset(out, 0, count);
            return;
        }
        std::memcpy(out, data_ + at_, count);
        at_ += count;
    }
    std::uint32_t u32()
    {
        unsigned char b[4];
        bytes(b, 4);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8)
               | (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::uint32_t count()
    {
        const std::uint32_t n = u32();
        if (n > maxCount) {
            fail("a count of " + std::to_string(n));
            return 0;
        }
        return n;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32()
    {
        const std::uint32_t bits = u32();
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    bool u8()
    {
        unsigned char b = 0;
        bytes(&b, 1);
        if (b > 1) {
            fail("a flag of " + std::to_string(b));
        }
        return b == 1;
    }
    bool atEnd() const { return at_ == count_; }
    void fail(const std::string& problem)
    {
        if (problem_.empty()) {
            problem_ = problem;
        }
    }
    const std::string& problem() const { return problem_; }

private:
    const char* data_;
    std::size_t count_;
    std::size_t at_ = 0;
    std::string problem_;
};

void writeSet(Writer& out, const GlyphSet& set)
{
    out.u8(set.bold);
    out.f32(set.outline);
    out.u32(static_cast<std::uint32_t>(set.glyphs.size()));
    for (const auto& [code, glyph] : set.glyphs) {
        out.u32(code);
        out.f32(glyph.advance);
        for (float b : glyph.bounds) {
            out.f32(b);
        }
        for (std::int32_t r : glyph.textureRect) {
            out.i32(r);
        }
    }
}

GlyphSet readSet(Reader& in)
{
    GlyphSet set;
    set.bold = in.u8();
    set.outline = in.f32();
    const std::uint32_t glyphCount = in.count();
    for (std::uint32_t k = 0; k < glyphCount && in.problem().empty(); ++k) {
        const std::uint32_t code = in.u32();
        GlyphMetrics& glyph = set.glyphs[code];
        glyph.advance = in.f32();
        for (float& b : glyph.bounds) {
            b = in.f32();
        }
        for (std::int32_t& r : glyph.textureRect) {
            r = in.i32();
        }
    }
    return set;
}

SizeExport readSize(Reader& in)
{
    SizeExport size;
    size.characterSize = in.u32();
    size.lineSpacing = in.f32();
    size.underlinePosition = in.f32();
    size.underlineThickness = in.f32();
    size.pageWidth = in.u32();
    size.pageHeight = in.u32();
    const std::uint32_t setCount = in.count();
    for (std::uint32_t k = 0; k < setCount && in.problem().empty(); ++k) {
        size.sets.push_back(readSet(in));
    }
    const std::uint32_t pairCount = in.count();
    for (std::uint32_t k = 0; k < pairCount && in.problem().empty(); ++k) {
        const std::uint32_t first = in.u32();
        const std::uint32_t second = in.u32();
        size.kerning[pairKey(first, second)] = in.f32();
    }
    return size;
}

} // namespace

std::uint32_t floatBits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string writeFontExport(const FontExport& font)
{
    Writer out;
    out.bytes(magic, sizeof magic);
    out.u32(formatVersion);
    out.u32(static_cast<std::uint32_t>(font.family.size()));
    out.bytes(font.family.data(), font.family.size());
    out.u32(static_cast<std::uint32_t>(font.sizes.size()));
    for (const SizeExport& size : font.sizes) {
        out.u32(size.characterSize);
        out.f32(size.lineSpacing);
        out.f32(size.underlinePosition);
        out.f32(size.underlineThickness);
        out.u32(size.pageWidth);
        out.u32(size.pageHeight);
        out.u32(static_cast<std::uint32_t>(size.sets.size()));
        for (const GlyphSet& set : size.sets) {
            writeSet(out, set);
        }
        out.u32(static_cast<std::uint32_t>(size.kerning.size()));
        for (const auto& [key, kerning] : size.kerning) {
            out.u32(static_cast<std::uint32_t>(key >> 32));
            out.u32(static_cast<std::uint32_t>(key & 0xffffffffu));
            out.f32(kerning);
        }
    }
    return out.take();
}

bool parseFontExport(const char* bytes, std::size_t count, FontExport& out, std::string& problem)
{
    Reader in(bytes, count);
    char head[sizeof magic];
    in.bytes(head, sizeof head);
    if (std::memcmp(head, magic, sizeof magic) != 0) {
        in.fail("not a glyph export");
    }
    if (const std::uint32_t version = in.u32(); version != formatVersion) {
        in.fail("format " + std::to_string(version));
    }
    FontExport font;
    font.family.resize(in.count());
    in.bytes(font.family.data(), font.family.size());
    const std::uint32_t sizeCount = in.count();
    for (std::uint32_t k = 0; k < sizeCount && in.problem().empty(); ++k) {
        font.sizes.push_back(readSize(in));
    }
    if (!in.atEnd()) {
        in.fail("bytes past the end");
    }
    if (!in.problem().empty()) {
        problem = in.problem();
        return false;
    }
    out = std::move(font);
    return true;
}

} // namespace tolva::glyphs
