#include "web/WebCanvas.h"

#include "render/ShapeGeometry.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <array>

namespace tolva {

using web::picturePixels;
using web::showHeight;
using web::showWidth;

WebCanvas::WebCanvas(WebGl& gl)
    : gl_(gl),
      projection_(sf::View(sf::FloatRect(0, 0, static_cast<float>(showWidth), static_cast<float>(showHeight)))
                      .getTransform())
{
    resize(static_cast<int>(showWidth), static_cast<int>(showHeight));
}

void WebCanvas::resize(int width, int height)
{
    width_ = width;
    height_ = height;
    picture_ = picturePixels(width, height);
}

void WebCanvas::clear(sf::Color color)
{
    batch_.clear();  // nothing drawn before a clear can show
    gl_.setPicture(width_, height_, picture_);
    const float pixelsPerUnit = std::min(static_cast<float>(picture_.width) / static_cast<float>(showWidth),
                                         static_cast<float>(picture_.height) / static_cast<float>(showHeight));
    batch_.setView(projection_, pixelsPerUnit);
    gl_.clear(color);
}

void WebCanvas::flush()
{
    if (!batch_.empty()) {
        plan_.make(batch_, Drawing::cheapest, {picture_.width, picture_.height}, gl_);
        gl_.submit(plan_);
    }
    batch_.clear();
}

void WebCanvas::draw(const Circle& circle, CellRef)
{
    batch_.add(circle);
}

void WebCanvas::draw(const Rect& rect, CellRef)
{
    batch_.add(rect);
}

void WebCanvas::draw(const sf::Text& text, ObjectRef, const sf::Shader* shader)
{
    if (shader == nullptr && batch_.add(text)) {
        return;
    }
    flush();
    if (shader == nullptr || text.getFont() == nullptr) {
        return;  // underlined or struck through: no text of the show is
    }
    buildTextTriangles(text, text_);
    const sf::Texture& page = text.getFont()->getTexture(text.getCharacterSize());
    if (!gl_.drawShaded(text_, text.getTransform(), projection_, page, *shader)) {
        drawPlain(text);  // SFML draws through a shader that did not build as if it had none
    }
}

void WebCanvas::drawPlain(const sf::Text& text)
{
    clip_.clear();
    appendTextTriangles(text_.vertices, ClipTransform(models_.of(text), projection_), clip_);
    gl_.drawTriangles(clip_.data(), clip_.size(), &text.getFont()->getTexture(text.getCharacterSize()));
}

void WebCanvas::draw(const sf::Sprite& sprite, ObjectRef)
{
    flush();
    const sf::Texture* texture = sprite.getTexture();
    if (texture == nullptr) {
        return;
    }
    // sf::Sprite's quad as a strip of four corners: two triangles sharing its diagonal.
    const std::array<sf::Vertex, 4> corners = sprite.getVertices();
    const ClipTransform transform(models_.of(sprite), projection_);
    clip_.clear();
    for (const int k : {0, 1, 2, 2, 1, 3}) {
        const sf::Vertex& corner = corners[k];
        clip_.emplace_back(transform.apply(corner.position), corner.color, corner.texCoords);
    }
    gl_.drawTriangles(clip_.data(), clip_.size(), texture);
}

void WebCanvas::setUniform(sf::Shader& shader, const char* name, float value)
{
    shader.setUniform(name, value);
}

void WebCanvas::setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value)
{
    shader.setUniform(name, value);
}

void WebCanvas::display()
{
    flush();
    ++presents_;
}

} // namespace tolva
