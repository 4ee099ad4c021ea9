// Each wrapper must really give back what it holds: a wrapper that forgets its window or its
// previous object leaks quietly until a long-running tray program runs out of GDI handles.
#include "base/scoped_gdi.h"

#include <gtest/gtest.h>

namespace {

class ScopedGdiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, window_);
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(ScopedGdiTest, WindowDCIsReleasedForItsWindow) {
    HDC held;
    {
        ScopedDC dc = ScopedDC::ForWindow(window_);
        held = dc;
        ASSERT_NE(nullptr, held);
    }
    // A DC already given back cannot be released a second time.
    EXPECT_EQ(0, ReleaseDC(window_, held));

    ScopedDC dc = ScopedDC::ForWindow(window_);
    EXPECT_TRUE(dc.Release());
    EXPECT_EQ(nullptr, dc.get());
    EXPECT_FALSE(dc.Release()) << "released twice";
}

TEST_F(ScopedGdiTest, ScreenDCIsReleased) {
    HDC held;
    {
        ScopedDC screen = ScopedDC::ForWindow(nullptr);
        held = screen;
        ASSERT_NE(nullptr, held);
        EXPECT_EQ(OBJ_DC, GetObjectType(held));
    }
    EXPECT_EQ(0, ReleaseDC(nullptr, held));
}

TEST_F(ScopedGdiTest, MemoryDCIsDeleted) {
    HDC held;
    {
        ScopedDC memory = ScopedDC::Compatible(nullptr);
        held = memory;
        ASSERT_EQ(OBJ_MEMDC, GetObjectType(held));
    }
    EXPECT_EQ(0u, GetObjectType(held));
}

TEST_F(ScopedGdiTest, SelectionIsUndoneAndObjectDeleted) {
    ScopedDC memory = ScopedDC::Compatible(nullptr);
    HGDIOBJ const original = GetCurrentObject(memory, OBJ_BITMAP);
    HBITMAP held;
    {
        ScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(memory, 8, 8));
        held = bitmap;
        ASSERT_EQ(OBJ_BITMAP, GetObjectType(held));
        {
            ScopedSelect select(memory, bitmap);
            EXPECT_EQ(held, GetCurrentObject(memory, OBJ_BITMAP));
        }
        EXPECT_EQ(original, GetCurrentObject(memory, OBJ_BITMAP)) << "the previous bitmap is back";
    }
    EXPECT_EQ(0u, GetObjectType(held)) << "the bitmap was deleted";
}

TEST_F(ScopedGdiTest, ReleasedObjectIsHandedOnNotDeleted) {
    HPEN kept;
    {
        ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        kept = pen.Detach();
        EXPECT_EQ(nullptr, pen.get());
    }
    EXPECT_EQ(OBJ_PEN, GetObjectType(kept));
    DeleteObject(kept);
}

TEST_F(ScopedGdiTest, DetachedMemoryDCIsKept) {
    HDC kept;
    {
        ScopedDC memory = ScopedDC::Compatible(nullptr);
        kept = memory.Detach();
    }
    EXPECT_EQ(OBJ_MEMDC, GetObjectType(kept));
    DeleteDC(kept);
}

TEST_F(ScopedGdiTest, ResetDeletesTheObjectItReplaces) {
    HBRUSH const first = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH const second = CreateSolidBrush(RGB(4, 5, 6));
    {
        ScopedGdiObject<HBRUSH> brush(nullptr);
        brush.Reset(first);
        brush.Reset(first);
        EXPECT_EQ(OBJ_BRUSH, GetObjectType(first)) << "taking the same object again keeps it";
        brush.Reset(second);
        EXPECT_EQ(0u, GetObjectType(first));
        EXPECT_EQ(second, brush.get());
    }
    EXPECT_EQ(0u, GetObjectType(second));
}

TEST_F(ScopedGdiTest, NullHandlesAreHarmless) {
    ScopedGdiObject<HBRUSH> none(nullptr);
    ScopedDC memory = ScopedDC::Compatible(nullptr);
    ScopedSelect nothing(memory, nullptr);
    EXPECT_EQ(nullptr, none.get());
}

}  // namespace
