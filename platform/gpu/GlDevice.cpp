#include "platform/gpu/GlDevice.h"

#include "platform/gpu/RasterThreads.h"
#include "platform/gpu/ViewportClear.h"
#include "platform/window/SdlWindow.h"

#include <utility>

namespace platform::gl
{

namespace
{

constexpr DWORD FixedVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
constexpr UINT FixedVertexSize = 32;
constexpr GLsizei DiffuseOffset = 16;
constexpr GLsizei TexCoordOffset = 24;

static_assert(sizeof(FixedVertex) == FixedVertexSize);

void ClearTo(float red, float green, float blue, float alpha)
{
    glClearColor(red, green, blue, alpha);
    glClear(GL_COLOR_BUFFER_BIT);
}

float Channel(D3DCOLOR colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

// GL_INVALID_ENUM for a factor this device does not offer.
GLenum BlendFactor(DWORD blend)
{
    switch (blend)
    {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    default:
        return GL_INVALID_ENUM;
    }
}

GLint Filter(DWORD filter)
{
    return filter == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
}

template <typename T> void Replace(T*& held, T* next)
{
    if (next != nullptr)
    {
        next->AddRef();
    }
    if (held != nullptr)
    {
        held->Release();
    }
    held = next;
}

// Hands a new object to the caller; none made is a device out of memory.
template <typename Made, typename Interface> HRESULT HandOut(Made* made, Interface** out)
{
    if (made == nullptr)
    {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = made;
    return D3D_OK;
}

} // namespace

GlDevice::GlDevice(std::shared_ptr<GlContext> context) : context(std::move(context)) {}

GlDevice* GlDevice::Create(HWND window, D3DPRESENT_PARAMETERS& parameters, HRESULT& result)
{
    SDL_Window* sdl = platform::sdl::SdlWindowOf(window);
    if (sdl == nullptr)
    {
        result = D3DERR_INVALIDCALL;
        return nullptr;
    }
    result = D3DERR_NOTAVAILABLE;
    if ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL) == 0)
    {
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GLContext gl = SDL_GL_CreateContext(sdl);
    if (gl == nullptr)
    {
        return nullptr;
    }
    auto* device = new GlDevice(std::make_shared<GlContext>(sdl, gl));
    if (!parameters.Windowed && SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN) != 0)
    {
        device->Release();
        return nullptr;
    }
    UINT clientWidth = 0;
    UINT clientHeight = 0;
    platform::sdl::ClientSizeOf(window, clientWidth, clientHeight);
    if (parameters.BackBufferWidth == 0)
    {
        parameters.BackBufferWidth = clientWidth;
    }
    if (parameters.BackBufferHeight == 0)
    {
        parameters.BackBufferHeight = clientHeight;
    }
    if (parameters.BackBufferFormat == D3DFMT_UNKNOWN)
    {
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    }
    SDL_GL_SetSwapInterval(parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0
                                                                                            : 1);
    if (!device->Prepare(parameters.BackBufferWidth, parameters.BackBufferHeight))
    {
        device->Release();
        return nullptr;
    }
    // After the shaders are built the driver's threads have long started and named themselves.
    SpreadSoftwareRasterThreads();
    result = D3D_OK;
    return device;
}

bool GlDevice::Prepare(UINT width, UINT height)
{
    if (!program.Build())
    {
        return false;
    }
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(GlProgram::PositionAttribute);
    glEnableVertexAttribArray(GlProgram::DiffuseAttribute);
    glEnableVertexAttribArray(GlProgram::TexCoordAttribute);

    // Stage 0 without a texture reads opaque white, so an untextured quad is its vertex colour.
    const uint32_t white = 0xFFFFFFFF;
    glGenTextures(1, &whiteTexture);
    glBindTexture(GL_TEXTURE_2D, whiteTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);

    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, Filter(applied.magFilter));
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, Filter(applied.minFilter));
    glBindSampler(0, sampler);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);

    glGenRenderbuffers(1, &backBufferColour);
    glBindRenderbuffer(GL_RENDERBUFFER, backBufferColour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    glGenFramebuffers(1, &backBufferFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, backBufferFramebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              backBufferColour);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    {
        return false;
    }

    backBuffer = new GlSurface(width, height);
    Replace(renderTarget, backBuffer);
    FollowWindowSize();
    BindTarget();
    return glGetError() == GL_NO_ERROR;
}

