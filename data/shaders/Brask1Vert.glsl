#version 330 compatibility
// The model scene draws through the fixed-function pipeline; this pair is built
// with it but never drawn with. It does what the fixed pipeline does unlit.
out vec2 texCoord;

void main() {
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    texCoord = gl_MultiTexCoord0.xy;
}
