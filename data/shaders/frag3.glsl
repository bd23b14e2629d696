#version 330 compatibility
// Built with its scene but never drawn with: black.
void main() {
    gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
}
