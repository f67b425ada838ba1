// The result list's tables, from a holder over the recording fake and over
// a camera file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fake/fake_thermcore.h"
#include "heatshelf/ir_image.h"
#include "heatshelf/result_rows.h"
#include "shelf_test_support.h"

namespace heatshelf {
namespace {

using thermcore::testing::FakeThermcore;

QStringList column(const ResultTable& t, size_t c) {
    QStringList out;
    for (const auto& row : t.rows) out.push_back(row.at(c).text);
    return out;
}

class ResultRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.filePath(QStringLiteral("r.vni"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        fake.width = 640;
        fake.points[0] = {301, 125, 1, 95, 3, 3650.0f};
        fake.points[2] = {-3, 7, 1, 0, 0, -1234.0f};
        fake.points[3] = {20, 30, 0, 80, 250, 12.0f};
        fake.rects[1] = {100, 50, 33, 21, 1, 90, 4, 4100.0f, 0, 0};
        fake.lines[1] = {10, 20, 600, 440, 1, 95, 5, 0, 0, 3900.0f};
        fake.lines[2] = {0, 0, 7, 9, 1, 95, 5, 0, 0, 3901.0f};
        fake.scheme = 3;
        fake.version = 7;
        std::memcpy(fake.model, "RQ52TXYZ", 8);
        fake.lastByte = 2;
        ASSERT_EQ(image.Open(file), 1);
    }
    QTemporaryDir dir;
    QString file;
    FakeThermcore fake;
    CIrImage image{dir.path(), fake.calls()};
};

TEST_F(ResultRowsTest, ValuesNameTheRecordsThatArePresent) {
    const ResultTable t = BuildResultTable(kValues, &image, file);
    ASSERT_EQ(t.columns.size(), 2u);
    EXPECT_EQ(t.columns[0].title, Cell::id(1026));
    EXPECT_EQ(t.columns[1].title, Cell::id(1027));
    EXPECT_EQ(column(t, 0), (QStringList{"SP1", "SP3", "SP4", "AR2", "LN1", "LN2"}));
    EXPECT_EQ(column(t, 1), (QStringList{"36.5", "-12.3", " 0.1", "41.0", "39.0", "39.0"}));
}

TEST_F(ResultRowsTest, PositionsOnTheHalfScaleOfA640WideFile) {
    const ResultTable t = BuildResultTable(kPositions, &image, file);
    ASSERT_EQ(t.columns.size(), 7u);
    EXPECT_EQ(t.columns[1].title, Cell::of(QStringLiteral("X1")));
    EXPECT_EQ(t.columns[6].title, Cell::id(1033));
    ASSERT_EQ(t.rows.size(), 6u);
    const auto texts = [&](size_t r) {
        QStringList out;
        for (const Cell& c : t.rows[r]) out.push_back(c.text);
        return out;
    };
    EXPECT_EQ(texts(0), (QStringList{"SP1", "150", "62", "", "", "", ""}));
    EXPECT_EQ(texts(1), (QStringList{"SP3", "-1", "3", "", "", "", ""})) << "toward zero";
    EXPECT_EQ(texts(3), (QStringList{"AR2", "50", "25", "66", "35", "16", "10"}));
    EXPECT_EQ(texts(4), (QStringList{"LN1", "5", "10", "300", "220", "", ""}));
}

TEST_F(ResultRowsTest, ParametersByScheme) {
    ResultTable t = BuildResultTable(kParameters, &image, file);
    ASSERT_EQ(t.columns.size(), 5u);
    EXPECT_EQ(t.columns[2].title, Cell::id(1036));
    EXPECT_EQ(column(t, 1), (QStringList{"0.95", "0.90", "0.80", "0.90", "0.95", "0.95"}));
    EXPECT_EQ(column(t, 2), QStringList(6, QStringLiteral("22.0")));
    EXPECT_EQ(column(t, 3), (QStringList{"0.03", "", "2.50", "0.04", "0.05", "0.05"})) << "hundredths";
    EXPECT_EQ(column(t, 4), QStringList(6, QString()));

    fake.version = 6;
    ASSERT_EQ(image.Open(file), 1);
    t = BuildResultTable(kParameters, &image, file);
    EXPECT_EQ(column(t, 3), (QStringList{"3.00", "", "250.00", "4.00", "5.00", "5.00"}));
}

TEST_F(ResultRowsTest, FileDataAndItsAbsence) {
    ResultTable t = BuildResultTable(kFileData, &image, file);
    ASSERT_EQ(t.columns.size(), 2u);
    EXPECT_EQ(t.columns[1].width, 160);
    ASSERT_EQ(t.rows.size(), 5u);
    const int labels[] = {1038, 1039, 1040, 1041, 1043};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(t.rows[i][0], Cell::id(labels[i]));
    EXPECT_EQ(t.rows[2][1].text, QStringLiteral("r.vni"));
    EXPECT_EQ(t.rows[3][1].text, QStringLiteral("RQ52TXYZ")) << "8 bytes without terminator";
    EXPECT_EQ(t.rows[4][1], Cell::id(1046));

    fake.lastByte = 4;
    ASSERT_EQ(image.Open(file), 1);
    EXPECT_EQ(BuildResultTable(kFileData, &image, file).rows[4][1], Cell{});

    ASSERT_TRUE(QFile::remove(file));
    t = BuildResultTable(kFileData, &image, file);
    ASSERT_EQ(t.rows.size(), 5u);
    for (const auto& row : t.rows) EXPECT_EQ(row[1], Cell{}) << "a vanished file: labels, no values";
}

TEST_F(ResultRowsTest, NothingShownGivesOnlyTheColumns) {
    for (int category : {0, 1, 2, 3}) {
        const ResultTable t = BuildResultTable(category, nullptr, {});
        EXPECT_FALSE(t.columns.empty());
        EXPECT_TRUE(t.rows.empty());
    }
    EXPECT_TRUE(BuildResultTable(5, &image, file).columns.empty());
}

TEST(ResultRowsFileTest, RecordsOfACameraFile) {
    const QString path = heatshelf_test::fixture(QStringLiteral("records.vni"));
    QTemporaryDir app;
    CIrImage image(app.path());
    ASSERT_EQ(image.Open(path), 1);
    const ResultTable values = BuildResultTable(kValues, &image, path);
    EXPECT_EQ(column(values, 0), (QStringList{"SP1", "SP3", "SP4", "AR2", "LN1", "LN2"}));
    const ResultTable positions = BuildResultTable(kPositions, &image, path);
    ASSERT_FALSE(positions.rows.empty());
    EXPECT_EQ(positions.rows[0][1].text, QStringLiteral("150"));
    EXPECT_EQ(positions.rows[0][2].text, QStringLiteral("62"));

    const ResultTable data = BuildResultTable(kFileData, &image, path);
    QByteArray day, time;
    ASSERT_EQ(heatshelf_test::run(QStringLiteral("date"), {QStringLiteral("-r"), path, QStringLiteral("+%F")}, &day), 0);
    ASSERT_EQ(heatshelf_test::run(QStringLiteral("date"), {QStringLiteral("-r"), path, QStringLiteral("+%T")}, &time), 0);
    EXPECT_EQ(data.rows[0][1].text, QString::fromLatin1(day.trimmed()));
    EXPECT_EQ(data.rows[1][1].text, QString::fromLatin1(time.trimmed()));
    EXPECT_EQ(data.rows[3][1].text, QStringLiteral("RQ52T"));
    EXPECT_EQ(data.rows[4][1], Cell{}) << "the file's value 7 has no text";
}

}  // namespace
}  // namespace heatshelf
