#include "document/rtf_mem_file.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <gtest/gtest.h>

namespace {

const platform::ArchiveClassRegistry kNoClasses;

QByteArray Store(const CRtfMemFile& f)
{
    platform::ArchiveWriter ar;
    f.Serialize(ar);
    return ar.data();
}

} // namespace

TEST(RtfMemFile, EmptyStoreIsFourZeroBytesAndLoadsBackEmpty)
{
    CRtfMemFile f;
    EXPECT_EQ(Store(f), QByteArray(4, '\0'));
    CRtfMemFile g;
    g.Assign("old");
    const QByteArray record(4, '\0');
    platform::ArchiveReader ar(record, kNoClasses);
    g.Serialize(ar);
    EXPECT_EQ(g.GetLength(), 0u);
}

TEST(RtfMemFile, LoadingAShorterRecordLeavesTheShorterContent)
{
    CRtfMemFile f;
    f.Assign("{\\rtf1 a long text}");
    const QByteArray record = QByteArray::fromHex("03000000") + "abc";
    platform::ArchiveReader ar(record, kNoClasses);
    f.Serialize(ar);
    EXPECT_EQ(f.ToByteArray(), QByteArray("abc"));
    EXPECT_EQ(f.GetStoredLength(), 3u);
}

TEST(RtfMemFile, StoringTwiceWritesTheSameBytesAndNeverMovesThePosition)
{
    CRtfMemFile f;
    f.Write(QByteArrayView("{\\rtf1 x}"));
    EXPECT_EQ(f.GetPosition(), 9u);
    const QByteArray first = Store(f);
    EXPECT_EQ(first, QByteArray::fromHex("09000000") + "{\\rtf1 x}");
    EXPECT_EQ(Store(f), first);
    EXPECT_EQ(f.GetPosition(), 9u);
    f.Rewind();
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 9u);
    EXPECT_EQ(QByteArray(buf), QByteArray("{\\rtf1 x}"));
    EXPECT_EQ(f.Read(buf, sizeof buf), 0u);
}

TEST(RtfMemFile, GrowsInKilobyteStepsAndFillsGapsWithZeros)
{
    CRtfMemFile f;
    f.Write("a", 1);
    EXPECT_EQ(f.GetBufferSize(), 1024u);
    f.Seek(2000);
    f.Write("b", 1);
    EXPECT_EQ(f.GetLength(), 2001u);
    EXPECT_EQ(f.GetBufferSize(), 2048u);
    EXPECT_EQ(f.Data()[1000], '\0');
    f.SetLength(1);
    EXPECT_EQ(f.ToByteArray(), QByteArray("a"));
    EXPECT_EQ(f.GetPosition(), 2001u); // SetLength keeps the position
}

TEST(RtfMemFile, ACountPastTheEndOfTheArchiveIsRefused)
{
    CRtfMemFile f;
    f.Assign("keep");
    const QByteArray record = QByteArray::fromHex("ffffff7f") + "xy";
    platform::ArchiveReader ar(record, kNoClasses);
    EXPECT_THROW(f.Serialize(ar), platform::ArchiveError);
    EXPECT_EQ(f.ToByteArray(), QByteArray("keep"));
}
