// The floor the game's frame and start-up are measured against: the frame's GL work and nothing
// else, on SDL2 and libepoxy alone. The same two 1024² trail targets, the same quads in the same
// order with the same blending, filtering and read-back, drawn straight into the window by one
// shader; the trail keeps its alpha at one, so the shader's one alpha (texture × vertex) gives
// the vertex alpha the trail is blended by. None of the game's code is linked in.
//   floor-bench [--frames N]                 frame times in an offscreen window
//   floor-bench --screenshot FILE [--frames N]  N frames (300 unless given) with srand(1), then
//                                            the window's A8R8G8B8 pixels, top row first
//   floor-bench --startup [--bare] [--runs N]   spawn to the first frame, under a display; with
//                                            --bare only the window, the context and one swap
// Like the game it reads data/ beside itself.

#include "bench/SpawnedStart.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;
constexpr int TrailSize = 1024;

const char* const VertexSource = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec4 diffuse;
layout(location = 2) in vec2 texCoord;
uniform vec2 targetSize;
uniform float yScale;
out vec4 vertexDiffuse;
out vec2 vertexTexCoord;
void main()
{
    gl_Position = vec4((position.x + 0.5) / targetSize.x * 2.0 - 1.0,
                       yScale * (1.0 - (position.y + 0.5) / targetSize.y * 2.0), 0.0, 1.0);
    vertexDiffuse = diffuse;
    vertexTexCoord = texCoord;
}
)";

const char* const FragmentSource = R"(#version 330 core
in vec4 vertexDiffuse;
in vec2 vertexTexCoord;
uniform sampler2D picture;
out vec4 fragmentColour;
void main()
{
    fragmentColour = texture(picture, vertexTexCoord) * vertexDiffuse;
}
)";

struct Vertex
{
    float x, y;
    uint32_t colour;
    float u, v;
};

struct Texture
{
    GLuint name = 0;
    float width = 0, height = 0;
};

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int PowerOfTwoAtLeast(int size)
{
    int side = 1;
    while (side < size)
    {
        side *= 2;
    }
    return side;
}

// A8R8G8B8 pixels, top row first, in a power-of-two texture as the game's textures are made.
Texture Upload(const uint32_t* pixels, int width, int height)
{
    Texture texture{0, static_cast<float>(PowerOfTwoAtLeast(width)),
                    static_cast<float>(PowerOfTwoAtLeast(height))};
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const std::vector<uint32_t> zero(static_cast<size_t>(texture.width * texture.height));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(texture.width),
                 static_cast<GLsizei>(texture.height), 0, GL_BGRA, GL_UNSIGNED_BYTE, zero.data());
    if (pixels != nullptr)
    {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    }
    return texture;
}

Texture LoadBmp(const char* path)
{
    SDL_Surface* loaded = SDL_LoadBMP(path);
    SDL_Surface* argb =
        loaded != nullptr ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    Texture texture;
    if (argb != nullptr)
    {
        glPixelStorei(GL_UNPACK_ROW_LENGTH, argb->pitch / 4);
        texture = Upload(static_cast<const uint32_t*>(argb->pixels), argb->w, argb->h);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    SDL_FreeSurface(argb);
    SDL_FreeSurface(loaded);
    return texture;
}

Texture LoadPng(const char* path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0)
    {
        return {};
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(PNG_IMAGE_SIZE(image) / 4);
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0)
    {
        return {};
    }
    return Upload(pixels.data(), static_cast<int>(image.width), static_cast<int>(image.height));
}

class Floor
{
public:
    bool Open(SDL_Window* window);
    void Frame(int stamps);

private:
    void Target(GLuint framebuffer, int width, int height, bool window);
    void Quad(uint32_t colour, const Vertex (&corners)[4]);
    void Image(const Texture& texture, uint32_t colour, int x, int y, int w, int h, int sx, int sy);
    void Draw(const Texture& texture);

    SDL_Window* window = nullptr;
    GLuint program = 0, vertexArray = 0, vertices = 0, indices = 0;
    GLint targetSize = -1, yScale = -1;
    Texture trail[2], note, pad, stage;
    GLuint trailFramebuffer[2] = {};
    std::vector<Vertex> batch;
    int current = 0;
    int angle = 3;
    // The cursor walks a step each 100 ms of a clock 16 ms a frame, as the game's sequencer
    // does on a fixed clock.
    int clock = 0, lastStep = 0, step = 0;
};

GLuint Compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

