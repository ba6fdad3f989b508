#include <SFML/Graphics/Shader.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace sf {
namespace {

bool readWhole(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "Failed to open shader file \"%s\"\n", path.c_str());
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

} // namespace

bool Shader::loadFromFile(const std::string& vertexShaderFilename, const std::string& fragmentShaderFilename)
{
    std::string vertex;
    std::string fragment;
    if (!readWhole(vertexShaderFilename, vertex) || !readWhole(fragmentShaderFilename, fragment)) {
        return false;
    }
    return loadFromMemory(vertex, fragment);
}

bool Shader::loadFromMemory(const std::string& vertexShader, const std::string& fragmentShader)
{
    m_vertexSource = vertexShader;
    m_fragmentSource = fragmentShader;
    m_loaded = true;
    ++version;
    return true;
}

void Shader::setUniform(const std::string& name, float x)
{
    Uniform& uniform = m_uniforms[name];
    uniform.components = 1;
    uniform.value[0] = x;
}

void Shader::setUniform(const std::string& name, const Glsl::Vec2& vector)
{
    Uniform& uniform = m_uniforms[name];
    uniform.components = 2;
    uniform.value[0] = vector.x;
    uniform.value[1] = vector.y;
}

void Shader::setUniform(const std::string& name, const Glsl::Vec4& vector)
{
    Uniform& uniform = m_uniforms[name];
    uniform.components = 4;
    uniform.value[0] = vector.x;
    uniform.value[1] = vector.y;
    uniform.value[2] = vector.z;
    uniform.value[3] = vector.w;
}

} // namespace sf
