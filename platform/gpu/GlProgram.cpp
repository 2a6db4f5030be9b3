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

// ALPHA is defined per program: the stage's choice is made once per draw, not per pixel.
const char* const FragmentSource = R"(
in vec4 vertexDiffuse;
in vec2 vertexTexCoord;
uniform sampler2D picture;
out vec4 fragmentColour;
void main()
{
    vec4 texel = texture(picture, vertexTexCoord);
    fragmentColour = vec4(texel.rgb * vertexDiffuse.rgb, ALPHA);
}
)";

GLuint Compile(GLenum type, const std::string& defines, const char* source)
{
    const std::string preamble = "#version 330 core\n" + defines;
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

// The stage's alpha is a product of the texture's alpha and the diffuse alpha (CURRENT, at
// stage 0), each taken zero to two times: the variant is 3 × texture powers + diffuse powers.
int VariantOf(GLint operation, GLint argument1, GLint argument2)
{
    const auto power = [](GLint argument)
    {
        return argument == static_cast<GLint>(D3DTA_TEXTURE) ? 3 : 1;
    };
    if (operation == static_cast<GLint>(D3DTOP_SELECTARG2))
    {
        return power(argument2);
    }
    if (operation == static_cast<GLint>(D3DTOP_MODULATE))
    {
        return power(argument1) + power(argument2);
    }
    return power(argument1);
}

std::string AlphaOf(int variant)
{
    std::string alpha = "1.0";
    for (int i = 0; i < variant / 3; ++i)
    {
        alpha += " * texel.a";
    }
    for (int i = 0; i < variant % 3; ++i)
    {
        alpha += " * vertexDiffuse.a";
    }
    return "#define ALPHA (" + alpha + ")\n";
}

} // namespace

bool GlProgram::Build()
{
    vertexShader = Compile(GL_VERTEX_SHADER, "", VertexSource);
    return vertexShader != 0 && Select(VariantOf(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT));
}

void GlProgram::Destroy()
{
    for (Variant& variant : variants)
    {
        glDeleteProgram(variant.program);
        variant = {};
    }
    glDeleteShader(vertexShader);
    vertexShader = 0;
    current = nullptr;
}

bool GlProgram::Link(Variant& variant, int index)
{
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, AlphaOf(index), FragmentSource);
    if (fragment == 0)
    {
        return false;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDetachShader(program, vertexShader);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
    {
        glDeleteProgram(program);
        return false;
    }
    variant.program = program;
    variant.targetSizeLocation = glGetUniformLocation(program, "targetSize");
    variant.yScaleLocation = glGetUniformLocation(program, "yScale");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    return true;
}

// A program is linked when its alpha is first asked for; a refused one leaves the last in use.
bool GlProgram::Select(int index)
{
    Variant& variant = variants[static_cast<size_t>(index)];
    if (variant.program == 0 && !Link(variant, index))
    {
        return false;
    }
    if (current != &variant)
    {
        current = &variant;
        glUseProgram(variant.program);
    }
    ApplyTarget();
    return true;
}

void GlProgram::ApplyTarget()
{
    if (current != nullptr && current->target != target)
    {
        glUniform2f(current->targetSizeLocation, target[0], target[1]);
        glUniform1f(current->yScaleLocation, target[2]);
        current->target = target;
    }
}

void GlProgram::SetTarget(float width, float height, bool backBuffer)
{
    target = {width, height, backBuffer ? 1.0f : -1.0f};
    ApplyTarget();
}

void GlProgram::SetAlphaStage(GLint operation, GLint argument1, GLint argument2)
{
    Select(VariantOf(operation, argument1, argument2));
}

} // namespace platform::gl