bool Floor::Open(SDL_Window* sdlWindow)
{
    window = sdlWindow;
    program = glCreateProgram();
    glAttachShader(program, Compile(GL_VERTEX_SHADER, VertexSource));
    glAttachShader(program, Compile(GL_FRAGMENT_SHADER, FragmentSource));
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
    {
        return false;
    }
    glUseProgram(program);
    targetSize = glGetUniformLocation(program, "targetSize");
    yScale = glGetUniformLocation(program, "yScale");

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertices);
    glBindBuffer(GL_ARRAY_BUFFER, vertices);
    glGenBuffers(1, &indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
    std::vector<uint16_t> order;
    for (uint16_t quad = 0; quad < 64; ++quad)
    {
        for (uint16_t corner : {0, 1, 2, 1, 3, 2})
        {
            order.push_back(static_cast<uint16_t>(quad * 4 + corner));
        }
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(order.size() * 2), order.data(),
                 GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, u)));

    for (int i = 0; i < 2; ++i)
    {
        trail[i] = Upload(nullptr, TrailSize, TrailSize);
        glGenFramebuffers(1, &trailFramebuffer[i]);
        glBindFramebuffer(GL_FRAMEBUFFER, trailFramebuffer[i]);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, trail[i].name,
                               0);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    note = LoadBmp("data/zirmonly.bmp");
    stage = LoadBmp("data/stage.bmp");
    pad = LoadPng("data/pad.png");
    SDL_GL_SetSwapInterval(0);
    return note.name != 0 && stage.name != 0 && pad.name != 0 && glGetError() == GL_NO_ERROR;
}

void Floor::Target(GLuint framebuffer, int width, int height, bool toWindow)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    glUniform2f(targetSize, static_cast<float>(width), static_cast<float>(height));
    glUniform1f(yScale, toWindow ? 1.0f : -1.0f);
}

void Floor::Quad(uint32_t colour, const Vertex (&corners)[4])
{
    for (Vertex vertex : corners)
    {
        vertex.colour = colour;
        batch.push_back(vertex);
    }
}

// A rectangle whose edges sit half a pixel before the pixel centres, as the game's drawer puts
// them.
void Floor::Image(const Texture& texture, uint32_t colour, int x, int y, int w, int h, int sx,
                  int sy)
{
    const float l = static_cast<float>(x) - 0.5f, r = static_cast<float>(x + w) - 0.5f;
    const float t = static_cast<float>(y) - 0.5f, b = static_cast<float>(y + h) - 0.5f;
    const float ul = static_cast<float>(sx) / texture.width;
    const float ur = static_cast<float>(sx + w) / texture.width;
    const float vt = static_cast<float>(sy) / texture.height;
    const float vb = static_cast<float>(sy + h) / texture.height;
    Quad(colour, {{l, t, 0, ul, vt}, {r, t, 0, ur, vt}, {l, b, 0, ul, vb}, {r, b, 0, ur, vb}});
}

void Floor::Draw(const Texture& texture)
{
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batch.size() * sizeof(Vertex)),
                 batch.data(), GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch.size() / 4 * 6), GL_UNSIGNED_SHORT,
                   nullptr);
    batch.clear();
}

void Floor::Frame(int stamps)
{
    current = 1 - current;
    Target(trailFramebuffer[current], TrailSize, TrailSize, false);
    if (std::rand() % 250 == 0)
    {
        const int r = std::rand() % 3;
        angle = r == 0 ? 3 : r == 1 ? -3 : 0;
    }
    // The previous frame, 16 pixels larger, turned about the centre, half opaque; the trail's
    // alpha stays one.
    const float theta = static_cast<float>(angle * 3.141592 / 180.0);
    const float s = std::sin(theta), c = std::cos(theta);
    const auto turn = [&](int x, int y, float u, float v)
    {
        const auto dx = static_cast<float>(x - 512), dy = static_cast<float>(y - 512);
        return Vertex{static_cast<float>(static_cast<int>(512.0f + c * dx - s * dy)),
                      static_cast<float>(static_cast<int>(512.0f + s * dx + c * dy)), 0, u, v};
    };
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    Quad(0x80FFFFFF,
         {turn(-8, -8, 0, 0), turn(1032, -8, 1, 0), turn(-8, 1032, 0, 1), turn(1032, 1032, 1, 1)});
    Draw(trail[1 - current]);
    glDisable(GL_BLEND);
    for (int i = 0; i < stamps; ++i)
    {
        const int x = 256 + std::rand() % 256;
        const int y = 352 + std::rand() % 256;
        Image(note, 0xFFFFFFFF, x, y, 256, 64, 0, 0);
    }
    if (stamps > 0)
    {
        Draw(note);
    }

    Target(0, ScreenWidth, ScreenHeight, true);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Image(trail[current], 0xFFFFFFFF, 0, 0, ScreenWidth, ScreenHeight,
          (TrailSize - ScreenWidth) / 2, (TrailSize - ScreenHeight) / 2);
    Draw(trail[current]);
    // The game's pads: every step plain, five lit, under the stage added over them, and the
    // cursor added.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int i = 0; i < 16; ++i)
    {
        Image(pad, 0xFFFFFFFF, 32 + 36 * i, 32, 32, 32, 0, 0);
    }
    Draw(pad);
    for (int i : {0, 3, 4, 9, 15})
    {
        Image(pad, 0xFFFFFF00, 32 + 36 * i, 32, 32, 32, 0, 0);
    }
    Draw(pad);
    glBlendFunc(GL_ONE, GL_ONE);
    Image(stage, 0xFFFFFFFF, 0, 0, ScreenWidth, ScreenHeight, 0, 0);
    Draw(stage);
    clock += 16;
    if (clock - lastStep > 100)
    {
        lastStep = clock;
        step = (step + 1) % 16;
    }
    Image(pad, 0xFFFFFFFF, 32 + 36 * step, 32, 32, 32, 0, 0);
    Draw(pad);
    glDisable(GL_BLEND);
    SDL_GL_SwapWindow(window);
}

