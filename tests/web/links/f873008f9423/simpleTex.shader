#version 120
// The credits cards: the image at the card's coordinates, tinted by the card's colour. The
// colour's alpha may be negative far from a card's centre; it is clamped so that nothing shows
// there whatever the colour buffer's format.
uniform sampler2D creditsTexture;
varying vec4 color;
void main(void)
{
    vec4 texel = texture2D(creditsTexture, gl_TexCoord[0].st);
    gl_FragColor = vec4(texel.rgb * color.rgb, clamp(texel.a * color.a, 0.0, 1.0));
}
