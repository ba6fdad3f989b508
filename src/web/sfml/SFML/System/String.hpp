#pragma once

#include <SFML/Config.hpp>

#include <cstddef>
#include <string>

namespace sf {

// UTF-32 text. The show's texts are ASCII: narrow characters become code points one to one, and
// code points past 127 turn back into the replacement character.
class String {
public:
    using Iterator = std::basic_string<Uint32>::iterator;
    using ConstIterator = std::basic_string<Uint32>::const_iterator;
    static const std::size_t InvalidPos;

    String() = default;
    String(char ansiChar);
    String(wchar_t wideChar);
    String(Uint32 utf32Char);
    String(const char* ansiString);
    String(const std::string& ansiString);
    String(const wchar_t* wideString);
    String(const std::wstring& wideString);
    String(const Uint32* utf32String);
    String(const std::basic_string<Uint32>& utf32String);

    operator std::string() const { return toAnsiString(); }
    std::string toAnsiString() const;
    const std::basic_string<Uint32>& toUtf32() const { return m_string; }

    void clear() { m_string.clear(); }
    std::size_t getSize() const { return m_string.size(); }
    bool isEmpty() const { return m_string.empty(); }
    Uint32 operator[](std::size_t index) const { return m_string[index]; }
    Uint32& operator[](std::size_t index) { return m_string[index]; }
    String& operator+=(const String& right)
    {
        m_string += right.m_string;
        return *this;
    }
    ConstIterator begin() const { return m_string.begin(); }
    ConstIterator end() const { return m_string.end(); }

    friend bool operator==(const String& left, const String& right) { return left.m_string == right.m_string; }
    friend bool operator!=(const String& left, const String& right) { return left.m_string != right.m_string; }
    friend bool operator<(const String& left, const String& right) { return left.m_string < right.m_string; }

private:
    std::basic_string<Uint32> m_string;
};

inline String operator+(const String& left, const String& right)
{
    String string = left;
    string += right;
    return string;
}

} // namespace sf
