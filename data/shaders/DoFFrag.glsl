#version 330 compatibility
// Depth of field: the ray pass stores each pixel's hit distance in alpha. Pixels at
// the focus distance stay sharp; the blurred image takes over as the distance moves
// away from it, completely at one focal length off.
uniform sampler2D tex0; // sharp image, hit distance in alpha
uniform sampler2D tex1; // blurred image
uniform float focus;
uniform float focal;
in vec2 texCoord;

void main() {
    vec4 sharp = texture(tex0, texCoord);
    vec3 blurred = texture(tex1, texCoord).rgb;
    float amount = clamp(abs(sharp.a - focus) / max(focal, 1e-6), 0.0, 1.0);
    gl_FragColor = vec4(clamp(mix(sharp.rgb, blurred, amount), 0.0, 1.0), 1.0);
}
