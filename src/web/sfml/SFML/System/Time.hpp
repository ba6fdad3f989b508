#pragma once

#include <SFML/Config.hpp>

namespace sf {

// Microseconds, converted as SFML converts them (asSeconds divides in float).
class Time {
public:
    Time() : m_microseconds(0) {}
    float asSeconds() const { return static_cast<float>(m_microseconds) / 1000000.f; }
    Int32 asMilliseconds() const { return static_cast<Int32>(m_microseconds / 1000); }
    Int64 asMicroseconds() const { return m_microseconds; }

    static const Time Zero;

private:
    friend Time seconds(float);
    friend Time milliseconds(Int32);
    friend Time microseconds(Int64);
    explicit Time(Int64 microseconds) : m_microseconds(microseconds) {}

    Int64 m_microseconds;
};

inline Time seconds(float amount) { return Time(static_cast<Int64>(amount * 1000000)); }
inline Time milliseconds(Int32 amount) { return Time(static_cast<Int64>(amount) * 1000); }
inline Time microseconds(Int64 amount) { return Time(amount); }

inline bool operator==(Time left, Time right) { return left.asMicroseconds() == right.asMicroseconds(); }
inline bool operator!=(Time left, Time right) { return left.asMicroseconds() != right.asMicroseconds(); }
inline bool operator<(Time left, Time right) { return left.asMicroseconds() < right.asMicroseconds(); }
inline bool operator>(Time left, Time right) { return left.asMicroseconds() > right.asMicroseconds(); }
inline bool operator<=(Time left, Time right) { return left.asMicroseconds() <= right.asMicroseconds(); }
inline bool operator>=(Time left, Time right) { return left.asMicroseconds() >= right.asMicroseconds(); }
inline Time operator-(Time right) { return microseconds(-right.asMicroseconds()); }
inline Time operator+(Time left, Time right) { return microseconds(left.asMicroseconds() + right.asMicroseconds()); }
inline Time& operator+=(Time& left, Time right) { return left = left + right; }
inline Time operator-(Time left, Time right) { return microseconds(left.asMicroseconds() - right.asMicroseconds()); }
inline Time& operator-=(Time& left, Time right) { return left = left - right; }
inline Time operator*(Time left, float right) { return seconds(left.asSeconds() * right); }
inline Time operator*(Time left, Int64 right) { return microseconds(left.asMicroseconds() * right); }
inline Time operator*(float left, Time right) { return right * left; }
inline Time operator*(Int64 left, Time right) { return right * left; }
inline Time& operator*=(Time& left, float right) { return left = left * right; }
inline Time& operator*=(Time& left, Int64 right) { return left = left * right; }
inline Time operator/(Time left, float right) { return seconds(left.asSeconds() / right); }
inline Time operator/(Time left, Int64 right) { return microseconds(left.asMicroseconds() / right); }
inline Time& operator/=(Time& left, float right) { return left = left / right; }
inline Time& operator/=(Time& left, Int64 right) { return left = left / right; }
inline float operator/(Time left, Time right) { return left.asSeconds() / right.asSeconds(); }
inline Time operator%(Time left, Time right) { return microseconds(left.asMicroseconds() % right.asMicroseconds()); }
inline Time& operator%=(Time& left, Time right) { return left = left % right; }

} // namespace sf
