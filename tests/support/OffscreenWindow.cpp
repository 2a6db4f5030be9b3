#include "tests/support/OffscreenWindow.h"

#include <epoxy/gl.h>

#include <cstdlib>

namespace TestSupport
{

namespace
{

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<uint32_t> Read(int width, int height, bool bottomUp)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    if (!bottomUp)
    {
        return pixels;
    }
    std::vector<uint32_t> flipped(pixels.size());
    for (int row = 0; row < height; ++row)
    {
        const auto* from = pixels.data() + static_cast<size_t>(height - 1 - row) * width;
        std::copy(from, from + width, flipped.data() + static_cast<size_t>(row) * width);
    }
    return flipped;
}

} // namespace

OffscreenWindow::OffscreenWindow(int width, int height)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = L"PAKEMINO_TEST_OFFSCREEN";
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, windowClass.lpszClassName, L"offscreen", WS_OVERLAPPEDWINDOW, 0, 0,
                             width, height, nullptr, nullptr, nullptr, nullptr);
}

OffscreenWindow::~OffscreenWindow()
{
    if (window != nullptr)
    {
        DestroyWindow(window);
    }
}

std::vector<uint32_t> ReadBackBuffer(int width, int height)
{
    return Read(width, height, true);
}

std::vector<uint32_t> ReadBoundTarget(int width, int height)
{
    return Read(width, height, false);
}

std::vector<uint32_t> ReadWindow(int width, int height)
{
    GLint bound = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    std::vector<uint32_t> pixels = Read(width, height, true);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(bound));
    return pixels;
}

} // namespace TestSupport
