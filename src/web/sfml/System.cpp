#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Time.hpp>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#else
#include <chrono>
#endif

namespace sf {

const Time Time::Zero;

const Color Color::Black(0, 0, 0);
const Color Color::White(255, 255, 255);
const Color Color::Red(255, 0, 0);
const Color Color::Green(0, 255, 0);
const Color Color::Blue(0, 0, 255);
const Color Color::Yellow(255, 255, 0);
const Color Color::Magenta(255, 0, 255);
const Color Color::Cyan(0, 255, 255);
const Color Color::Transparent(0, 0, 0, 0);

namespace {

Time steadyNow()
{
#ifdef __EMSCRIPTEN__
    // Milliseconds with a fraction, from the page's (or node's) monotonic clock.
    return microseconds(static_cast<Int64>(emscripten_get_now() * 1000.0));
#else
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return microseconds(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
#endif
}

} // namespace

Clock::Clock() : m_startTime(steadyNow()) {}

Time Clock::getElapsedTime() const { return steadyNow() - m_startTime; }

Time Clock::restart()
{
    const Time now = steadyNow();
    const Time elapsed = now - m_startTime;
    m_startTime = now;
    return elapsed;
}

const std::size_t String::InvalidPos = std::basic_string<Uint32>::npos;

String::String(char ansiChar) : m_string(1, static_cast<Uint32>(static_cast<unsigned char>(ansiChar))) {}
String::String(wchar_t wideChar) : m_string(1, static_cast<Uint32>(wideChar)) {}
String::String(Uint32 utf32Char) : m_string(1, utf32Char) {}

String::String(const char* ansiString)
{
    if (ansiString != nullptr) {
        for (const char* c = ansiString; *c != '\0'; ++c) {
            m_string += static_cast<Uint32>(static_cast<unsigned char>(*c));
        }
    }
}

String::String(const std::string& ansiString)
{
    for (const char c : ansiString) {
        m_string += static_cast<Uint32>(static_cast<unsigned char>(c));
    }
}

String::String(const wchar_t* wideString)
{
    if (wideString != nullptr) {
        for (const wchar_t* c = wideString; *c != L'\0'; ++c) {
            m_string += static_cast<Uint32>(*c);
        }
    }
}

String::String(const std::wstring& wideString)
{
    for (const wchar_t c : wideString) {
        m_string += static_cast<Uint32>(c);
    }
}

String::String(const Uint32* utf32String)
{
    if (utf32String != nullptr) {
        m_string = utf32String;
    }
}

String::String(const std::basic_string<Uint32>& utf32String) : m_string(utf32String) {}

std::string String::toAnsiString() const
{
    std::string out;
    out.reserve(m_string.size());
    for (const Uint32 c : m_string) {
        out += c < 128 ? static_cast<char>(c) : '\0';
    }
    return out;
}

} // namespace sf
