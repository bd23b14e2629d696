#version 330 compatibility
// Built with its scene but never drawn with: the corners pass straight through.
void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
}
