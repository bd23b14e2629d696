#version 330 compatibility
// Full-screen quad: corners pass through untransformed; the fragment shader
// works from gl_FragCoord and the window size.
void main() {
    gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0);
}
