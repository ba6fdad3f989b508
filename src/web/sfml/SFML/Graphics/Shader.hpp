#pragma once

#include <SFML/Graphics/Glsl.hpp>

#include <map>
#include <string>

namespace sf {

// A shader pair as text, and the last value given to each uniform by name. The page's renderer
// compiles the pair into the slot `handle` and sets the uniforms when it draws with it.
class Shader {
public:
    enum Type { Vertex, Geometry, Fragment };

    struct Uniform {
        int components = 0;  // 1 for a float, 2 for a Vec2, 4 for a Vec4
        float value[4] = {0, 0, 0, 0};
    };

    bool loadFromFile(const std::string& vertexShaderFilename, const std::string& fragmentShaderFilename);
    bool loadFromMemory(const std::string& vertexShader, const std::string& fragmentShader);

    void setUniform(const std::string& name, float x);
    void setUniform(const std::string& name, const Glsl::Vec2& vector);
    void setUniform(const std::string& name, const Glsl::Vec4& vector);

    const std::string& getVertexSource() const { return m_vertexSource; }
    const std::string& getFragmentSource() const { return m_fragmentSource; }
    bool isLoaded() const { return m_loaded; }
    const std::map<std::string, Uniform>& getUniforms() const { return m_uniforms; }

    static bool isAvailable() { return true; }

    mutable unsigned handle = 0;  // the renderer's own name for the compiled pair
    unsigned version = 0;         // bumped when the sources change

private:
    std::string m_vertexSource;
    std::string m_fragmentSource;
    bool m_loaded = false;
    std::map<std::string, Uniform> m_uniforms;
};

} // namespace sf
