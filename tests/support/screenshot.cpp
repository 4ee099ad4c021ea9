#include "screenshot.h"

#include "base/core/crc32.h"

namespace {

// The largest payload of one stored deflate block.
size_t const kStoredBlockBytes = 65535;

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void PutBigEndian(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>* out, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    size_t const start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out->data() + start, out->size() - start));
}

// A zlib stream of stored blocks: the deflate format's way of carrying bytes uncompressed.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        size_t const size = raw.size() - offset < kStoredBlockBytes ? raw.size() - offset : kStoredBlockBytes;
        bool const last = offset + size == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(uint8_t(size));
        out.push_back(uint8_t(size >> 8));
        out.push_back(uint8_t(~size));
        out.push_back(uint8_t(~size >> 8));
        out.insert(out.end(), raw.begin() + ptrdiff_t(offset), raw.begin() + ptrdiff_t(offset + size));
        offset += size;
    } while (offset < raw.size());
    PutBigEndian(&out, Adler32(raw));
    return out;
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint32_t* pixels) {
    std::vector<uint8_t> rows;
    rows.reserve(size_t(height) * (size_t(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            uint32_t const pixel = pixels[size_t(y) * width + x];
            rows.push_back(uint8_t(pixel >> 16));
            rows.push_back(uint8_t(pixel >> 8));
            rows.push_back(uint8_t(pixel));
        }
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(&header, uint32_t(width));
    PutBigEndian(&header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filters, no interlace
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", StoredZlib(rows));
    PutChunk(&png, "IEND", {});
    return png;
}

bool WritePngFile(const std::wstring& path, int width, int height, const uint32_t* pixels) {
    std::vector<uint8_t> const png = EncodePng(width, height, pixels);
    HANDLE const out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool const ok = WriteFile(out, png.data(), DWORD(png.size()), &written, nullptr) && written == png.size();
    CloseHandle(out);
    return ok;
}

std::wstring ScreenshotDir() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring dir = path;
    dir = dir.substr(0, dir.find_last_of(L"\\/")) + L"\\..\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool SaveScreenshot(const RECT& screenRect, const std::wstring& path) {
    int const width = screenRect.right - screenRect.left;
    int const height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = TopDownInfo(width, height);
    void* bits = nullptr;
    HDC const screen = GetDC(nullptr);
    HDC const memory = CreateCompatibleDC(screen);
    HBITMAP const bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ const old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, screenRect.left, screenRect.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        ok = WritePngFile(path, width, height, static_cast<const uint32_t*>(bits));
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}
