#version 300 es
// Greetings scroller, vertex stage, for WebGL 2: the same wave as theSingularVertexC.vs. What the
// desktop's fixed pipeline hands that stage comes here as uniforms and attributes: the text's
// transform (model-view), the view's (projection), the glyph page's pixels-to-normalized scale
// (texture matrix) and the vertex colour.
precision highp float;

uniform mat4 modelView;
uniform mat4 projection;
uniform vec2 texelScale;

uniform float wave_phase;
uniform vec2  wave_amplitude;
uniform float uTime;

in vec2 position;
in vec4 colour;
in vec2 texCoords;

out vec4 vertexColour;
out vec2 glyphCoords;
out float crest;

void main()
{
    vec4 world = modelView * vec4(position, 0.0, 1.0);

    float a = world.x * 0.0068 + uTime * 1.9 + wave_phase * 0.8;
    float ripple = world.x * 0.0175 - uTime * 3.1;
    float swing = 0.82 * sin(a) + 0.18 * sin(ripple + wave_phase);

    float sway = sin(world.x * 0.0049 - uTime * 1.3 + wave_phase * 1.7);

    world.x += wave_amplitude.x * sway;
    world.y += wave_amplitude.y * swing;
    crest = -swing;

    gl_Position = projection * world;
    glyphCoords = texCoords * texelScale;
    vertexColour = colour;
}
