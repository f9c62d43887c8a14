#include "stream/file_output_stream.h"

#include <string>

#include "stream/block.h"
#include "stream/utf16.h"

namespace {

// The path is UTF-8 everywhere. Windows' narrow fopen would read it in the
// system's code page, so there the wide form takes it, as UTF-16; a path that
// is not UTF-8 opens nothing.
std::FILE* openForWriting(const char* path) {
#ifdef _WIN32
    std::u16string wide;
    if (!utf8ToUtf16(path, &wide)) {
        return nullptr;
    }
    return _wfopen(std::wstring(wide.begin(), wide.end()).c_str(), L"wb");
#else
    return std::fopen(path, "wb");
#endif
}

}  // namespace

FileOutputStream::FileOutputStream(const char* path) {
    if (path != nullptr) {
        file_ = openForWriting(path);
    }
    // Unbuffered: a write's count is what the file took, not what a buffer
    // took that may fail to reach it later. The one big write of a picture
    // costs no more that way.
    if (file_ != nullptr) {
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
}

FileOutputStream::~FileOutputStream() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

int32_t FileOutputStream::typeId() const {
    return 0x8011;
}

uint32_t FileOutputStream::version() const {
    return 0x10000;
}

bool FileOutputStream::attributeFlag() const {
    return false;
}

uint8_t FileOutputStream::attributeByte() const {
    return 0;
}

uint16_t FileOutputStream::attributeWord() const {
    return 0;
}

void* FileOutputStream::queryInterface(int32_t id) {
    switch (id) {
    case kObjectId: return static_cast<ObjectBase*>(this);
    case kOutputStreamId: return static_cast<OutputStream*>(this);
    default: return nullptr;
    }
}

const char* FileOutputStream::text() {
    return nullptr;
}

bool FileOutputStream::seek(int32_t pos) {
    if (file_ == nullptr || pos < 0) {
        return false;
    }
    return std::fseek(file_, pos, SEEK_SET) == 0;
}

bool FileOutputStream::close() {
    if (file_ == nullptr) {
        return true;
    }
    const bool wroteAll = std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return wroteAll && closed;
}

int32_t FileOutputStream::writeBlock(const ByteReader* source) {
    if (file_ == nullptr || source == nullptr || source->size() < 1) {
        return 0;
    }
    const int32_t size = source->size();
    const OwnedBlock p(source->copyOut());
    if (p == nullptr) {
        return 0;
    }
    return static_cast<int32_t>(std::fwrite(p.get(), 1, static_cast<size_t>(size), file_));
}

int32_t FileOutputStream::writeBytes(const uint8_t* src, int32_t count) {
    if (file_ == nullptr || src == nullptr || count < 1) {
        return 0;
    }
    return static_cast<int32_t>(std::fwrite(src, 1, static_cast<size_t>(count), file_));
}

bool FileOutputStream::writeByte(uint8_t value) {
    if (file_ == nullptr) {
        return false;
    }
    return std::fputc(value, file_) != EOF;
}
