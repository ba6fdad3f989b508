#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf {

class Vertex {
public:
    Vertex() : position(0, 0), color(255, 255, 255), texCoords(0, 0) {}
    Vertex(const Vector2f& thePosition) : position(thePosition), color(255, 255, 255), texCoords(0, 0) {}
    Vertex(const Vector2f& thePosition, const Color& theColor)
        : position(thePosition), color(theColor), texCoords(0, 0)
    {
    }
    Vertex(const Vector2f& thePosition, const Vector2f& theTexCoords)
        : position(thePosition), color(255, 255, 255), texCoords(theTexCoords)
    {
    }
    Vertex(const Vector2f& thePosition, const Color& theColor, const Vector2f& theTexCoords)
        : position(thePosition), color(theColor), texCoords(theTexCoords)
    {
    }

    Vector2f position;
    Color color;
    Vector2f texCoords;
};

} // namespace sf
