#include "platform/compound_file.h"
#include "platform/summary_info.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "test_support.h"

namespace platform {
namespace {

using test::hex;

constexpr std::uint64_t kMinute = 600000000ULL;
// 2013-10-08 00:00:00 UTC as a file time.
constexpr std::uint64_t kCreated = 130256640000000000ULL;

std::uint32_t u32At(const QByteArray& b, qsizetype pos)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[pos])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[pos + 1])) << 8) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[pos + 2])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[pos + 3])) << 24);
}

void putU32At(QByteArray& b, qsizetype pos, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A summary as a report has it after being made and saved once.
void fillReportSummary(CSummaryInfo& s)
{
    s.StartEditClock(kCreated);
    s.RecordCreateDate(kCreated);
    s.SetNumPages(1);
    s.SetAppName(QStringLiteral("Pagewright"));
    s.SetTitle(QStringLiteral("变电站巡检报表"));
    s.SetSubject(QStringLiteral("红外"));
    s.SetAuthor(QStringLiteral("张工"));
    s.SetKeywords(QStringLiteral("温度"));
    s.SetComments(QStringLiteral("abcd"));
    s.SetTemplate(QStringLiteral("A4.rpm"));
    // The save steps.
    s.RecordSaveDate(kCreated + 5 * kMinute);
    s.IncrRevNum();
    s.SetLastAuthor(s.GetAuthor());
    s.AddCountToEditTime(kCreated + 5 * kMinute);
}

QByteArray summaryStream(CSummaryInfo& s)
{
    MemoryStorage root;
    EXPECT_TRUE(s.WriteToStorage(root));
    QByteArray bytes;
    EXPECT_TRUE(root.readStream(summaryInformationStreamName(), bytes, 1 << 20));
    return bytes;
}

TEST(SummaryInfo, NewSummaryHoldsTheInitialValuesInOrder)
{
    const CSummaryInfo s;
    std::vector<std::uint32_t> ids;
    for (const CSummaryProperty& p : s.GetSection().GetProperties())
        ids.push_back(p.GetId());
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 12, 14, 15, 16, 18, 0x80000002}));
    EXPECT_EQ(s.GetCodePage(), 936);
    EXPECT_EQ(s.GetTitle(), QString());
    EXPECT_EQ(s.GetRevNum(), QStringLiteral("0"));
    EXPECT_EQ(s.GetEditTime(), QStringLiteral("0 min"));
    EXPECT_EQ(s.GetCreateDate(), QString());
    EXPECT_EQ(s.GetLastPrintDate(), QString());
    EXPECT_EQ(s.GetNumPages(), QStringLiteral("0"));
    EXPECT_EQ(s.GetSecurity(), QStringLiteral("0"));
}

TEST(SummaryInfo, SavingUpdatesRevisionAuthorAndEditingTime)
{
    CSummaryInfo s;
    fillReportSummary(s);
    EXPECT_EQ(s.GetRevNum(), QStringLiteral("1"));
    EXPECT_EQ(s.GetLastAuthor(), QStringLiteral("张工"));
    EXPECT_EQ(s.GetEditTime(), QStringLiteral("5 min"));
    EXPECT_FALSE(s.GetCreateDate().isEmpty());
    EXPECT_TRUE(s.GetLastPrintDate().isEmpty());

    // The next save adds the time since the clock was restarted.
    s.AddCountToEditTime(kCreated + 12 * kMinute + 59 * 10000000ULL);
    EXPECT_EQ(s.GetEditTime(), QStringLiteral("12 min"));
    s.IncrRevNum();
    EXPECT_EQ(s.GetRevNum(), QStringLiteral("2"));
    s.SetRevNum(QStringLiteral("x"));
    s.IncrRevNum();
    EXPECT_EQ(s.GetRevNum(), QStringLiteral("1"));
}

TEST(SummaryInfo, StreamMatchesTheTableAndOlefileReadsItBack)
{
    CSummaryInfo s;
    fillReportSummary(s);
    s.RecordPrintDate(kCreated + 7 * kMinute);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("summary.rpt"));
    MemoryStorage root;
    ASSERT_TRUE(root.writeStream(QStringLiteral("Contents"), "x"));
    ASSERT_TRUE(s.WriteToStorage(root));
    ASSERT_TRUE(saveCompoundFile(root, path));

    auto ft = [](std::uint64_t v) { return std::to_string(v); };
    const test::ProgramResult check = test::runProgram(
        {test::python(), test::scriptPath("ole_check.py"), "summary", path.toStdString(), "title=变电站巡检报表",
         "subject=红外", "author=张工", "keywords=温度", "comments=abcd", "template=A4.rpm", "last_author=张工",
         "revision=1", "app=Pagewright", "pages=1", "created=" + ft(kCreated),
         "last_saved=" + ft(kCreated + 5 * kMinute), "last_printed=" + ft(kCreated + 7 * kMinute),
         "edit_time=" + ft(5 * kMinute)});
    EXPECT_EQ(check.exitCode, 0) << check.output;
}

