#version 330 compatibility
// Full-screen quad: corners pass through untransformed (their z of -1 lies on the
// near plane, so a projection would clip them). screenCoord spans [-1, 1] on both
// axes of the square ray target.
out vec2 screenCoord;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    screenCoord = gl_Vertex.xy;
}
