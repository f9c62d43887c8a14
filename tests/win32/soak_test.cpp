// The real program under long, mixed use: pointer moves with their repaints,
// slaps with their sounds, drops of good and bad files, Clear and auto mode,
// then destruction. Afterwards neither memory, GDI objects nor kernel handles
// grew, and its picture equals a replay of the same inputs on the same logic
// over a fake platform: the replay can only find faults in the Win32
// translation of the inputs, not in the logic, which it shares.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <random>

#include "app/seeded_random.h"
#include "stream/block.h"
#include "stream/little_endian.h"
#include "tests/fuzz/bmp_seed_files.h"
#include "tests/support/bmp_files.h"
#include "tests/support/collecting_stream.h"
#include "tests/support/fake_platform.h"
#include "tests/support/win32_resources.h"
#include "win32_test_support.h"

// Every object this program makes with new is counted, so that one lost per
// paint, slap or drop shows. The count is this program's own: only the soak
// links it.
namespace {
std::atomic<long long> liveObjects{0};
}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    ++liveObjects;
    return p;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        --liveObjects;
        std::free(p);
    }
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

// Live blocks of the process heap: the program's and the platform's alike,
// so their bound leaves a little slack (the platform's threads allocate on
// their own timing).
long long heapBlocks() {
    HANDLE heap = GetProcessHeap();
    long long busy = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? 1 : 0;
    }
    HeapUnlock(heap);
    return busy;
}

// Open kernel handles of the process. Wine answers GetProcessHandleCount with
// 0, which no real process holds; there every handle value is tried instead.
long kernelHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) {
        return long(count);
    }
    long open = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags;
        open += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return open;
}

struct Usage {
    long long objects;  // made with new
    int32_t blocks;     // handed out by allocBlock
    long long heap;
    int gdi;
    long handles;
};
Usage usage() {
    return {liveObjects.load(), liveBlocks(), heapBlocks(), gdiObjects(), kernelHandles()};
}

// A short PCM WAV.
std::vector<uint8_t> tinyWav(uint8_t sample) {
    std::vector<uint8_t> wav(44 + 64, sample);
    std::memcpy(&wav[0], "RIFF", 4);
    storeLe32(&wav[4], static_cast<uint32_t>(wav.size() - 8));
    std::memcpy(&wav[8], "WAVEfmt ", 8);
    storeLe32(&wav[16], 16);
    storeLe16(&wav[20], 1);  // PCM, mono, 16 bits, 44100 Hz
    storeLe16(&wav[22], 1);
    storeLe32(&wav[24], 44100);
    storeLe32(&wav[28], 88200);
    storeLe16(&wav[32], 2);
    storeLe16(&wav[34], 16);
    std::memcpy(&wav[36], "data", 4);
    storeLe32(&wav[40], 64);
    return wav;
}

enum class Input { Move, Click, Drop, Clear, AutoRun };
struct Event {
    Input input;
    int x = 0, y = 0;  // client position; for a drop, the file's index
};
constexpr int kAutoTicksPerRun = 6;

class ProgramSoak : public MainWindowTest {
protected:
    // The files dropped in turn: pictures that load, and files that must not.
    void makeFiles();
    void apply(const Event& event);
    static void replay(App& app, const Event& event, const std::vector<std::string>& files);

    // The steps of the soak, in order.
    void checkTheCountsSeeWhatTheyCount();
    void loadBuiltIns();
    void openWindow();
    void closeWindow();
    std::vector<Event> runShuffledInputs();
    void expectTheLogicAloneEndsTheSame(const std::vector<Event>& events);
    void expectDestructionGivesBackWhatCreationTook(const std::vector<Event>& events);

    std::vector<std::string> files_;  // even: accepted, odd: rejected
    std::vector<uint8_t> soundFiles_[3];
    Sound sounds_[3];
    const uint8_t* picture_ = nullptr;
    const uint8_t* hand_ = nullptr;
    int32_t pictureSize_ = 0, handSize_ = 0;
    static constexpr uint32_t kSeed = 20261207;
    SeededRandom seeded_{kSeed};
};

void ProgramSoak::makeFiles() {
    std::mt19937 cut(11);
    std::vector<std::vector<uint8_t>> good, bad;
    for (uint32_t shade = 0; shade < 4; ++shade) {
        const Picture picture = makePicture(480, 320, [shade](int32_t x, int32_t y) {
            return x < 60 + 40 * static_cast<int32_t>(shade)
                       ? kBlue
                       : kPeach - (shade << 16) + static_cast<uint32_t>(((x * y) % 5) << 8);
        });
        good.push_back(encodeBmp24(picture));
    }
    Dib32Image wide(480, 320);  // the 32-bit format, 614,454 bytes
    wide.copyFrom(state().currentPicture.get());
    CollectingStream wideFile;
    ASSERT_TRUE(wide.save(&wideFile, 0));
    good.push_back(wideFile.written);

    for (const NamedFile& rejected : rejectedPictureFiles())
        bad.push_back(rejected.second);
    for (int i = 0; i < 20; ++i) {  // cut short anywhere, also past the size test
        const std::vector<uint8_t>& whole = good[i % good.size()];
        const size_t length = std::uniform_int_distribution<size_t>(0, whole.size() - 1)(cut);
        bad.emplace_back(whole.begin(), whole.begin() + length);
    }
    for (const auto& seed : bmpSeedFiles()) {  // as they are, and padded past the size test
        bad.push_back(seed.second);
        std::vector<uint8_t> padded = seed.second;
        padded.resize(std::max<size_t>(padded.size(), 460854), 0);
        bad.push_back(padded);
    }
    for (size_t i = 0; i < std::max(good.size(), bad.size()); ++i) {
        for (const auto* kind : {&good, &bad}) {
            const std::string name =
                file((kind == &good ? "good-" : "bad-") + std::to_string(i) + ".bmp");
            ASSERT_TRUE(writeFile(name, (*kind)[i % kind->size()]));
            files_.push_back(name);
        }
    }
}

