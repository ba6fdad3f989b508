// Greetings scroller, vertex stage: the classic sine scroller.
//
// The text is laid out flat by SFML; here every vertex rides a wave that
// stands in screen space, so letters rise and fall as they travel through it.
// The displacement depends on the screen x of a vertex only: the four corners
// of a glyph quad (and of its outline quads) then move by an affine map, so a
// glyph shears as a whole and never folds along its diagonal.
#version 120

uniform float wave_phase;      // slow wobble of the wave, about -2..2
uniform vec2  wave_amplitude;  // pixels: x sway, y swing
uniform float uTime;           // seconds since the scroller began

varying float crest;           // -1 in a trough, +1 on a crest

void main()
{
    // World (window pixel) position: SFML keeps the text's transform in the
    // modelview matrix and the view in the projection matrix.
    vec4 world = gl_ModelViewMatrix * gl_Vertex;

    // The y swing: a long main wave that drifts against the scroll, and a
    // short ripple on top of it; both speeds follow uTime, wave_phase bends them.
    float a = world.x * 0.0068 + uTime * 1.9 + wave_phase * 0.8;
    float ripple = world.x * 0.0175 - uTime * 3.1;
    float swing = 0.82 * sin(a) + 0.18 * sin(ripple + wave_phase);

    // The x sway keeps its slope (amplitude x frequency) below 1, so the
    // letters breathe closer and apart but never overtake each other.
    float sway = sin(world.x * 0.0049 - uTime * 1.3 + wave_phase * 1.7);

    world.x += wave_amplitude.x * sway;
    world.y += wave_amplitude.y * swing;
    crest = -swing;            // window y grows downwards: a crest is a negative swing

    gl_Position = gl_ProjectionMatrix * world;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
