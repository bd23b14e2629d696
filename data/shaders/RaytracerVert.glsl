#version 330 compatibility
// Full-screen pass: the quad's corners go straight through (their z of -1 lies on
// the near plane, so a projection would clip them); screenPos spans [-1, 1].
out vec2 screenPos;

void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
    screenPos = gl_Vertex.xy;
}
