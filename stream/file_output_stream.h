#pragma once
// Writes bytes into a new file through the C library's file functions. The
// file is created or emptied at construction. Every write reports what reached
// the file (the library keeps no bytes back), and close() reports whether the
// file was completed: a short write, a failed flush or close all show. A failed
// open is noticed through the write results.
#include <cstdio>

#include "stream/byte_interfaces.h"
#include "stream/object_base.h"

class FileOutputStream final : public ObjectBase, public OutputStream {
public:
    // path is UTF-8 (on Windows too, whatever the system's code page); a null
    // path, or one that is not UTF-8, gives a closed stream.
    explicit FileOutputStream(const char* path);
    ~FileOutputStream() override;

    int32_t typeId() const override;
    uint32_t version() const override;
    bool attributeFlag() const override;
    uint8_t attributeByte() const override;
    uint16_t attributeWord() const override;
    void* queryInterface(int32_t id) override;
    const char* text() override;

    // Position from the start of the file; false when closed or pos < 0.
    virtual bool seek(int32_t pos);
    // Closes the file; false when closing failed or an earlier write on the
    // file fell short, so true means every byte reported written is in the
    // file. True when there was no file open. Later writes report nothing written.
    virtual bool close();

    int32_t writeBlock(const ByteReader* source) override;
    // 0, nothing written, for a null src or count < 1.
    int32_t writeBytes(const uint8_t* src, int32_t count) override;
    bool writeByte(uint8_t value) override;

private:
    std::FILE* file_ = nullptr;
};
