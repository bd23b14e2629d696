#version 330 compatibility
// Full-screen quad: corners pass through untransformed (their z of -1 lies on the
// near plane, so a projection would clip them); texCoord covers [0, tracedShare],
// the part of the square targets that was traced (all of it unless the window
// adapts its resolution).
uniform float tracedShare = 1.0;
out vec2 texCoord;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    texCoord = (gl_Vertex.xy * 0.5 + 0.5) * tracedShare;
}
