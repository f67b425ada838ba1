// The codec's file layer, which the read path will share with the writer.
#include <gtest/gtest.h>

#include "file_io.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

TEST(FileLayer, WriteReadSeek)
{
    TempDir dir;
    const std::string name = dir.Path("layer.bin").string();
    EXPECT_EQ(JpegOpenFile(name.c_str(), FileAccess::ReadOnly), -1); // read-only needs an existing file
    EXPECT_EQ(JpegOpenFile("", FileAccess::ReadWrite), -1);
    EXPECT_EQ(JpegOpenFile(nullptr, FileAccess::ReadWrite), -1);

    int file = JpegOpenFile(name.c_str(), FileAccess::ReadWrite);
    ASSERT_GE(file, 0);
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    size_t count = 0;
    ASSERT_TRUE(JpegWriteFile(file, bytes, sizeof bytes, &count));
    EXPECT_EQ(count, 5u);
    ASSERT_TRUE(JpegSeekFile(file, 1, SeekOrigin::Start));
    uint8_t back[8] = {};
    ASSERT_TRUE(JpegReadFile(file, back, sizeof back, &count));
    EXPECT_EQ(count, 4u); // to the end of the file
    EXPECT_EQ(back[0], 2);
    ASSERT_TRUE(JpegSeekFile(file, -2, SeekOrigin::End));
    ASSERT_TRUE(JpegReadFile(file, back, 1, &count));
    EXPECT_EQ(back[0], 4);
    EXPECT_FALSE(JpegSeekFile(file, -100, SeekOrigin::Current));
    EXPECT_TRUE(JpegCloseFile(file));
    EXPECT_FALSE(JpegCloseFile(-1));

    // Read/write access truncates an existing file.
    file = JpegOpenFile(name.c_str(), FileAccess::ReadWrite);
    ASSERT_GE(file, 0);
    EXPECT_TRUE(JpegCloseFile(file));
    EXPECT_TRUE(ReadFileBytes(name).empty());
}

} // namespace
} // namespace thermjpeg::test
