#version 330 compatibility
// One vertical half of a separable Gaussian blur: nine taps blurSize apart (in
// texture coordinates), so the radius is four steps.
uniform sampler2D RTScene;
uniform float blurSize;
in vec2 texCoord;

// exp(-i*i / 8) for i = 0..4, normalised over the nine taps.
const float kWeights[5] = float[5](0.2041637, 0.1801738, 0.1238315, 0.0662822, 0.0276306);

void main() {
    vec2 offset = vec2(0.0, blurSize);
    vec4 sum = texture(RTScene, texCoord) * kWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(RTScene, texCoord + offset * float(i)) * kWeights[i];
        sum += texture(RTScene, texCoord - offset * float(i)) * kWeights[i];
    }
    gl_FragColor = vec4(sum.rgb, 1.0);
}