void ProgramSoak::apply(const Event& event) {
    switch (event.input) {
    case Input::Move: move(event.x, event.y); break;
    case Input::Click: click(event.x, event.y); break;
    case Input::Drop: drop({files_[event.x]}); break;
    case Input::Clear: command(IDC_CLEAR); break;
    case Input::AutoRun:
        command(IDC_AUTO);
        KillTimer(main_, kAutoTimerId);  // the ticks come from here, counted
        for (int i = 0; i < kAutoTicksPerRun; ++i) {
            SendMessageA(main_, WM_TIMER, kAutoTimerId, 0);
        }
        command(IDC_AUTO);
        break;
    }
}

void ProgramSoak::replay(App& app, const Event& event, const std::vector<std::string>& files) {
    switch (event.input) {
    case Input::Move: app.pointerMoved(uint16_t(event.x), uint16_t(event.y)); break;
    case Input::Click: app.leftButtonDown(uint16_t(event.x), uint16_t(event.y)); break;
    case Input::Drop: app.pictureDropped(files[event.x].c_str()); break;
    case Input::Clear: app.clear(); break;
    case Input::AutoRun:
        app.toggleAutoMode();
        for (int i = 0; i < kAutoTicksPerRun; ++i) {
            app.autoTick();
        }
        app.toggleAutoMode();
        break;
    }
}

// Short sounds: each slap still goes through the real player into the sink,
// without the built-in sounds' half second each.
void ProgramSoak::loadBuiltIns() {
    for (int i = 0; i < 3; ++i) {
        soundFiles_[i] = tinyWav(uint8_t(i + 1));
        sounds_[i] = {soundFiles_[i].data(), int32_t(soundFiles_[i].size())};
    }
    picture_ = resourceBytes("RADAV_BMP", "DIB_PIXEL", &pictureSize_);
    hand_ = resourceBytes("HAND_BMP", "DIB_PIXEL", &handSize_);
    ASSERT_TRUE(picture_ != nullptr && hand_ != nullptr);
}

