// Window classes and handles, without any display: SDL windows are the caller's.

#include "platform/window/WindowRegistry.h"

#include <gtest/gtest.h>

using platform::sdl::WindowRegistry;

namespace
{

LRESULT First(HWND, UINT, WPARAM, LPARAM)
{
    return 1;
}

LRESULT Second(HWND, UINT, WPARAM, LPARAM)
{
    return 2;
}

WNDCLASSW Class(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSW windowClass{};
    windowClass.lpszClassName = name;
    windowClass.lpfnWndProc = procedure;
    return windowClass;
}

} // namespace

TEST(WindowRegistry, ClassNeedsANameAndAProcedureAndIsRegisteredOnce)
{
    WindowRegistry registry;
    const WNDCLASSW nameless = Class(nullptr, First);
    const WNDCLASSW withoutProcedure = Class(L"Main", nullptr);
    const WNDCLASSW main = Class(L"Main", First);
    const WNDCLASSW again = Class(L"Main", Second);
    const WNDCLASSW other = Class(L"Other", Second);

    EXPECT_EQ(registry.Register(nullptr), 0);
    EXPECT_EQ(registry.Register(&nameless), 0);
    EXPECT_EQ(registry.Register(&withoutProcedure), 0);
    EXPECT_EQ(registry.Register(&main), 1);
    EXPECT_EQ(registry.Register(&again), 0) << "a name is registered once";
    EXPECT_EQ(registry.Register(&other), 2);

    EXPECT_EQ(registry.ProcedureOf(L"Main"), &First);
    EXPECT_EQ(registry.ProcedureOf(L"Other"), &Second);
    EXPECT_EQ(registry.ProcedureOf(L"main"), nullptr);
    EXPECT_EQ(registry.ProcedureOf(nullptr), nullptr);
}

TEST(WindowRegistry, HandleIsLiveUntilDestroyedAndStaysAllocatedAfter)
{
    WindowRegistry registry;
    HWND__ record;
    record.sdlId = 7;
    HWND first = registry.Add(record);
    record.sdlId = 9;
    HWND second = registry.Add(record);
    HWND__ stranger;

    EXPECT_EQ(registry.Live(first), first);
    EXPECT_EQ(registry.Live(nullptr), nullptr);
    EXPECT_EQ(registry.Live(&stranger), nullptr);
    EXPECT_EQ(registry.LiveWithSdlId(9), second);
    EXPECT_EQ(registry.LiveWithSdlId(8), nullptr);

    registry.Live(first)->destroyed = true;
    EXPECT_EQ(registry.Live(first), nullptr);
    EXPECT_EQ(registry.LiveWithSdlId(7), nullptr);
    EXPECT_EQ(registry.Live(second), second);
    ASSERT_EQ(registry.All().size(), 2u);
    EXPECT_EQ(registry.All()[0].get(), first);
}