TEST(SummarySet, PadsValuesAndLeavesTheDictionaryUnpadded)
{
    // A four-character string: type, count 5, "abcd" and NUL, 3 zero bytes.
    CSummarySet set;
    set.SetClassId(kSummaryFormatId);
    ASSERT_TRUE(set.AddSection(kSummaryFormatId)->SetStringProperty(2, "abcd"));
    const QByteArray fmtid = hex("e0859ff2f94f6810ab9108002b27b3d9");
    EXPECT_EQ(set.WriteToBytes(), hex("feff" "0000" "05010200") + fmtid + hex("01000000") + fmtid +
                                      hex("30000000"
                                          "35000000" "02000000"             // size 53, two properties
                                          "02000000" "18000000"             // title at 24
                                          "00000000" "28000000"             // dictionary at 40
                                          "1e000000" "05000000" "6162636400" "000000"
                                          "01000000" "00000000" "01000000" "00"));
    EXPECT_EQ(set.GetSection(kSummaryFormatId)->GetSize(), 53u);
    EXPECT_EQ(set.GetSection(kSummaryFormatId)->GetCount(), 2u);
}

TEST(SummaryInfo, RoundTripsThroughAStorage)
{
    CSummaryInfo s;
    fillReportSummary(s);
    const QString longTitle = QString(150, QChar(0x6E29)) + QString(150, QLatin1Char('t')); // 450 GBK bytes
    s.SetTitle(longTitle);
    s.SetSecurity(2);
    MemoryStorage root;
    ASSERT_TRUE(s.WriteToStorage(root));

    CSummaryInfo read;
    ASSERT_TRUE(read.ReadFromStorage(root));
    EXPECT_EQ(read.GetTitle(), longTitle);
    EXPECT_EQ(read.GetAuthor(), QStringLiteral("张工"));
    EXPECT_EQ(read.GetLastAuthor(), QStringLiteral("张工"));
    EXPECT_EQ(read.GetRevNum(), QStringLiteral("1"));
    EXPECT_EQ(read.GetEditTime(), QStringLiteral("5 min"));
    EXPECT_EQ(read.GetFileTime(pid::Created), kCreated);
    EXPECT_EQ(read.GetCreateDate(), s.GetCreateDate());
    EXPECT_EQ(read.GetNumPages(), QStringLiteral("1"));
    EXPECT_EQ(read.GetSecurity(), QStringLiteral("2"));
    EXPECT_EQ(read.GetAppName(), QStringLiteral("Pagewright"));
    EXPECT_EQ(read.GetCodePage(), 936);
    // Written again, the stream is the same.
    EXPECT_EQ(summaryStream(read), summaryStream(s));
}

TEST(SummaryInfo, DamagedStreamsLeaveTheSummaryAsMadeForTheOpen)
{
    CSummaryInfo written;
    fillReportSummary(written);
    const QByteArray golden = summaryStream(written);
    ASSERT_EQ(u32At(golden, 44), 48u);
    const qsizetype table = 56;
    const qsizetype title = 48 + u32At(golden, table + 8 + 4); // second entry: the title
    ASSERT_EQ(u32At(golden, table + 8), 2u);

    struct Patch {
        const char* name;
        qsizetype at;
        std::uint32_t value;
    };
    const Patch patches[] = {
        {"section count", 24, 0x7FFFFFFF},
        {"section offset", 44, 0x00FFFFFF},
        {"property count", 52, 0x10000000},
        {"value offset", table + 4, 0xFFFFFFF0},
        {"variant type", 48 + u32At(golden, table + 4), vt::Variant},
        {"unknown type", 48 + u32At(golden, table + 4), 99},
        {"vector count", title, vt::Lpstr | vt::Vector},
        {"string length", title + 4, 0x7FFFFFFF},
        {"dictionary count", golden.size() - 13, 0x7FFFFFFF},
        {"dictionary name length", golden.size() - 5, 2},
    };
    std::vector<QByteArray> damaged;
    for (const Patch& p : patches) {
        QByteArray b = golden;
        putU32At(b, p.at, p.value);
        damaged.push_back(b);
    }
    for (qsizetype length = 0; length < golden.size(); ++length)
        damaged.push_back(golden.left(length));

    for (const QByteArray& bytes : damaged) {
        MemoryStorage root;
        ASSERT_TRUE(root.writeStream(summaryInformationStreamName(), bytes));
        CSummaryInfo s;
        s.SetTitle(QStringLiteral("fresh"));
        EXPECT_FALSE(s.ReadFromStorage(root)) << bytes.size();
        EXPECT_EQ(s.GetTitle(), QStringLiteral("fresh"));
        EXPECT_EQ(s.GetRevNum(), QStringLiteral("0"));
    }

    // No stream at all.
    MemoryStorage empty;
    CSummaryInfo s;
    EXPECT_FALSE(s.ReadFromStorage(empty));
}

