// Greetings scroller, fragment stage: the glyph texture that SFML binds on
// unit 0, tinted by the text's colour, lit where the wave lifts it and swept
// by a slow glint. The glyphs' alpha is kept, so the outline and the edges
// stay as FreeType drew them.
#version 120

uniform sampler2D texture;     // never set by the show: unit 0, the glyph page
uniform float uTime;
uniform float wave_phase;

varying float crest;

void main()
{
    vec4 glyph = texture2D(texture, gl_TexCoord[0].xy);
    vec4 colour = gl_Color * glyph;

    // Letters on a crest catch the light, letters in a trough sink into shade.
    float light = 0.78 + 0.34 * (0.5 + 0.5 * crest);

    // A narrow glint that crosses the screen every few seconds.
    float band = fract(gl_FragCoord.x / 2300.0 - uTime * 0.23 + wave_phase * 0.05);
    float glint = smoothstep(0.0, 0.04, band) * (1.0 - smoothstep(0.04, 0.1, band));

    vec3 lit = colour.rgb * light + vec3(0.55, 0.6, 0.35) * glint * colour.g;
    gl_FragColor = vec4(min(lit, vec3(1.0)), colour.a);
}
