#pragma once
// The one shader pair standing in for the fixed-function stage: pre-transformed positions in
// target pixels, colour = texture x diffuse, alpha chosen by the stage-0 alpha operation.

#include <epoxy/gl.h>

namespace platform::gl
{

class GlProgram
{
public:
    GlProgram() = default;
    GlProgram(const GlProgram&) = delete;
    GlProgram& operator=(const GlProgram&) = delete;

    // Needs the context current; false when the driver refuses the shaders.
    bool Build();
    // Needs the context current.
    void Destroy();

    void Use() const { glUseProgram(program); }
    // The back buffer's rows are stored bottom up, a render target's top down, so that texel
    // row 0 is the top row of every picture.
    void SetTarget(float width, float height, bool backBuffer);
    void SetAlphaStage(GLint operation, GLint argument1, GLint argument2);

    static constexpr GLuint PositionAttribute = 0;
    static constexpr GLuint DiffuseAttribute = 1;
    static constexpr GLuint TexCoordAttribute = 2;

private:
    GLuint program = 0;
    GLint targetSizeLocation = -1;
    GLint yScaleLocation = -1;
    GLint alphaOpLocation = -1;
    GLint alphaArg1Location = -1;
    GLint alphaArg2Location = -1;
};

} // namespace platform::gl