void ProgramSoak::checkTheCountsSeeWhatTheyCount() {
    const Usage before = usage();
    GdiObject<HBRUSH> brushes[10];
    for (GdiObject<HBRUSH>& brush : brushes) {
        brush.reset(CreateSolidBrush(RGB(1, 2, 3)));
    }
    HANDLE events[3];
    for (HANDLE& event : events) {
        event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    uint8_t* block = allocBlock(100);
    auto* object = new int(1);
    const Usage during = usage();
    // The heap count is for what the Win32 side takes apart from allocBlock,
    // such as a drop's file list.
    HGLOBAL global = GlobalAlloc(GHND, 100);
    const long long heapWithGlobal = heapBlocks();
    GlobalFree(global);
    delete object;
    freeBlock(block);
    for (HANDLE event : events) {
        CloseHandle(event);
    }
    for (GdiObject<HBRUSH>& brush : brushes) {
        brush.reset();
    }
    ASSERT_EQ(during.gdi - before.gdi, 10) << "GDI objects cannot be counted here";
    ASSERT_EQ(during.blocks - before.blocks, 1);
    ASSERT_EQ(heapWithGlobal - during.heap, 1) << "heap blocks cannot be counted here";
    ASSERT_EQ(during.objects - before.objects, 1);
    ASSERT_EQ(during.handles - before.handles, 3) << "kernel handles cannot be counted here";
}

// Shown (a hidden window is never painted), with the seeded source.
void ProgramSoak::openWindow() {
    recreate(nullptr, &seeded_);
    ShowWindow(main_, SW_SHOWNOACTIVATE);
    UpdateWindow(main_);
    window_->app().loadBuiltIns(picture_, pictureSize_, hand_, handSize_, sounds_);
}

void ProgramSoak::closeWindow() {
    window_.reset();
    drainQuitMessages();
}

// The inputs, in a shuffled order; the slaps aim at the figure of the picture
// shown at the time, so that each of them slaps. Each kind comes once first:
// what a first paint, slap or drop sets up for good is not a leak.
std::vector<Event> ProgramSoak::runShuffledInputs() {
    std::mt19937 inputs(5);
    std::vector<Input> plan;
    plan.insert(plan.end(), 20000, Input::Move);
    plan.insert(plan.end(), 1000, Input::Click);
    plan.insert(plan.end(), 200, Input::Drop);
    plan.insert(plan.end(), 100, Input::Clear);
    plan.insert(plan.end(), 20, Input::AutoRun);
    std::shuffle(plan.begin(), plan.end(), inputs);
    const Input kinds[] = {Input::Drop,  Input::Drop,  Input::Move,
                           Input::Click, Input::Clear, Input::AutoRun};
    plan.insert(plan.begin(), std::begin(kinds), std::end(kinds));

    std::vector<Event> events;
    int drops = 0;
    Usage warm = {};
    const DWORD start = GetTickCount();
    for (size_t i = 0; i < plan.size(); ++i) {
        Event event{plan[i]};
        if (event.input == Input::Move) {
            event.x = std::uniform_int_distribution<int>(0, kViewWidth - 1)(inputs);
            event.y = std::uniform_int_distribution<int>(0, kViewHeight - 1)(inputs);
        } else if (event.input == Input::Click) {
            int32_t x, y;
            do {
                x = std::uniform_int_distribution<int32_t>(0, 479)(inputs);
                y = std::uniform_int_distribution<int32_t>(0, 319)(inputs);
            } while (state().currentPicture->blue(x, y) == 255);
            event.x = x + 1, event.y = 319 - y;
        } else if (event.input == Input::Drop) {
            event.x = drops++ % static_cast<int>(files_.size());
        }
        events.push_back(event);
        apply(event);
        if (i + 1 == std::size(kinds)) {
            warm = usage();
        }
    }
    const Usage after = usage();
    std::printf(
        "soak: %zu inputs in %lu ms; objects %lld -> %lld, blocks %d -> %d, heap blocks "
        "%lld -> %lld, GDI %d -> %d, handles %ld -> %ld\n",
        events.size(), GetTickCount() - start, warm.objects, after.objects, warm.blocks,
        after.blocks, warm.heap, after.heap, warm.gdi, after.gdi, warm.handles, after.handles);
    EXPECT_EQ(after.gdi, warm.gdi);
    EXPECT_EQ(after.blocks, warm.blocks);
    EXPECT_EQ(after.objects, warm.objects);
    // The platform's sound threads come and go on their own timing: beside a
    // full machine the heap once held 6 blocks fewer at the end. A leak only
    // grows it, and one block or handle lost per Clear (100) or per Auto run
    // (20) is far beyond this slack.
    EXPECT_LE(after.heap, warm.heap + 10);
    EXPECT_NEAR(double(after.handles), double(warm.handles), 3);
    return events;
}

// The same inputs on the logic alone, from the same seed.
void ProgramSoak::expectTheLogicAloneEndsTheSame(const std::vector<Event>& events) {
    FakePlatform platform;
    SeededRandom replayRandom(kSeed);
    App app(platform, replayRandom);
    platform.observed = &app.state();
    app.loadBuiltIns(picture_, pictureSize_, hand_, handSize_, sounds_);
    for (const Event& event : events) {
        replay(app, event, files_);
    }
    const AppState& shown = state();
    EXPECT_TRUE(pictureOf(*shown.currentPicture).pixels ==
                pictureOf(*app.state().currentPicture).pixels);
    EXPECT_TRUE(pictureOf(*shown.untouchedPicture).pixels ==
                pictureOf(*app.state().untouchedPicture).pixels);
    EXPECT_EQ(shown.slapCount, app.state().slapCount);
    EXPECT_EQ(std::make_pair(shown.handX, shown.handY),
              std::make_pair(app.state().handX, app.state().handY));
}

// A second window, used and destroyed, leaves what the program holds where
// the first left it (the platform keeps a few caches of its own from the
// first; its heap blocks and kernel handles follow its own timing, so only
// the long run above bounds them).
void ProgramSoak::expectDestructionGivesBackWhatCreationTook(const std::vector<Event>& events) {
    closeWindow();
    const Usage first = usage();
    openWindow();
    for (const Event& event : {events[0], events[2], events[3]}) {  // a drop, a move, a slap
        apply(event);
    }
    closeWindow();
    const Usage second = usage();
    std::printf("soak: after each destruction GDI %d, %d; handles %ld, %ld; blocks %d, %d\n",
                first.gdi, second.gdi, first.handles, second.handles, first.blocks, second.blocks);
    EXPECT_EQ(second.gdi, first.gdi);
    EXPECT_EQ(second.objects, first.objects);
    EXPECT_EQ(second.blocks, first.blocks);
}

TEST_F(ProgramSoak, StaysFlatAndEndsWhereTheLogicAloneEnds) {
    makeFiles();
    loadBuiltIns();
    checkTheCountsSeeWhatTheyCount();
    closeWindow();  // the fixture's, which has no seeded source
    openWindow();
    const std::vector<Event> events = runShuffledInputs();
    expectTheLogicAloneEndsTheSame(events);
    expectDestructionGivesBackWhatCreationTook(events);
}

}  // namespace
