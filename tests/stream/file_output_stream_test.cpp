#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "stream/file_output_stream.h"
#include "stream/memory_block_reader.h"
#include "stream/memory_buffer.h"
#include "stream/object_base.h"
#include "tests/stream/stream_test_support.h"

namespace fs = std::filesystem;

// Each case gets its own folder: natively the cases run as parallel processes.
class FileOutputStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::current_path() / "stream_test_files" / info->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "out.bin").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    Bytes fileBytes() const {
        std::ifstream in(path, std::ios::binary);
        EXPECT_TRUE(in.good()) << path;
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void writeFile(const Bytes& bytes) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    fs::path dir;
    std::string path;
};

TEST_F(FileOutputStreamTest, WriteBlockWritesTheWholeSource) {
    auto b = bufferOf({0x42, 0x4D, 0x00});
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(b.get()), 3);
    }
    EXPECT_EQ(fileBytes(), (Bytes{0x42, 0x4D, 0x00}));
}

TEST_F(FileOutputStreamTest, SuccessiveWritesFollowEachOther) {
    auto b = bufferOf({1, 2, 3});
    uint8_t bytes[2] = {4, 5};
    MemoryBlockReader r(bytes, 2);
    const uint8_t more[2] = {6, 7};
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(b.get()), 3);
        EXPECT_EQ(out.writeBlock(&r), 2);
        EXPECT_EQ(out.writeBytes(more, 2), 2);
        EXPECT_TRUE(out.writeByte(8));
    }
    EXPECT_EQ(fileBytes(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(FileOutputStreamTest, EmptyOrBadSourcesWriteNothing) {
    MemoryBuffer empty;
    const uint8_t src[2] = {1, 2};
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(nullptr), 0);
        EXPECT_EQ(out.writeBlock(&empty), 0);
        EXPECT_EQ(out.writeBytes(nullptr, 2), 0);
        EXPECT_EQ(out.writeBytes(src, 0), 0);
        EXPECT_EQ(out.writeBytes(src, -1), 0);
        EXPECT_EQ(out.writeBytes(src, INT32_MIN), 0);
    }
    EXPECT_TRUE(fileBytes().empty());
}

TEST_F(FileOutputStreamTest, SeekRewritesInsideTheFile) {
    auto b = bufferOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    {
        FileOutputStream out(path.c_str());
        ASSERT_EQ(out.writeBlock(b.get()), 10);
        EXPECT_TRUE(out.seek(0));
        EXPECT_TRUE(out.writeByte(0x41));
        EXPECT_TRUE(out.seek(8));
        EXPECT_EQ(out.writeBytes(b->data(), 1), 1);
    }
    EXPECT_EQ(fileBytes(), (Bytes{0x41, 1, 2, 3, 4, 5, 6, 7, 0, 9}));
}

TEST_F(FileOutputStreamTest, NegativeSeekKeepsThePosition) {
    {
        FileOutputStream out(path.c_str());
        EXPECT_TRUE(out.writeByte(1));
        EXPECT_TRUE(out.writeByte(2));
        EXPECT_FALSE(out.seek(-1));
        EXPECT_TRUE(out.writeByte(3));
    }
    EXPECT_EQ(fileBytes(), (Bytes{1, 2, 3}));
}

TEST_F(FileOutputStreamTest, SeekPastTheEndLeavesAZeroGap) {
    {
        FileOutputStream out(path.c_str());
        EXPECT_TRUE(out.seek(3));
        EXPECT_TRUE(out.writeByte(9));
    }
    EXPECT_EQ(fileBytes(), (Bytes{0, 0, 0, 9}));
}

TEST_F(FileOutputStreamTest, CreatingTheStreamEmptiesAnExistingFile) {
    writeFile({1, 2, 3, 4});
    { FileOutputStream out(path.c_str()); }
    EXPECT_TRUE(fileBytes().empty());
}

TEST_F(FileOutputStreamTest, CloseTwiceThenEveryWriteReportsNothing) {
    auto b = bufferOf({1, 2});
    FileOutputStream out(path.c_str());
    EXPECT_EQ(out.writeBlock(b.get()), 2);
    EXPECT_TRUE(out.close());
    // Closing flushes: the bytes are on disk before the stream is gone.
    EXPECT_EQ(fileBytes(), (Bytes{1, 2}));
    EXPECT_TRUE(out.close());
    EXPECT_EQ(out.writeBlock(b.get()), 0);
    EXPECT_EQ(out.writeBytes(b->data(), 2), 0);
    EXPECT_FALSE(out.writeByte(3));
    EXPECT_FALSE(out.seek(0));
    EXPECT_EQ(fileBytes(), (Bytes{1, 2}));
}

TEST_F(FileOutputStreamTest, MissingDirectoryMeansNothingIsWritten) {
    const std::string missing = (dir / "no-such-dir" / "out.bin").string();
    auto b = bufferOf({1, 2});
    {
        FileOutputStream out(missing.c_str());
        EXPECT_EQ(out.writeBlock(b.get()), 0);
        EXPECT_EQ(out.writeBytes(b->data(), 2), 0);
        EXPECT_FALSE(out.writeByte(1));
        EXPECT_FALSE(out.seek(0));
        EXPECT_TRUE(out.close());
    }
    EXPECT_FALSE(fs::exists(missing));
    FileOutputStream noPath(nullptr);
    EXPECT_FALSE(noPath.writeByte(1));
}

TEST_F(FileOutputStreamTest, UnreadableSourceWritesNothing) {
    if (!hugeBlocksFail()) {
        GTEST_SKIP() << "a block of INT32_MAX bytes is available here";
    }
    uint8_t bytes[2] = {1, 2};
    MemoryBlockReader r(bytes, 2);
    r.setSize(INT32_MAX - 1);  // its copyOut cannot be had
    {
        FileOutputStream out(path.c_str());
        EXPECT_EQ(out.writeBlock(&r), 0);
    }
    r.setSize(2);
    EXPECT_TRUE(fileBytes().empty());
}

TEST_F(FileOutputStreamTest, DeletingThroughAnyInterfaceClosesTheFile) {
    auto b = bufferOf({5, 6});
    ObjectBase* obj = new FileOutputStream(path.c_str());
    auto* out = static_cast<OutputStream*>(obj->queryInterface(kOutputStreamId));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->writeBlock(b.get()), 2);
    delete obj;
    EXPECT_EQ(fileBytes(), (Bytes{5, 6}));

    OutputStream* second = new FileOutputStream(path.c_str());
    EXPECT_TRUE(second->writeByte(7));
    delete second;
    EXPECT_EQ(fileBytes(), (Bytes{7}));
}