GlDevice::~GlDevice()
{
    context->MakeCurrent();
    Replace<GlSurface>(renderTarget, nullptr);
    Replace<GlTexture>(texture, nullptr);
    Replace<GlVertexBuffer>(stream, nullptr);
    Replace<GlIndexBuffer>(indices, nullptr);
    if (backBuffer != nullptr)
    {
        backBuffer->Release();
    }
    glDeleteFramebuffers(1, &backBufferFramebuffer);
    glDeleteRenderbuffers(1, &backBufferColour);
    glDeleteSamplers(1, &sampler);
    glDeleteTextures(1, &whiteTexture);
    glDeleteVertexArrays(1, &vertexArray);
    program.Destroy();
}

GLuint GlDevice::TargetFramebuffer() const
{
    GlTexture* target = renderTarget->Texture();
    return target != nullptr ? target->Framebuffer() : drawsToWindow ? 0 : backBufferFramebuffer;
}

// Decided as each scene begins, so a window resized since the last frame gets the next one
// fitted to it.
void GlDevice::FollowWindowSize()
{
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(context->Window(), &windowWidth, &windowHeight);
    drawsToWindow = static_cast<UINT>(windowWidth) == backBuffer->Width() &&
                    static_cast<UINT>(windowHeight) == backBuffer->Height();
    glBindFramebuffer(GL_FRAMEBUFFER, TargetFramebuffer());
}

void GlDevice::BindTarget()
{
    GlTexture* target = renderTarget->Texture();
    glBindFramebuffer(GL_FRAMEBUFFER, TargetFramebuffer());
    viewport = {0, 0, renderTarget->Width(), renderTarget->Height(), 0.0f, 1.0f};
    program.Use();
    program.SetTarget(static_cast<float>(renderTarget->Width()),
                      static_cast<float>(renderTarget->Height()), target == nullptr);
    glViewport(0, 0, static_cast<GLsizei>(renderTarget->Width()),
               static_cast<GLsizei>(renderTarget->Height()));
    ApplyViewport();
}

// Pre-transformed vertices are already in target pixels; the viewport only clips them.
void GlDevice::ApplyViewport() const
{
    const bool backBufferTarget = renderTarget->Texture() == nullptr;
    const auto y =
        backBufferTarget ? renderTarget->Height() - viewport.Y - viewport.Height : viewport.Y;
    glScissor(static_cast<GLint>(viewport.X), static_cast<GLint>(y),
              static_cast<GLsizei>(viewport.Width), static_cast<GLsizei>(viewport.Height));
}

// Only what changed since the last draw reaches GL: each change makes the driver look its
// pipeline up again.
void GlDevice::ApplyDrawState()
{
    if (requested.blendEnabled != applied.blendEnabled)
    {
        requested.blendEnabled ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        applied.blendEnabled = requested.blendEnabled;
    }
    if (requested.blendEnabled && (requested.sourceBlend != applied.sourceBlend ||
                                   requested.destinationBlend != applied.destinationBlend))
    {
        glBlendFunc(BlendFactor(requested.sourceBlend), BlendFactor(requested.destinationBlend));
        applied.sourceBlend = requested.sourceBlend;
        applied.destinationBlend = requested.destinationBlend;
    }
    if (requested.alphaOperation != applied.alphaOperation ||
        requested.alphaArgument1 != applied.alphaArgument1 ||
        requested.alphaArgument2 != applied.alphaArgument2)
    {
        program.SetAlphaStage(static_cast<GLint>(requested.alphaOperation),
                              static_cast<GLint>(requested.alphaArgument1),
                              static_cast<GLint>(requested.alphaArgument2));
        applied.alphaOperation = requested.alphaOperation;
        applied.alphaArgument1 = requested.alphaArgument1;
        applied.alphaArgument2 = requested.alphaArgument2;
    }
    // The white stand-in reads the same under either filter, and the nearest is the cheaper.
    const DWORD mag = texture != nullptr ? requested.magFilter : D3DTEXF_POINT;
    const DWORD min = texture != nullptr ? requested.minFilter : D3DTEXF_POINT;
    if (mag != applied.magFilter || min != applied.minFilter)
    {
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, Filter(mag));
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, Filter(min));
        applied.magFilter = mag;
        applied.minFilter = min;
    }
}

