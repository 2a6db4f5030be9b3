#include "platform/gpu/GlProgram.h"

#include "platform/gpu/D3D9.h"

#include <string>

namespace platform::gl
{

namespace
{

// Direct3D puts pixel centres on integers, OpenGL on halves: +0.5 moves one onto the other.
const char* const VertexSource = R"(
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 diffuse;
layout(location = 2) in vec2 texCoord;
uniform vec2 targetSize;
uniform float yScale;
out vec4 vertexDiffuse;
out vec2 vertexTexCoord;
void main()
{
    float w = 1.0 / position.w;
    vec2 ndc = vec2((position.x + 0.5) / targetSize.x * 2.0 - 1.0,
                    yScale * (1.0 - (position.y + 0.5) / targetSize.y * 2.0));
    gl_Position = vec4(ndc * w, (position.z * 2.0 - 1.0) * w, w);
    vertexDiffuse = diffuse;
    vertexTexCoord = texCoord;
}
)";

const char* const FragmentSource = R"(
in vec4 vertexDiffuse;
in vec2 vertexTexCoord;
uniform sampler2D picture;
uniform int alphaOp;
uniform int alphaArg1;
uniform int alphaArg2;
out vec4 fragmentColour;
float Argument(int which, vec4 texel)
{
    return which == D3DTA_TEXTURE ? texel.a : vertexDiffuse.a;
}
void main()
{
    vec4 texel = texture(picture, vertexTexCoord);
    float a1 = Argument(alphaArg1, texel);
    float a2 = Argument(alphaArg2, texel);
    float alpha = alphaOp == D3DTOP_SELECTARG2 ? a2 : alphaOp == D3DTOP_MODULATE ? a1 * a2 : a1;
    fragmentColour = vec4(texel.rgb * vertexDiffuse.rgb, alpha);
}
)";

// The shaders read the stage constants under their own names.
std::string Preamble()
{
    return "#version 330 core\n#define D3DTA_TEXTURE " + std::to_string(D3DTA_TEXTURE) +
           "\n#define D3DTOP_SELECTARG2 " + std::to_string(D3DTOP_SELECTARG2) +
           "\n#define D3DTOP_MODULATE " + std::to_string(D3DTOP_MODULATE) + "\n";
}

GLuint Compile(GLenum type, const char* source)
{
    const std::string preamble = Preamble();
    const char* sources[] = {preamble.c_str(), source};
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE)
    {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

bool GlProgram::Build()
{
    const GLuint vertex = Compile(GL_VERTEX_SHADER, VertexSource);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, FragmentSource);
    if (vertex == 0 || fragment == 0)
    {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
    {
        Destroy();
        return false;
    }
    targetSizeLocation = glGetUniformLocation(program, "targetSize");
    yScaleLocation = glGetUniformLocation(program, "yScale");
    alphaOpLocation = glGetUniformLocation(program, "alphaOp");
    alphaArg1Location = glGetUniformLocation(program, "alphaArg1");
    alphaArg2Location = glGetUniformLocation(program, "alphaArg2");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    return true;
}

void GlProgram::Destroy()
{
    glDeleteProgram(program);
    program = 0;
}

void GlProgram::SetTarget(float width, float height, bool backBuffer)
{
    glUniform2f(targetSizeLocation, width, height);
    glUniform1f(yScaleLocation, backBuffer ? 1.0f : -1.0f);
}

void GlProgram::SetAlphaStage(GLint operation, GLint argument1, GLint argument2)
{
    glUniform1i(alphaOpLocation, operation);
    glUniform1i(alphaArg1Location, argument1);
    glUniform1i(alphaArg2Location, argument2);
}

} // namespace platform::gl
