#version 300 es
// Greetings scroller, fragment stage, for WebGL 2: the same light and glint as
// ScrollerShaderE.frag, the glyph page on unit 0.
precision highp float;

uniform sampler2D glyphs;
uniform float uTime;
uniform float wave_phase;

in vec4 vertexColour;
in vec2 glyphCoords;
in float crest;

out vec4 fragColour;

void main()
{
    vec4 glyph = texture(glyphs, glyphCoords);
    vec4 colour = vertexColour * glyph;

    float light = 0.78 + 0.34 * (0.5 + 0.5 * crest);

    float band = fract(gl_FragCoord.x / 2300.0 - uTime * 0.23 + wave_phase * 0.05);
    float glint = smoothstep(0.0, 0.04, band) * (1.0 - smoothstep(0.04, 0.1, band));

    vec3 lit = colour.rgb * light + vec3(0.55, 0.6, 0.35) * glint * colour.g;
    fragColour = vec4(min(lit, vec3(1.0)), colour.a);
}
