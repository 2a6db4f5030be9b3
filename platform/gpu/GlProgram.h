#pragma once
// The shaders standing in for the fixed-function stage: pre-transformed positions in target
// pixels, colour = texture x diffuse, and one program for each alpha the stage-0 alpha
// operation can choose, so that the choice is made per draw and not per pixel.

#include <epoxy/gl.h>

#include <array>

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

    void Use() const { glUseProgram(current->program); }
    // The back buffer's rows are stored bottom up, a render target's top down, so that texel
    // row 0 is the top row of every picture.
    void SetTarget(float width, float height, bool backBuffer);
    void SetAlphaStage(GLint operation, GLint argument1, GLint argument2);

    static constexpr GLuint PositionAttribute = 0;
    static constexpr GLuint DiffuseAttribute = 1;
    static constexpr GLuint TexCoordAttribute = 2;

private:
    struct Variant
    {
        GLuint program = 0;
        GLint targetSizeLocation = -1;
        GLint yScaleLocation = -1;
        // The target's width, height and y scale as last set in this program.
        std::array<float, 3> target{};
    };

    bool Link(Variant& variant, int index);
    bool Select(int index);
    void ApplyTarget();

    GLuint vertexShader = 0;
    std::array<Variant, 9> variants{};
    Variant* current = nullptr;
    std::array<float, 3> target{};
};

} // namespace platform::gl
