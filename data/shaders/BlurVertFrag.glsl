#version 330 compatibility
// One vertical half of a separable Gaussian blur: nine taps blurSize apart (in
// texture coordinates), so the radius is four steps.
uniform sampler2D RTScene;
uniform float blurSize;
uniform float tracedShare = 1.0; // the part of the target that holds the picture
in vec2 texCoord;

// exp(-i*i / 8) for i = 0..4, normalised over the nine taps.
const float kWeights[5] = float[5](0.2041637, 0.1801738, 0.1238315, 0.0662822, 0.0276306);

// The targets repeat at their edges; clamping keeps the far edge, and what lies
// beyond the traced part, from bleeding in.
vec4 tap(vec2 coord, vec2 halfTexel) { return texture(RTScene, clamp(coord, halfTexel, tracedShare - halfTexel)); }

void main() {
    vec2 halfTexel = 0.5 / vec2(textureSize(RTScene, 0));
    vec2 offset = vec2(0.0, blurSize * tracedShare);
    vec4 sum = tap(texCoord, halfTexel) * kWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += tap(texCoord + offset * float(i), halfTexel) * kWeights[i];
        sum += tap(texCoord - offset * float(i), halfTexel) * kWeights[i];
    }
    gl_FragColor = vec4(sum.rgb, 1.0);
}