SDL_Window* OpenWindow()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("floor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, ScreenWidth,
                         ScreenHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (window == nullptr || SDL_GL_CreateContext(window) == nullptr)
    {
        std::fprintf(stderr, "floor-bench: no GL window: %s\n", SDL_GetError());
        return nullptr;
    }
    return window;
}

std::vector<uint32_t> ReadWindow()
{
    std::vector<uint32_t> pixels(ScreenWidth * ScreenHeight);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<uint32_t> flipped;
    for (int row = ScreenHeight - 1; row >= 0; --row)
    {
        flipped.insert(flipped.end(), pixels.begin() + row * ScreenWidth,
                       pixels.begin() + (row + 1) * ScreenWidth);
    }
    return flipped;
}

void PrintSpread(const char* label, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q)
    {
        return ms[static_cast<size_t>(q * static_cast<double>(ms.size() - 1))];
    };
    std::printf("%s: median %.2f ms, p99 %.2f ms, max %.2f ms over %zu frames\n", label, at(0.5),
                at(0.99), ms.back(), ms.size());
}

// One start: window, context and, unless bare, every data file read, the pictures uploaded and
// one frame drawn; prints the milliseconds since the parent spawned it.
int StartupChild(double spawnedAt, bool bare)
{
    SDL_Window* window = OpenWindow();
    if (window == nullptr)
    {
        return 1;
    }
    Floor floor;
    if (bare)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    }
    else
    {
        size_t bytes = 0;
        for (const char* name :
             {"beat1.wav", "beat2.wav", "beat3.wav", "beat4.wav", "beat5.wav", "beat6.wav",
              "beat7.wav", "beat8.wav", "beat9.wav", "ke.wav", "no.wav", "pa.wav", "ro.wav"})
        {
            bytes += ReadFile(std::string("data/") + name).size();
        }
        if (bytes == 0 || !floor.Open(window))
        {
            return 1;
        }
        floor.Frame(0);
    }
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    std::printf("%.3f\n", Bench::NowMs() - spawnedAt);
    return 0;
}

int Startup(const char* self, bool bare, int runs)
{
    std::vector<double> starts;
    for (int run = 0; run < runs; ++run)
    {
        double ms = 0;
        if (std::sscanf(Bench::RunChild(self, bare ? std::vector<std::string>{"--bare"}
                                                   : std::vector<std::string>{})
                            .c_str(),
                        "%lf", &ms) == 1)
        {
            starts.push_back(ms);
        }
    }
    if (starts.empty())
    {
        std::fprintf(stderr, "floor-bench: no start measured\n");
        return 1;
    }
    std::sort(starts.begin(), starts.end());
    std::printf("floor start-up%s, median of %zu: first frame %.1f ms\n", bare ? " (bare)" : "",
                starts.size(), starts[starts.size() / 2]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int frames = 0, runs = 9;
    bool startup = false, bare = false;
    const char* screenshot = nullptr;
    for (int i = 1; i < argc; ++i)
    {
        const std::string flag = argv[i];
        const bool valued = i + 1 < argc;
        if (flag == "--child" && valued)
        {
            return StartupChild(std::atof(argv[i + 1]), i + 2 < argc);
        }
        startup = startup || flag == "--startup";
        bare = bare || flag == "--bare";
        if (flag == "--frames" && valued)
        {
            frames = std::max(1, std::atoi(argv[++i]));
        }
        else if (flag == "--runs" && valued)
        {
            runs = std::max(1, std::atoi(argv[++i]));
        }
        else if (flag == "--screenshot" && valued)
        {
            screenshot = argv[++i];
        }
    }
    if (startup)
    {
        return Startup(argv[0], bare, runs);
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SDL_Window* window = OpenWindow();
    Floor floor;
    if (window == nullptr || !floor.Open(window))
    {
        std::fprintf(stderr, "floor-bench: the floor did not open\n");
        return 1;
    }
    if (screenshot != nullptr)
    {
        std::srand(1);
        for (int i = 0; i < (frames > 0 ? frames : 300); ++i)
        {
            floor.Frame(5);
        }
        const std::vector<uint32_t> pixels = ReadWindow();
        std::ofstream file(screenshot, std::ios::binary);
        file.write(reinterpret_cast<const char*>(pixels.data()),
                   static_cast<std::streamsize>(pixels.size() * sizeof(uint32_t)));
        return file ? 0 : 1;
    }
    frames = frames > 0 ? frames : 600;
    std::vector<double> ms;
    for (int i = 0; i < 30 + frames; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        floor.Frame(5);
        unsigned char pixel[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        if (i >= 30)
        {
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
    }
    PrintSpread("floor frame, drawn to the end", ms);
    return 0;
}
