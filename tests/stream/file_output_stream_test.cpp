#include <filesystem>
#include <fstream>
#include <string>

#include "stream/file_output_stream.h"
#include "stream/memory_block_reader.h"
#include "tests/stream/stream_test_support.h"
#include "tests/support/file_bytes.h"

// One file per case: natively the cases run as parallel processes.
class FileOutputStreamTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove(std::filesystem::u8path(path), error);
    }
    // The path is UTF-8 on every system.
    Bytes fileBytes() const {
        EXPECT_TRUE(std::ifstream(std::filesystem::u8path(path)).good()) << path;
        return readWholeFile(path);
    }

    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string path = "stream_out_" + name + ".bin";
    std::unique_ptr<MemoryBuffer> b = bufferOf({1, 2, 3});
};

TEST_F(FileOutputStreamTest, WritesFollowEachOtherFromWhereSeekPutThem) {
    uint8_t bytes[2] = {4, 5};
    MemoryBlockReader r(bytes, 2);
    const uint8_t more[2] = {6, 7};
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(b.get()), 3);
        EXPECT_EQ(out.writeBlock(&r), 2);
        EXPECT_EQ(out.writeBytes(more, 2), 2);
        EXPECT_TRUE(out.writeByte(8));
        EXPECT_TRUE(out.seek(0));
        EXPECT_TRUE(out.writeByte(0x41));
        EXPECT_FALSE(out.seek(-1));  // keeps the position
        EXPECT_TRUE(out.writeByte(0x42));
        EXPECT_TRUE(out.seek(10));  // past the end: the gap reads zero
        EXPECT_TRUE(out.writeByte(9));
    }
    EXPECT_EQ(fileBytes(), (Bytes{0x41, 0x42, 3, 4, 5, 6, 7, 8, 0, 0, 9}));
}

TEST_F(FileOutputStreamTest, ExistingFileIsEmptiedAndBadSourcesWriteNothing) {
    std::ofstream(path, std::ios::binary) << "abcd";
    ASSERT_EQ(fileBytes().size(), 4u);
    MemoryBuffer empty;
    uint8_t bytes[2] = {1, 2};
    MemoryBlockReader unreadable(bytes, 2);
    unreadable.setSize(INT32_MAX - 1);  // its copyOut cannot be had
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(nullptr), 0);
        EXPECT_EQ(out.writeBlock(&empty), 0);
        if (hugeBlocksFail()) {
            EXPECT_EQ(out.writeBlock(&unreadable), 0);
        }
        EXPECT_EQ(out.writeBytes(nullptr, 2), 0);
        for (int32_t n : {0, -1, INT32_MIN})
            EXPECT_EQ(out.writeBytes(b->data(), n), 0) << n;
    }
    unreadable.setSize(2);
    EXPECT_TRUE(fileBytes().empty());
}

TEST_F(FileOutputStreamTest, ClosedOrUnopenedStreamsWriteNothing) {
    FileOutputStream out(path.c_str());
    EXPECT_EQ(out.writeBlock(b.get()), 3);
    EXPECT_TRUE(out.close());
    // Closing flushes: the bytes are on disk before the stream is gone.
    EXPECT_EQ(fileBytes(), (Bytes{1, 2, 3}));
    const std::string missing = "no-such-dir-" + name + "/out.bin";
    FileOutputStream unopened(missing.c_str());
    FileOutputStream noPath(nullptr);
    for (FileOutputStream* s : {&out, &unopened, &noPath}) {
        EXPECT_TRUE(s->close());
        EXPECT_EQ(s->writeBlock(b.get()), 0);
        EXPECT_EQ(s->writeBytes(b->data(), 2), 0);
        EXPECT_FALSE(s->writeByte(3));
        EXPECT_FALSE(s->seek(0));
    }
    EXPECT_EQ(fileBytes(), (Bytes{1, 2, 3}));
    EXPECT_FALSE(std::ifstream(missing).good());
}

// The tests' programs set no code page: on Windows the system's own (932 or
// 1252) would misread a narrow UTF-8 path.
TEST_F(FileOutputStreamTest, OpensUtf8PathsWhateverTheSystemCodePage) {
    path = "ほっぺ保存_" + name + ".bin";
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(b.get()), 3);
    }
    EXPECT_EQ(fileBytes(), (Bytes{1, 2, 3}));
#ifdef _WIN32
    // Not UTF-8 (a lone continuation byte): nothing is opened, nothing made.
    const std::string malformed = "stream_bad_\x80" + name;
    FileOutputStream out(malformed.c_str());
    EXPECT_EQ(out.writeBlock(b.get()), 0);
    for (const auto& entry : std::filesystem::directory_iterator("."))
        EXPECT_NE(entry.path().filename().u8string().rfind("stream_bad_", 0), 0u);
#endif
}

TEST_F(FileOutputStreamTest, AnswersItsPartsAndDeletingThroughEitherClosesTheFile) {
    auto* stream = new FileOutputStream(path.c_str());
    expectParts(*stream, {{kObjectId, static_cast<ObjectBase*>(stream)},
                          {kOutputStreamId, static_cast<OutputStream*>(stream)}});
    EXPECT_EQ(stream->typeId(), 0x8011);
    EXPECT_EQ(stream->text(), nullptr);
    ObjectBase* obj = stream;
    auto* out = static_cast<OutputStream*>(obj->queryInterface(kOutputStreamId));
    EXPECT_EQ(out->writeBlock(b.get()), 3);
    delete obj;
    EXPECT_EQ(fileBytes(), (Bytes{1, 2, 3}));
    OutputStream* second = new FileOutputStream(path.c_str());
    EXPECT_TRUE(second->writeByte(7));
    delete second;
    EXPECT_EQ(fileBytes(), (Bytes{7}));
}

#ifndef _WIN32
#include "tests/support/file_size_limit.h"

// Only what reached the file counts as written, and close() tells whether
// the file is whole. Not in wasm: its setrlimit does nothing and reports success.
#ifndef __EMSCRIPTEN__
TEST_F(FileOutputStreamTest, ShortWritesAreReportedShortAndCloseFails) {
    Bytes sixteen(16);
    for (size_t i = 0; i < sixteen.size(); ++i)
        sixteen[i] = static_cast<uint8_t>(i + 1);
    MemoryBlockReader block(sixteen.data(), 16);
    {
        FileSizeLimit limit(10);
        ASSERT_TRUE(limit.active());
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(&block), 10);
        EXPECT_EQ(out.writeBytes(sixteen.data(), 4), 0);
        EXPECT_FALSE(out.writeByte(0x41));
        EXPECT_FALSE(out.close());
        EXPECT_TRUE(out.close());  // nothing left open
    }
    EXPECT_EQ(fileBytes(), Bytes(sixteen.begin(), sixteen.begin() + 10));
}
#endif

TEST_F(FileOutputStreamTest, FullDiskWritesNothingAndCloseFails) {
    FileOutputStream out("/dev/full");
    EXPECT_EQ(out.writeBlock(b.get()), 0);
    EXPECT_EQ(out.writeBytes(b->data(), 3), 0);
    EXPECT_FALSE(out.writeByte(3));
    EXPECT_FALSE(out.close());
}

#endif
