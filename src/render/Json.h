#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <fmt/format.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace tolva {

// One JSON object on one line, fields in the order they are added. Floats are written in their
// shortest round-trip form; values that are not finite as the strings "nan", "inf" and "-inf".
class JsonLine {
public:
    JsonLine& add(std::string_view key, std::string_view value)
    {
        field(key);
        quoted(value);
        return *this;
    }
    JsonLine& add(std::string_view key, const char* value) { return add(key, std::string_view(value)); }
    JsonLine& add(std::string_view key, const std::string& value) { return add(key, std::string_view(value)); }
    JsonLine& add(std::string_view key, bool value)
    {
        field(key);
        out_ += value ? "true" : "false";
        return *this;
    }
    JsonLine& add(std::string_view key, int value) { return raw(key, fmt::format("{}", value)); }
    JsonLine& add(std::string_view key, unsigned value) { return raw(key, fmt::format("{}", value)); }
    JsonLine& add(std::string_view key, unsigned long value) { return raw(key, fmt::format("{}", value)); }
    JsonLine& add(std::string_view key, long value) { return raw(key, fmt::format("{}", value)); }
    JsonLine& add(std::string_view key, float value) { return raw(key, number(value)); }
    JsonLine& add(std::string_view key, double value) { return raw(key, number(value)); }
    JsonLine& add(std::string_view key, sf::Color c)
    {
        return raw(key, fmt::format("[{},{},{},{}]", c.r, c.g, c.b, c.a));
    }
    JsonLine& add(std::string_view key, sf::Vector2f v)
    {
        return raw(key, "[" + number(v.x) + "," + number(v.y) + "]");
    }
    template <class T>
    JsonLine& add(std::string_view key, const std::vector<T>& values)
    {
        std::string list = "[";
        for (std::size_t k = 0; k < values.size(); ++k) {
            list += (k ? "," : "") + item(values[k]);
        }
        return raw(key, list + "]");
    }
    JsonLine& addCell(int i, int j) { return raw("cell", fmt::format("[{},{}]", i, j)); }

    // A value already written as JSON.
    JsonLine& raw(std::string_view key, const std::string& json)
    {
        field(key);
        out_ += json;
        return *this;
    }

    std::string str() const { return out_ + "}"; }

    template <class F>
    static std::string number(F value)
    {
        if (std::isnan(value)) {
            return "\"nan\"";
        }
        if (std::isinf(value)) {
            return value > 0 ? "\"inf\"" : "\"-inf\"";
        }
        return fmt::format("{}", value);
    }

private:
    static std::string item(float v) { return number(v); }
    static std::string item(double v) { return number(v); }
    static std::string item(const std::string& s) { return "\"" + s + "\""; }
    static std::string item(int v) { return fmt::format("{}", v); }
    template <class A, class B>
    static std::string item(const std::pair<A, B>& p)
    {
        return "[" + item(p.first) + "," + item(p.second) + "]";
    }
    template <class T>
    static std::string item(const std::vector<T>& v)
    {
        std::string s = "[";
        for (std::size_t k = 0; k < v.size(); ++k) {
            s += (k ? "," : "") + item(v[k]);
        }
        return s + "]";
    }

    void field(std::string_view key)
    {
        out_ += out_.size() > 1 ? ",\"" : "\"";
        out_ += key;
        out_ += "\":";
    }
    void quoted(std::string_view value)
    {
        out_ += '"';
        for (char c : value) {
            if (c == '"' || c == '\\') {
                out_ += '\\';
            }
            out_ += c;
        }
        out_ += '"';
    }

    std::string out_ = "{";
};

} // namespace tolva
