#include "tests/support/fake_platform.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "stream/block.h"

namespace fs = std::filesystem;

void FakePlatform::repaintView() {
    calls.push_back("repaintView " + std::to_string(observed->handX) + "," +
                    std::to_string(observed->handY));
    if (onRepaintView)
        onRepaintView();
}

FileBytes FakePlatform::readFile(const char* path, int32_t minimumSize) {
    calls.push_back(std::string("readFile ") + path + " " + std::to_string(minimumSize));
    std::ifstream in(fs::u8path(path), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    FileBytes file;
    if (!in.is_open() || (int64_t(bytes.size()) < minimumSize && !ignoreMinimum))
        return file;
    file.bytes.reset(allocBlock(static_cast<int32_t>(bytes.size())));
    if (file.bytes != nullptr) {
        std::memcpy(file.bytes.get(), bytes.data(), bytes.size());
        file.size = static_cast<int32_t>(bytes.size());
    }
    return file;
}

bool FakePlatform::createNewFile(const char* path) {
    calls.push_back(std::string("createNewFile ") + path);
    const fs::path file = fs::u8path(path);
    std::error_code error;
    if (fs::exists(fs::symlink_status(file, error)))
        return false;
    return std::ofstream(file, std::ios::binary).good();
}

ReplaceOutcome FakePlatform::replaceFile(const char* from, const char* to, const char* backup) {
    calls.push_back(std::string("replaceFile ") + from + " " + to + " " + backup);
    if (replaceOutcome == ReplaceOutcome::Kept)
        return replaceOutcome;
    std::error_code error;
    if (fs::exists(fs::u8path(to)))
        fs::rename(fs::u8path(to), fs::u8path(backup), error);
    if (!error && replaceOutcome == ReplaceOutcome::Replaced)
        fs::rename(fs::u8path(from), fs::u8path(to), error);
    return error ? ReplaceOutcome::Kept : replaceOutcome;
}

bool FakePlatform::removeFile(const char* path) {
    calls.push_back(std::string("removeFile ") + path);
    std::error_code error;
    return fs::remove(fs::u8path(path), error);
}