// The colour of an untextured, unblended pair of triangles that fills the viewport, whose
// indices the draw call has checked against its vertex range.
std::optional<D3DCOLOR> GlDevice::ViewportFillOf(INT baseVertexIndex, UINT minVertexIndex,
                                                 UINT numVertices, UINT startIndex,
                                                 UINT primCount) const
{
    if (texture != nullptr || requested.blendEnabled || primCount != 2)
    {
        return std::nullopt;
    }
    const auto* order = reinterpret_cast<const uint16_t*>(indices->Bytes()) + startIndex;
    const auto* base =
        reinterpret_cast<const FixedVertex*>(stream->Bytes() + streamOffset) + baseVertexIndex;
    std::array<const FixedVertex*, 6> corners{};
    for (size_t i = 0; i < corners.size(); ++i)
    {
        if (order[i] < minVertexIndex || order[i] - minVertexIndex >= numVertices)
        {
            return std::nullopt;
        }
        corners[i] = base + order[i];
    }
    return ViewportFill(corners, viewport);
}

HRESULT GlDevice::BeginScene()
{
    if (inScene)
    {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    context->MakeCurrent();
    FollowWindowSize();
    return D3D_OK;
}

HRESULT GlDevice::EndScene()
{
    if (!inScene)
    {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return D3D_OK;
}

// The back buffer scaled to the largest size the window holds at its own shape, centred on
// black; both share the bottom-up row order, so the picture keeps its way up.
HRESULT GlDevice::Present(const RECT*, const RECT*, HWND, const RGNDATA*)
{
    context->MakeCurrent();
    // Drawn into the window already: nothing to copy.
    if (drawsToWindow)
    {
        SDL_GL_SwapWindow(context->Window());
        return D3D_OK;
    }
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(context->Window(), &windowWidth, &windowHeight);
    const auto width = static_cast<int64_t>(backBuffer->Width());
    const auto height = static_cast<int64_t>(backBuffer->Height());
    const auto shownWidth =
        static_cast<GLint>(std::min<int64_t>(windowWidth, windowHeight * width / height));
    const auto shownHeight =
        static_cast<GLint>(std::min<int64_t>(windowHeight, windowWidth * height / width));
    const GLint left = (windowWidth - shownWidth) / 2;
    const GLint bottom = (windowHeight - shownHeight) / 2;

    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // A picture that fills the window leaves no border to clear.
    if (shownWidth != windowWidth || shownHeight != windowHeight)
    {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backBufferFramebuffer);
    // At its own size or a whole multiple of it, every pixel becomes a square of whole pixels,
    // which keeps the lettering sharp; between multiples, filtering spreads the seams evenly.
    const bool wholeMultiple = shownWidth % width == 0 && shownHeight % height == 0;
    glBlitFramebuffer(0, 0, static_cast<GLint>(width), static_cast<GLint>(height), left, bottom,
                      left + shownWidth, bottom + shownHeight, GL_COLOR_BUFFER_BIT,
                      wholeMultiple ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(context->Window());
    glBindFramebuffer(GL_FRAMEBUFFER, TargetFramebuffer());
    glEnable(GL_SCISSOR_TEST);
    return D3D_OK;
}

HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float,
                        DWORD)
{
    // There is no depth or stencil buffer to clear, and no caller clears part of a target.
    if (flags != D3DCLEAR_TARGET || count != 0 || rects != nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    context->MakeCurrent();
    ClearTo(Channel(color, 16), Channel(color, 8), Channel(color, 0), Channel(color, 24));
    return D3D_OK;
}

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DTexture9** textureOut, HANDLE*)
{
    const bool renderTargetUsage = (usage & D3DUSAGE_RENDERTARGET) != 0;
    const auto limit = static_cast<UINT>(maxTextureSize);
    if (textureOut == nullptr || format != D3DFMT_A8R8G8B8 || width == 0 || height == 0 ||
        width > limit || height > limit || (renderTargetUsage && pool != D3DPOOL_DEFAULT) ||
        (usage & ~D3DUSAGE_RENDERTARGET) != 0)
    {
        return D3DERR_INVALIDCALL;
    }
    return HandOut(GlTexture::Create(context, width, height, usage, pool), textureOut);
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL,
                                     IDirect3DVertexBuffer9** vertexBuffer, HANDLE*)
{
    if (vertexBuffer == nullptr || length == 0)
    {
        return D3DERR_INVALIDCALL;
    }
    return HandOut(GlVertexBuffer::Create(context, length), vertexBuffer);
}

HRESULT GlDevice::CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL,
                                    IDirect3DIndexBuffer9** indexBuffer, HANDLE*)
{
    if (indexBuffer == nullptr || length == 0 || format != D3DFMT_INDEX16)
    {
        return D3DERR_INVALIDCALL;
    }
    return HandOut(GlIndexBuffer::Create(context, length), indexBuffer);
}

HRESULT GlDevice::SetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9* surface)
{
    auto* next = dynamic_cast<GlSurface*>(surface);
    if (renderTargetIndex != 0 || next == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    if (next->Texture() != nullptr && next->Texture()->Framebuffer() == 0)
    {
        return D3DERR_INVALIDCALL;
    }
    context->MakeCurrent();
    Replace(renderTarget, next);
    BindTarget();
    return D3D_OK;
}

HRESULT GlDevice::GetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9** surface)
{
    if (renderTargetIndex != 0 || surface == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    renderTarget->AddRef();
    *surface = renderTarget;
    return D3D_OK;
}

HRESULT GlDevice::GetBackBuffer(UINT swapChain, UINT backBufferIndex, D3DBACKBUFFER_TYPE type,
                                IDirect3DSurface9** surface)
{
    if (swapChain != 0 || backBufferIndex != 0 || type != D3DBACKBUFFER_TYPE_MONO ||
        surface == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    backBuffer->AddRef();
    *surface = backBuffer;
    return D3D_OK;
}

HRESULT GlDevice::SetViewport(const D3DVIEWPORT9* next)
{
    if (next == nullptr || next->Width == 0 || next->Height == 0 ||
        next->X > renderTarget->Width() || next->Width > renderTarget->Width() - next->X ||
        next->Y > renderTarget->Height() || next->Height > renderTarget->Height() - next->Y)
    {
        return D3DERR_INVALIDCALL;
    }
    context->MakeCurrent();
    viewport = *next;
    ApplyViewport();
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT9* current)
{
    if (current == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    *current = viewport;
    return D3D_OK;
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    switch (state)
    {
    case D3DRS_ALPHABLENDENABLE:
        requested.blendEnabled = value != 0;
        return D3D_OK;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
        if (BlendFactor(value) == GL_INVALID_ENUM)
        {
            return D3DERR_INVALIDCALL;
        }
        (state == D3DRS_SRCBLEND ? requested.sourceBlend : requested.destinationBlend) = value;
        return D3D_OK;
    case D3DRS_ZENABLE:
    case D3DRS_ZWRITEENABLE:
        // There is no depth buffer to test or write.
        return value == D3DZB_FALSE ? D3D_OK : D3DERR_INVALIDCALL;
    case D3DRS_CULLMODE:
        // Quads are drawn whichever way they wind.
        return value == D3DCULL_NONE ? D3D_OK : D3DERR_INVALIDCALL;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DTexture9* next)
{
    auto* glTexture = dynamic_cast<GlTexture*>(next);
    if (stage != 0 || (next != nullptr && glTexture == nullptr))
    {
        return D3DERR_INVALIDCALL;
    }
    Replace(texture, glTexture);
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage != 0)
    {
        return D3DERR_INVALIDCALL;
    }
    switch (type)
    {
    case D3DTSS_ALPHAOP:
        if (value != D3DTOP_SELECTARG1 && value != D3DTOP_SELECTARG2 && value != D3DTOP_MODULATE)
        {
            return D3DERR_INVALIDCALL;
        }
        requested.alphaOperation = value;
        return D3D_OK;
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
        if (value != D3DTA_DIFFUSE && value != D3DTA_CURRENT && value != D3DTA_TEXTURE)
        {
            return D3DERR_INVALIDCALL;
        }
        (type == D3DTSS_ALPHAARG1 ? requested.alphaArgument1 : requested.alphaArgument2) = value;
        return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT GlDevice::SetSamplerState(DWORD samplerIndex, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (samplerIndex != 0 || (type != D3DSAMP_MAGFILTER && type != D3DSAMP_MINFILTER) ||
        (value != D3DTEXF_POINT && value != D3DTEXF_LINEAR))
    {
        return D3DERR_INVALIDCALL;
    }
    (type == D3DSAMP_MAGFILTER ? requested.magFilter : requested.minFilter) = value;
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex,
                                       UINT minVertexIndex, UINT numVertices, UINT startIndex,
                                       UINT primCount)
{
    if (!inScene || type != D3DPT_TRIANGLELIST || vertexFormat != FixedVertexFormat ||
        stream == nullptr || indices == nullptr || streamStride != FixedVertexSize ||
        primCount == 0 || numVertices == 0 || baseVertexIndex < 0 || stream->IsLocked() ||
        indices->IsLocked())
    {
        return D3DERR_INVALIDCALL;
    }
    const uint64_t indexEnd = (static_cast<uint64_t>(startIndex) + primCount * 3ull) * 2;
    const uint64_t firstVertex = static_cast<uint64_t>(baseVertexIndex) + minVertexIndex;
    const uint64_t vertexFrom = streamOffset + firstVertex * FixedVertexSize;
    const uint64_t vertexTo = vertexFrom + static_cast<uint64_t>(numVertices) * FixedVertexSize;
    if (indexEnd > indices->Length() || vertexTo > stream->Length())
    {
        return D3DERR_INVALIDCALL;
    }
    context->MakeCurrent();
    if (const auto fill =
            ViewportFillOf(baseVertexIndex, minVertexIndex, numVertices, startIndex, primCount))
    {
        // The shader would write the vertex colour with the stage's alpha into every pixel the
        // viewport lets through; a clear writes the same bytes without running it per pixel.
        const float diffuseAlpha = Channel(*fill, 24);
        const float alpha1 = requested.alphaArgument1 == D3DTA_TEXTURE ? 1.0f : diffuseAlpha;
        const float alpha2 = requested.alphaArgument2 == D3DTA_TEXTURE ? 1.0f : diffuseAlpha;
        ClearTo(Channel(*fill, 16), Channel(*fill, 8), Channel(*fill, 0),
                requested.alphaOperation == D3DTOP_SELECTARG2 ? alpha2
                : requested.alphaOperation == D3DTOP_MODULATE ? alpha1 * alpha2
                                                              : alpha1);
        return D3D_OK;
    }
    ApplyDrawState();
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Name() : whiteTexture);

    indices->Upload(static_cast<UINT>(startIndex * 2ull), static_cast<UINT>(indexEnd));
    stream->Upload(static_cast<UINT>(vertexFrom), static_cast<UINT>(vertexTo));
    // The vertex array keeps the element buffer and the attribute pointers between draws.
    if (appliedIndices != indices->Name())
    {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->Name());
        appliedIndices = indices->Name();
    }
    if (appliedStream != stream->Name() || appliedStreamOffset != streamOffset)
    {
        const auto at = [this](GLsizei offset)
        {
            return reinterpret_cast<const void*>(static_cast<uintptr_t>(streamOffset + offset));
        };
        glVertexAttribPointer(GlProgram::PositionAttribute, 4, GL_FLOAT, GL_FALSE, FixedVertexSize,
                              at(0));
        // GL_BGRA reads a D3DCOLOR's bytes (blue, green, red, alpha) into red, green, blue, alpha.
        glVertexAttribPointer(GlProgram::DiffuseAttribute, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                              FixedVertexSize, at(DiffuseOffset));
        glVertexAttribPointer(GlProgram::TexCoordAttribute, 2, GL_FLOAT, GL_FALSE, FixedVertexSize,
                              at(TexCoordOffset));
        appliedStream = stream->Name();
        appliedStreamOffset = streamOffset;
    }
    glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(primCount * 3), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(static_cast<uintptr_t>(startIndex) * 2),
                             baseVertexIndex);
    return D3D_OK;
}

HRESULT GlDevice::SetFVF(DWORD fvf)
{
    if (fvf != FixedVertexFormat)
    {
        return D3DERR_INVALIDCALL;
    }
    vertexFormat = fvf;
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                  UINT offsetInBytes, UINT stride)
{
    auto* buffer = dynamic_cast<GlVertexBuffer*>(streamData);
    if (streamNumber != 0 || (streamData != nullptr && buffer == nullptr))
    {
        return D3DERR_INVALIDCALL;
    }
    Replace(stream, buffer);
    // A buffer released since may have left its name to this one.
    appliedStream = 0;
    streamOffset = offsetInBytes;
    streamStride = stride;
    return D3D_OK;
}

HRESULT GlDevice::SetIndices(IDirect3DIndexBuffer9* indexData)
{
    auto* buffer = dynamic_cast<GlIndexBuffer*>(indexData);
    if (indexData != nullptr && buffer == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    Replace(indices, buffer);
    appliedIndices = 0;
    return D3D_OK;
}

} // namespace platform::gl