TEST(SummaryInfo, StreamWithoutSummarySectionGivesAFreshSummary)
{
    CSummarySet other;
    const PropertySetId userDefined = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                       0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};
    ASSERT_TRUE(other.AddSection(userDefined)->SetI4Property(2, 5));
    MemoryStorage root;
    ASSERT_TRUE(root.writeStream(summaryInformationStreamName(), other.WriteToBytes()));

    CSummaryInfo s;
    s.SetTitle(QStringLiteral("old"));
    ASSERT_TRUE(s.ReadFromStorage(root));
    EXPECT_EQ(s.GetTitle(), QString());
    EXPECT_EQ(s.GetRevNum(), QStringLiteral("0"));
    EXPECT_EQ(s.GetCodePage(), 936);
    EXPECT_NE(s.GetPropertySet().GetSection(userDefined), nullptr);
}

TEST(SummarySection, SetsOnlySupportedTypesAndValueForms)
{
    CSummarySection s(kSummaryFormatId);
    ASSERT_TRUE(s.SetI4Property(14, 3));
    const QByteArray four = hex("07000000");
    EXPECT_FALSE(s.SetProperty(14, four, vt::Variant));
    EXPECT_FALSE(s.SetProperty(14, four, 99));
    EXPECT_FALSE(s.SetProperty(14, hex("0700"), vt::I4));          // too short
    EXPECT_FALSE(s.SetProperty(14, hex("0700000000"), vt::I4));    // too long
    EXPECT_FALSE(s.SetProperty(2, hex("05000000616263"), vt::Lpstr)); // count beyond the value
    EXPECT_FALSE(s.SetProperty(0, four, vt::I4));                  // the dictionary
    EXPECT_EQ(s.GetProperty(14).value_or(QByteArrayView()), QByteArrayView(hex("03000000")));
    EXPECT_FALSE(s.GetProperty(15).has_value());

    // Strings: the data past the count; vectors: past the element count.
    ASSERT_TRUE(s.SetStringProperty(2, "ab"));
    EXPECT_EQ(s.GetProperty(2).value_or(QByteArrayView()), QByteArrayView("ab\0", 3));
    ASSERT_TRUE(s.SetProperty(20, hex("02000000" "0100" "0200"), vt::I2 | vt::Vector));
    EXPECT_EQ(s.GetProperty(20).value_or(QByteArrayView()), QByteArrayView(hex("01000200")));
    ASSERT_TRUE(s.SetProperty(21, hex("01000000" "6100"), vt::Lpwstr));
    EXPECT_FALSE(s.SetProperty(22, hex("03000000" "6100"), vt::Lpwstr));
}

TEST(SummarySection, CutsDictionaryNamesTo255Bytes)
{
    CSummarySet set;
    CSummarySection* s = set.AddSection(kSummaryFormatId);
    s->SetSectionName(QByteArray(300, 'n'));
    ASSERT_TRUE(s->SetPropertyName(100, "Inspector"));
    EXPECT_FALSE(s->SetPropertyName(101, "INSPECTOR"));
    ASSERT_TRUE(s->SetI4Property(100, 1));

    CSummarySet read;
    ASSERT_TRUE(read.ReadFromBytes(set.WriteToBytes()));
    const CSummarySection* r = read.GetSection(kSummaryFormatId);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetSectionName(), QByteArray(254, 'n'));
    EXPECT_EQ(r->GetPropertyId("inspector"), 100u);
    EXPECT_FALSE(r->GetPropertyId("other").has_value());
}

} // namespace
} // namespace platform
