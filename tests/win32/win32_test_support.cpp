#include "win32_test_support.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

int32_t ScriptedRandom::next() {
    if (position_ < script.size()) {
        return script[position_++];
    }
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
}

Picture makePicture(int32_t width, int32_t height,
                    const std::function<uint32_t(int32_t, int32_t)>& color) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            picture.pixels[static_cast<size_t>(y) * width + x] = color(x, y) & 0xFFFFFF;
        }
    }
    return picture;
}

namespace {

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

uint32_t get16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}

uint32_t get32(const uint8_t* p) {
    return get16(p) | (get16(p + 2) << 16);
}

}  // namespace

std::vector<uint8_t> encodeBmp24(const Picture& picture) {
    const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) / 4 * 4;
    const size_t size = 54 + stride * picture.height;
    std::vector<uint8_t> out(size, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(size));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, static_cast<uint32_t>(picture.width));
    put32(out, 22, static_cast<uint32_t>(picture.height));
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, static_cast<uint32_t>(stride * picture.height));
    for (int32_t y = 0; y < picture.height; ++y) {
        uint8_t* row = out.data() + 54 + stride * y;
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t word = picture.at(x, y);
            row[3 * x] = word & 0xFF;
            row[3 * x + 1] = (word >> 8) & 0xFF;
            row[3 * x + 2] = (word >> 16) & 0xFF;
        }
    }
    return out;
}

bool decodeBmp24(const uint8_t* bytes, size_t size, Picture* picture) {
    if (bytes == nullptr || size < 54 || bytes[0] != 'B' || bytes[1] != 'M' ||
        get16(bytes + 28) != 24) {
        return false;
    }
    const int32_t width = static_cast<int32_t>(get32(bytes + 18));
    const int32_t height = static_cast<int32_t>(get32(bytes + 22));
    const uint32_t offset = get32(bytes + 10);
    if (width < 1 || height < 1) {
        return false;
    }
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (offset + stride * height > size) {
        return false;
    }
    *picture = makePicture(width, height, [&](int32_t x, int32_t y) {
        const uint8_t* p = bytes + offset + stride * y + 3 * x;
        return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    });
    return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    return std::fclose(file) == 0 && written == bytes.size();
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(file);
    return bytes;
}

int64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

Picture skinAndBluePicture() {
    return makePicture(480, 320, [](int32_t x, int32_t y) {
        // A little texture, so that a misplaced row or column shows.
        return x < kBlueColumns ? kBlue : kSkin + static_cast<uint32_t>(((x + 3 * y) % 7) << 8);
    });
}

Picture pictureOf(const ImageReader& image) {
    return makePicture(image.width(), image.height(),
                       [&](int32_t x, int32_t y) { return image.pixel(x, y); });
}

HDROP makeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) {
        size += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* block = static_cast<uint8_t*>(GlobalLock(memory));
    auto* header = reinterpret_cast<DROPFILES*>(block);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* names = reinterpret_cast<char*>(block + sizeof(DROPFILES));
    for (const std::string& path : paths) {
        std::memcpy(names, path.c_str(), path.size() + 1);
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

int drainQuitMessages(int* exitCode) {
    int quits = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ++quits;
            if (exitCode != nullptr) {
                *exitCode = static_cast<int>(message.wParam);
            }
        } else {
            DispatchMessageA(&message);
        }
    }
    return quits;
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return done();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
    return true;
}

ViewSurface::ViewSurface() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kViewWidth;
    info.bmiHeader.biHeight = -kViewHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
}

ViewSurface::~ViewSurface() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void ViewSurface::fill(uint32_t rgb) {
    GdiFlush();
    for (int i = 0; i < kViewWidth * kViewHeight; ++i) {
        bits_[i] = rgb;
    }
}

uint32_t ViewSurface::at(int32_t x, int32_t y) const {
    GdiFlush();
    return bits_[y * kViewWidth + x] & 0xFFFFFF;
}

int ViewSurface::count(const RECT& area, uint32_t rgb) const {
    int n = 0;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            n += at(x, y) == rgb ? 1 : 0;
        }
    }
    return n;
}

void MainWindowTest::SetUp() {
    instance_ = GetModuleHandleA(nullptr);
    drainQuitMessages();
    MainWindow::registerClass(instance_);
    window_ = std::make_unique<MainWindow>(instance_, random_);
    DialogHooks& hooks = window_->hooks();
    hooks.askSavePath = [this](OPENFILENAMEA& dialog) {
        log_.saveRecords.push_back(dialog);
        log_.saveNamesOffered.emplace_back(dialog.lpstrFile);
        if (log_.nextSavePath.empty()) {
            return false;
        }
        lstrcpynA(dialog.lpstrFile, log_.nextSavePath.c_str(), static_cast<int>(dialog.nMaxFile));
        return true;
    };
    hooks.showMessage = [this](HWND owner, const char* text, const char* caption, UINT type) {
        log_.messages.push_back({owner, text, caption, type});
    };
    hooks.openAddress = [this](const char* address) { log_.addresses.emplace_back(address); };
    main_ = window_->create();
    ASSERT_NE(main_, nullptr);

    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    folder_ = std::string(here) + "\\files-" + test->test_suite_name() + "-" + test->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
}

void MainWindowTest::TearDown() {
    window_.reset();
    drainQuitMessages();
}

void MainWindowTest::loadTestPicture() {
    const std::string path = folder_ + "\\test-picture.bmp";
    ASSERT_TRUE(writeFile(path, encodeBmp24(skinAndBluePicture())));
    ASSERT_TRUE(window_->app().loadPictureFile(path.c_str()));
}

LPARAM MainWindowTest::clientOf(int32_t x, int32_t y) {
    return MAKELPARAM(x + 1, 319 - y);
}

void MainWindowTest::command(WORD id) {
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::string MainWindowTest::text(HWND window) const {
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}
