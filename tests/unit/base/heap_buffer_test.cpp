#include "base/heap_buffer.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(HeapBuffer, ZeroFilledOfTheAskedSize) {
    HeapBuffer<wchar_t> const buffer(300);
    ASSERT_NE(nullptr, buffer.get());
    EXPECT_GE(HeapSize(GetProcessHeap(), 0, buffer.get()), 300 * sizeof(wchar_t));
    for (int i = 0; i < 300; ++i) ASSERT_EQ(0, buffer.get()[i]) << i;
    HeapBuffer<char> const none(0);
    EXPECT_NE(nullptr, none.get()) << "an empty buffer is still one to write a terminator into";
}

// Enough memory that it cannot be had: null, not a crash.
TEST(HeapBuffer, NullWhenTheHeapHasNoRoom) {
    HeapBuffer<char> const huge(size_t(1) << 62);
    EXPECT_EQ(nullptr, huge.get());
}

HeapBuffer<wchar_t> MadeForTheCaller(const wchar_t* text) {
    HeapBuffer<wchar_t> buffer(size_t(lstrlenW(text)) + 1);
    if (buffer.get()) lstrcpyW(buffer.get(), text);
    return buffer;
}

// Handed on or released, the memory has one owner: it is freed once, by the last.
TEST(HeapBuffer, HandedOnAndReleasedBuffersHaveOneOwner) {
    HeapBuffer<wchar_t> handed = MadeForTheCaller(L"kept");
    ASSERT_NE(nullptr, handed.get());
    EXPECT_EQ(std::wstring(L"kept"), handed.get());
    HeapBuffer<wchar_t> second(static_cast<HeapBuffer<wchar_t>&&>(handed));
    EXPECT_EQ(nullptr, handed.get());
    wchar_t* const released = second.Release();
    EXPECT_EQ(nullptr, second.get());
    ASSERT_NE(nullptr, released);
    EXPECT_EQ(std::wstring(L"kept"), released);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, released)) << "freed by a buffer that gave it up";
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, released));
    HeapBuffer<double> const overflowing(~size_t(0) / 4);
    EXPECT_EQ(nullptr, overflowing.get()) << "a size past the address space";
}

}  // namespace
