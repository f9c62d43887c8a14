#include "win32_test_support.h"

#include <shlobj.h>

#include <cstring>
#include <filesystem>

#include "tests/support/bmp_files.h"

Picture makePicture(int32_t width, int32_t height,
                    const std::function<uint32_t(int32_t, int32_t)>& color) {
    Picture picture{width, height, {}};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            picture.pixels.push_back(color(x, y) & 0xFFFFFF);
        }
    }
    return picture;
}

Picture pictureOf(const ImageReader& image) {
    return makePicture(image.width(), image.height(),
                       [&](int32_t x, int32_t y) { return image.pixel(x, y); });
}

Picture stripes(uint32_t color) {
    return makePicture(
        480, 320, [color](int32_t x, int32_t y) { return (x / 16 + y / 16) % 2 ? kBlue : color; });
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    while (times-- > 0) {
        all += text;
    }
    return all;
}

std::vector<uint8_t> encodeBmp24(const Picture& picture) {
    return bmpFile24(picture.width, picture.height,
                     [&](int32_t x, int32_t y) { return picture.at(x, y); });
}

// GetGuiResources counts nothing under Wine, but its handle table answers
// GetObjectType for a bare slot index.
int gdiObjects() {
    int live = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) {
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0 ? 1 : 0;
    }
    return live;
}

int drainQuitMessages(int* exitCode) {
    int quits = 0;
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
        if (message.message != WM_QUIT) {
            DispatchMessageA(&message);
        } else if (++quits, exitCode != nullptr) {
            *exitCode = static_cast<int>(message.wParam);
        }
    }
    return quits;
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); !done(); drainQuitMessages()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

ViewSurface::ViewSurface(int32_t width, int32_t height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    dc_.select(bitmap_.get());
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

LayoutRect placedAt(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

// The test program's own folder, in the build tree, wherever it was started from.
static std::wstring programFolder() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\'));
}

HeldFile::HeldFile(const std::string& share, const std::string& path) {
    const std::wstring holder = programFolder() + L"\\hoppel_file_holder.exe";
    std::wstring command =
        L"\"" + holder + L"\" " + widened(share.c_str()) + L" \"" + widened(path.c_str()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    // Its event exists before it runs, named by its process id.
    if (!CreateProcessW(holder.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process_)) {
        ADD_FAILURE() << "cannot start the file holder";
        return;
    }
    const std::wstring name = L"hoppel-holder-" + std::to_wstring(process_.dwProcessId);
    HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ResumeThread(process_.hThread);
    const HANDLE either[] = {holding, process_.hProcess};
    held_ = WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
    CloseHandle(holding);
}

HeldFile::~HeldFile() {
    if (process_.hProcess != nullptr) {
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 20000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

void MainWindowTest::SetUp() {
    MainWindow::registerClass(instance_);
    recreate();
    folder_ = utf8(programFolder().c_str()) + "\\files-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    // Empty at every start: a case sees only the files it made.
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::u8path(folder_), error);
    CreateDirectoryA(folder_.c_str(), nullptr);
}

void MainWindowTest::recreate(std::function<UINT(HWND)> windowDpi, RandomSource* random) {
    window_.reset();
    drainQuitMessages();
    window_ = std::make_unique<MainWindow>(instance_, random ? *random : random_);
    DialogHooks& hooks = window_->hooks();
    if (windowDpi)
        hooks.windowDpi = windowDpi;
    hooks.askSavePath = [this](OPENFILENAMEW& dialog) {
        saveDialogs_.push_back(dialog);
        namesOffered_.push_back(utf8(dialog.lpstrFile));
        // As the real dialog: a name its buffer cannot hold fails it.
        const std::wstring name = widened(nextSavePath_.c_str());
        if (name.empty() || name.size() >= dialog.nMaxFile) {
            return false;
        }
        lstrcpynW(dialog.lpstrFile, name.c_str(), static_cast<int>(dialog.nMaxFile));
        return true;
    };
    hooks.showMessage = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
        shown_.push_back({owner, utf8(text), utf8(caption), type});
    };
    hooks.openAddress = [this](const wchar_t* address) { addresses_.push_back(utf8(address)); };
    main_ = window_->create();
    ASSERT_NE(main_, nullptr);
}

void MainWindowTest::loadTestPicture() {
    const Picture picture = makePicture(480, 320, [](int32_t x, int32_t y) {
        // The texture makes a misplaced row or column show.
        return x < 120 ? kBlue : kPeach + static_cast<uint32_t>(((x + 3 * y) % 7) << 8);
    });
    ASSERT_TRUE(writeFile(file("test-picture.bmp"), encodeBmp24(picture)));
    ASSERT_TRUE(window_->app().loadPictureFile(file("test-picture.bmp").c_str()));
}

HDROP MainWindowTest::drop(const std::vector<std::string>& paths, bool wide) {
    std::string names;
    for (const std::string& path : paths) {
        names += path + '\0';
    }
    names += '\0';
    if (wide) {
        std::vector<wchar_t> wideNames(names.size());
        const size_t units = MultiByteToWideChar(CP_UTF8, 0, names.data(), int(names.size()),
                                                 wideNames.data(), int(wideNames.size()));
        return dropUnits(std::wstring(wideNames.data(), units - 1));
    }
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(header + 1, names.data(), names.size());
    GlobalUnlock(memory);
    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    return static_cast<HDROP>(memory);
}

HDROP MainWindowTest::dropUnits(const std::wstring& names) {
    const size_t bytes = (names.size() + 1) * sizeof(wchar_t);  // the list's own end too
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.c_str(), bytes);
    GlobalUnlock(memory);
    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    return static_cast<HDROP>(memory);
}

::testing::AssertionResult MainWindowTest::savedAsShown(const std::string& path) {
    if (!shown_.empty()) {
        return ::testing::AssertionFailure() << "a message box: " << shown_[0].text;
    }
    return readWholeFile(path) == encodeBmp24({480, 320, current()})
               ? ::testing::AssertionSuccess()
               : ::testing::AssertionFailure() << path << " does not hold the picture shown";
}

std::string MainWindowTest::text(HWND window) const {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return utf8(buffer);
}

std::string utf8(const wchar_t* wide) {
    std::string text;
    EXPECT_TRUE(toUtf8(wide, &text));
    return text;
}
