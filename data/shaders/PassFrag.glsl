#version 330 compatibility
// Shows the ray-traced image as it is (objects without depth of field).
uniform sampler2D tex0;
in vec2 texCoord;

void main() {
    gl_FragColor = vec4(clamp(texture(tex0, texCoord).rgb, 0.0, 1.0), 1.0);
}
