#include "app_test_support.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "stream/block.h"
#include "stream/file_output_stream.h"

void FakePlatform::playSound(const uint8_t* wav, int32_t size)
{
    std::string which = "?";
    for (int i = 0; sounds != nullptr && i < 3; ++i)
        if (sounds[i].bytes == wav && sounds[i].size == size)
            which = std::to_string(i);
    calls.push_back("playSound " + which);
}

void FakePlatform::pause(int32_t milliseconds)
{
    calls.push_back("pause " + std::to_string(milliseconds));
}

void FakePlatform::repaintView()
{
    if (observed == nullptr)
        calls.push_back("repaintView");
    else
        calls.push_back("repaintView " + std::to_string(observed->handX) + "," +
                        std::to_string(observed->handY));
    if (onRepaintView)
        onRepaintView();
}

void FakePlatform::repaintWindow() { calls.push_back("repaintWindow"); }
void FakePlatform::startAutoTimer() { calls.push_back("startAutoTimer"); }
void FakePlatform::stopAutoTimer() { calls.push_back("stopAutoTimer"); }

void FakePlatform::enableClearButton(bool enabled)
{
    calls.push_back(std::string("enableClearButton ") + (enabled ? "1" : "0"));
}

void FakePlatform::setAutoButtonText(const char* text)
{
    calls.push_back(std::string("setAutoButtonText ") + text);
}

uint8_t* FakePlatform::readFile(const char* path, int32_t minimumSize, int32_t* size)
{
    calls.push_back(std::string("readFile ") + path);
    readMinimums.push_back(minimumSize);
    if (beforeRead)
        beforeRead(path);
    *size = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return nullptr;
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    uint8_t* block = nullptr;
    if ((length >= minimumSize || ignoreMinimum) && length <= INT32_MAX)
        block = allocBlock(static_cast<int32_t>(length));
    if (block != nullptr) {
        std::fread(block, 1, static_cast<size_t>(length), file);
        *size = static_cast<int32_t>(length);
    }
    std::fclose(file);
    return block;
}

bool FakePlatform::replaceFile(const char* from, const char* to)
{
    calls.push_back(std::string("replaceFile ") + from + " " + to);
    if (failReplace)
        return false;
    std::error_code error;
    std::filesystem::rename(std::filesystem::u8path(from), std::filesystem::u8path(to), error);
    return !error;
}

bool FakePlatform::removeFile(const char* path)
{
    calls.push_back(std::string("removeFile ") + path);
    std::error_code error;
    return std::filesystem::remove(std::filesystem::u8path(path), error);
}

int FakePlatform::count(const std::string& prefix) const
{
    int n = 0;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}

void ScriptedRandom::always(int32_t value)
{
    generator = [value](int64_t) { return value; };
}

void ScriptedRandom::script(std::vector<int32_t> values, int32_t then)
{
    generator = [values = std::move(values), then](int64_t i) {
        return i < static_cast<int64_t>(values.size()) ? values[static_cast<size_t>(i)] : then;
    };
}

TempDir::TempDir()
{
    static int serial = 0;
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() /
        ("hoppel-app-" + std::to_string(device()) + "-" + std::to_string(now) + "-" +
         std::to_string(serial++));
    std::filesystem::create_directories(root);
    root_ = root.u8string();
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::u8path(root_), error);
}

std::string TempDir::path(const std::string& name) const
{
    return (std::filesystem::u8path(root_) / std::filesystem::u8path(name)).u8string();
}

Bytes readBytes(const std::string& path)
{
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    uint8_t chunk[65536];
    size_t n;
    // Bounded, so that a device file cannot make it read forever.
    while (bytes.size() < (16u << 20) && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    EXPECT_EQ(std::fclose(file), 0);
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(path), error);
}

void setWord(Dib32Image& image, int32_t index, uint32_t word)
{
    std::memcpy(reinterpret_cast<uint8_t*>(image.bits()) + static_cast<size_t>(index) * 4, &word, 4);
}

uint32_t wordAt(Dib32Image& image, int32_t index)
{
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const uint8_t*>(image.bits()) + static_cast<size_t>(index) * 4, 4);
    return word;
}

void fillWords(Dib32Image& image, uint32_t word)
{
    const int32_t n = image.width() * image.height();
    for (int32_t i = 0; i < n; ++i)
        setWord(image, i, word);
}

std::vector<uint32_t> wordsOf(Dib32Image& image)
{
    const size_t n = static_cast<size_t>(image.width()) * static_cast<size_t>(image.height());
    std::vector<uint32_t> words(n);
    std::memcpy(words.data(), image.bits(), n * 4);
    return words;
}

void paintPattern(Dib32Image& image, uint32_t seed)
{
    uint32_t state = seed * 2654435761u + 12345u;
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x) {
            state = state * 1103515245u + 12345u;
            const uint32_t red = (state >> 8) & 0xFFu;
            const uint32_t green = (state >> 16) & 0xFFu;
            const uint32_t blue = ((state >> 24) & 0xFFu) % 255u;
            image.setPixel(x, y, (red << 16) | (green << 8) | blue);
        }
}

Bytes encoded(const Dib32Image& image, int32_t id, const TempDir& dir)
{
    static int serial = 0;
    const std::string path = dir.path("encoded-" + std::to_string(serial++) + ".bmp");
    {
        FileOutputStream stream(path.c_str());
        EXPECT_TRUE(image.save(&stream, id));
    }
    return readBytes(path);
}

int32_t fieldAt(const Bytes& bytes, size_t offset)
{
    const uint32_t v = static_cast<uint32_t>(bytes.at(offset)) |
                       static_cast<uint32_t>(bytes.at(offset + 1)) << 8 |
                       static_cast<uint32_t>(bytes.at(offset + 2)) << 16 |
                       static_cast<uint32_t>(bytes.at(offset + 3)) << 24;
    return static_cast<int32_t>(v);
}

void setFieldAt(Bytes& bytes, size_t offset, int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

AppFixture::AppFixture()
{
    for (int i = 0; i < 3; ++i)
        state.slapSounds[i] = Sound{wav[i], 4};
    platform.sounds = state.slapSounds;
    platform.observed = &state;
    paintBoth(kSkin, kSkin);
}

void AppFixture::paintBoth(uint32_t current, uint32_t untouched)
{
    fillWords(*state.currentPicture, current);
    fillWords(*state.untouchedPicture, untouched);
}
