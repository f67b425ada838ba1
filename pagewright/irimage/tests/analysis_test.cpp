// Analysis records and arrays, numbering, the reference temperature, the
// transmittance and temperature labels, and the order of the file list.
#include "irimage/draw_ir.h"
#include "irimage/ir_analysis.h"
#include "irimage/ir_file_entry.h"
#include "irimage/temperature_text.h"

#include "document/document_environment.h"
#include "document/rpt_doc.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/codepage.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

IRFileEntry Keyed(const QString& key)
{
    IRFileEntry e;
    e.key = key;
    return e;
}

IRAnalysisItem Item(std::int32_t kind, std::int32_t number)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.number = number;
    return item;
}

} // namespace

TEST(AnalysisRecord, NameAndTextAreGbkCutAtACharacterBoundary)
{
    IRAnalysisItem item;
    item.SetName(QStringLiteral("区域01"));
    EXPECT_EQ(std::memcmp(item.name, "\xC7\xF8\xD3\xF2" "01", 7), 0);
    EXPECT_EQ(item.Name(), QStringLiteral("区域01"));
    // 11 bytes at most: six two-byte characters keep five.
    item.SetName(QStringLiteral("温度温度温度"));
    EXPECT_EQ(item.Name(), QStringLiteral("温度温度温"));
    item.SetText(QString(60, QLatin1Char('x')));
    EXPECT_EQ(item.Text().size(), 39);
}

TEST(AnalysisArray, GrowsByTheClassLibraryRulesAndZeroFills)
{
    IRAnalysisArray array;
    array.SetSize(1);
    EXPECT_EQ(array.GetCapacity(), 4u); // max(1, 0 + 4)
    array[0].number = 7;
    array.SetSize(5);
    EXPECT_EQ(array.GetCapacity(), 8u);
    EXPECT_EQ(array[0].number, 7);
    EXPECT_EQ(array[4].number, 0);
    array.SetSize(2);
    array.SetSize(3);
    EXPECT_EQ(array[2].number, 0) << "shrinking and growing again zero-fills";
    array.SetSize(0, -1);
    EXPECT_EQ(array.GetCapacity(), 0u);
    EXPECT_EQ(array.GetData(), nullptr);
}

TEST(AnalysisArray, ArchiveFormRoundTripsAndRefusesCountsTheBytesCannotHold)
{
    IRAnalysisArray array;
    array.Add(Item(kAnalysisRect, 3));
    array.Add(Item(kAnalysisPoint, 1));
    platform::ArchiveWriter w;
    array.Serialize(w);
    ASSERT_EQ(w.data().size(), 2 + 2 * 256);

    platform::ArchiveClassRegistry registry;
    IRAnalysisArray back;
    platform::ArchiveReader r(w.data(), registry);
    back.Serialize(r);
    ASSERT_EQ(back.GetSize(), 2u);
    EXPECT_EQ(back[0].kind, kAnalysisRect);
    EXPECT_EQ(back[1].number, 1);

    // A count of 1000 records over 10 bytes: refused before allocating.
    QByteArray hostile("\xE8\x03", 2);
    hostile.append(10, '\0');
    platform::ArchiveReader bad(hostile, registry);
    EXPECT_THROW(back.Serialize(bad), platform::ArchiveError);
}

TEST(AnalysisArray, OldRecordsBecomeNewOnesWithTheImageTemperatures)
{
    IRAnalysisItem source = Item(kAnalysisLine, 2);
    source.SetName(QStringLiteral("线02"));
    source.labelMode = 1;
    IROldAnalysisItem old;
    std::memcpy(old.bytes, &source, IROldAnalysisItem::kSize);
    const IRAnalysisItem item = ConvertOldAnalysis(old, 21.5f, 18.0f);
    EXPECT_EQ(item.kind, kAnalysisLine);
    EXPECT_EQ(item.Name(), QStringLiteral("线02"));
    EXPECT_EQ(item.labelMode, 1);
    EXPECT_EQ(item.refFromAnalysis, 0);
    EXPECT_FLOAT_EQ(item.referenceTemp, 21.5f);
    EXPECT_FLOAT_EQ(item.background, 18.0f);
}

TEST(AnalysisNumbering, LowestFreeNumberPerCategory)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> records; // kind, number
        int point, line, area;
    };
    const Case cases[] = {
        {"empty", {}, 1, 1, 1},
        {"points 1 and 3, line 1", {{1, 1}, {1, 3}, {2, 1}}, 2, 2, 1},
        {"areas 2 and 3 only", {{3, 2}, {4, 3}}, 1, 1, 1},
        {"rectangle and ellipse share the area numbers", {{3, 1}, {4, 2}}, 1, 1, 3},
        {"numbers outside 1..101 are ignored", {{1, 5000}, {1, -7}, {1, 1}}, 2, 1, 1},
        {"a number above the count", {{1, 101}}, 1, 1, 1},
        {"other kinds count for no category", {{9, 1}, {0, 1}}, 1, 1, 1},
    };
    for (const Case& c : cases) {
        CDrawIR ir;
        for (auto [kind, number] : c.records)
            ir.m_analyses.Add(Item(kind, number));
        EXPECT_EQ(ir.NextAnalysisNumber(kCategoryPoint), c.point) << c.what;
        EXPECT_EQ(ir.NextAnalysisNumber(kCategoryLine), c.line) << c.what;
        EXPECT_EQ(ir.NextAnalysisNumber(kCategoryArea), c.area) << c.what;
        EXPECT_EQ(ir.NextAnalysisNumber(7), 1) << c.what;
    }
    CDrawIR full;
    for (int i = 1; i <= 101; ++i)
        full.m_analyses.Add(Item(kAnalysisPoint, i));
    EXPECT_EQ(full.NextAnalysisNumber(kCategoryPoint), 1);
    EXPECT_EQ(full.NextAnalysisNumber(kCategoryArea), 1);
}

TEST(AnalysisLookups, FindLineFindAreaAndNames)
{
    CDrawIR ir;
    IRAnalysisItem line = Item(kAnalysisLine, 4);
    line.SetName(QStringLiteral("线04"));
    line.shape = {1, 2, 30, 40};
    line.emissivity = 0.8f;
    ir.m_analyses.Add(line);
    IRAnalysisItem ellipse = Item(kAnalysisEllipse, 2);
    ellipse.SetName(QStringLiteral("区域02"));
    ir.m_analyses.Add(ellipse);

    IRShape shape{-1, -1, -1, -1};
    float e = -1, d = -1, bg = -1;
    int kind = -1;
    QString name = QStringLiteral("unchanged");
    EXPECT_FALSE(ir.FindArea(4, shape, e, d, bg, kind, name)) << "a number only a line carries";
    EXPECT_EQ(name, QStringLiteral("unchanged"));
    EXPECT_EQ(kind, -1);
    EXPECT_TRUE(ir.FindArea(2, shape, e, d, bg, kind, name));
    EXPECT_EQ(kind, kAnalysisEllipse);
    EXPECT_TRUE(ir.FindLine(4, shape, e, d, bg, name));
    EXPECT_EQ(shape.right, 30);
    EXPECT_FLOAT_EQ(e, 0.8f);
    EXPECT_FALSE(ir.FindLine(2, shape, e, d, bg, name));
    EXPECT_EQ(name, QStringLiteral("(无)"));
    EXPECT_TRUE(ir.GetAnalysisName(kAnalysisEllipse, 2, name));
    EXPECT_EQ(name, QStringLiteral("区域02"));
    EXPECT_FALSE(ir.GetAnalysisName(kAnalysisRect, 2, name)) << "the kind must match exactly";

    IRAnalysisArray target;
    target.Add(Item(kAnalysisPoint, 9));
    ir.CopyAnalysesTo(target);
    ASSERT_EQ(target.GetSize(), 3u);
    EXPECT_EQ(target[0].number, 9);
    EXPECT_EQ(target[2].kind, kAnalysisEllipse);
}

TEST(ReferenceTemperature, ConvertsFixedValuesOnlyNeverAnAnalysisStatistic)
{
    DocumentEnvironment env;
    CDI_RptDoc doc(&env);
    CDrawIR ir;
    ir.SetDocument(&doc);
    ir.m_bUseRefTemp = 1;
    ir.m_fReference = 20.0f;
    IRAnalysisItem source = Item(kAnalysisRect, 1);
    source.maximum = 100.0f; // measured in Fahrenheit already
    source.average = 90.0f;
    ir.m_analyses.Add(source);
    IRAnalysisItem fixed = Item(kAnalysisPoint, 1);
    fixed.ownReference = 1;
    fixed.referenceTemp = 30.0f;
    ir.m_analyses.Add(fixed);
    IRAnalysisItem linked = Item(kAnalysisPoint, 2);
    linked.refFromAnalysis = 1;
    linked.refKind = kAnalysisRect;
    linked.refNumber = 1;
    linked.refValue = 3;
    ir.m_analyses.Add(linked);
    IRAnalysisItem missing = linked;
    missing.refNumber = 9;
    ir.m_analyses.Add(missing);

    env.SetTempUnit(kUnitFahrenheit);
    EXPECT_NEAR(ir.GetReferenceTemp(0), 68.0, 1e-4) << "the image's fixed reference";
    EXPECT_NEAR(ir.GetReferenceTemp(1), 86.0, 1e-4) << "the record's own reference";
    EXPECT_NEAR(ir.GetReferenceTemp(2), 90.0, 1e-4) << "an analysis's average, not converted again";
    EXPECT_NEAR(ir.GetReferenceTemp(3), 68.0, 1e-4) << "no match keeps the image's value";
    ir.m_bUseRefTemp = 0;
    ir.m_bUseRefTarget = 1;
    ir.m_nRefKind = kAnalysisRect;
    ir.m_nRefNumber = 1;
    // The image's reference analysis gives the statistic its selector names;
    // an unknown selector gives the maximum.
    ir.m_analyses[0].minimum = 80.0f;
    const std::pair<int, double> selectors[] = {{1, 100.0}, {2, 80.0}, {3, 90.0}, {0, 100.0}, {7, 100.0}};
    for (const auto& [selector, expected] : selectors) {
        ir.m_nRefIndex = selector;
        EXPECT_NEAR(ir.GetReferenceTemp(0), expected, 1e-4) << "selector " << selector;
    }
    env.SetTempUnit(kUnitKelvin);
    ir.m_bUseRefTarget = 0;
    EXPECT_NEAR(ir.GetReferenceTemp(0), 273.2, 1e-4) << "neither flag: 0 degrees Celsius";
    ir.SetDocument(nullptr);
}

TEST(TemperatureUnits, KelvinAndFahrenheit)
{
    EXPECT_FLOAT_EQ(CelsiusToUnit(25.0f, kUnitKelvin), float(25.0 + 273.2));
    EXPECT_FLOAT_EQ(CelsiusToUnit(100.0f, kUnitFahrenheit), 212.0f);
    EXPECT_FLOAT_EQ(CelsiusToUnit(-40.0f, kUnitFahrenheit), -40.0f);
    EXPECT_FLOAT_EQ(CelsiusToUnit(12.5f, kUnitCelsius), 12.5f);
}

// The library against tools of its own: a Python computation of the same
// formulas.
TEST(TransmittanceAndLabels, AgreeWithAnIndependentComputation)
{
    struct T {
        float t, rh, d;
    };
    const T transmittances[] = {{20, 80, 0},  {20, 80, 10},   {35, 95, 100},  {-10, 30, 1}, {0, 0, 5},
                                {45, 100, 2000}, {25.5f, 63.5f, 37.25f}, {-40, 100, 0.5f}, {15, 80, 300}};
    struct L {
        float value, high, low;
    };
    const float nan = std::nanf("");
    const L labels[] = {{150, 120, -20}, {-30, 120, -20}, {25, 120, -20}, {120, 120, -20}, {-20, 120, -20},
                        {nan, 120, -20}, {3.25f, 10, 0},  {-5.05f, 0, -10}, {1234.56f, 2000, 0}};
    QByteArray input;
    for (const T& c : transmittances)
        input += QByteArray::number(double(c.t), 'g', 9) + ' ' + QByteArray::number(double(c.rh), 'g', 9) + ' ' +
                 QByteArray::number(double(c.d), 'g', 9) + '\n';
    for (const L& c : labels)
        input += "label " + QByteArray::number(double(c.value), 'g', 9) + ' ' +
                 QByteArray::number(double(c.high), 'g', 9) + ' ' + QByteArray::number(double(c.low), 'g', 9) + '\n';
    QProcess python;
    python.start(QStringLiteral(IRIMAGE_TEST_PYTHON), {QStringLiteral(IRIMAGE_TEST_SCRIPTS "/transmittance_ref.py")});
    ASSERT_TRUE(python.waitForStarted());
    python.write(input);
    python.closeWriteChannel();
    ASSERT_TRUE(python.waitForFinished());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), int(std::size(transmittances) + std::size(labels)));
    int i = 0;
    for (const T& c : transmittances) {
        const float expected = lines[i++].toFloat();
        EXPECT_EQ(AtmosphericTransmittance(c.t, c.rh, c.d), expected) << c.t << ' ' << c.rh << ' ' << c.d;
    }
    for (const L& c : labels)
        EXPECT_EQ(FormatTempLabel(c.value, c.high, c.low), lines[i++]) << c.value;
    EXPECT_NEAR(AtmosphericTransmittance(20, 80, 0), 1.0f, 1e-6f);
}

TEST(TransmittanceAndLabels, CutAfterAddingHalfAHundredth)
{
    // The cut itself: 0.8749 -> 0.87, 0.875 -> 0.88 (through the formula's
    // last step, with A - B chosen through the distance).
    for (float d = 0; d < 3000; d += 7.5f) {
        const float t = AtmosphericTransmittance(20, 80, d);
        EXPECT_NEAR(t * 100.0f, std::round(t * 100.0f), 1e-3f) << d;
    }
    EXPECT_EQ(FormatTempLabel(25.0f, 120.0f, -20.0f), QStringLiteral("25.0"));
    EXPECT_EQ(FormatTempLabel(5.0f, 120.0f, -20.0f), QStringLiteral(" 5.0"));
}

TEST(FileNames, NaturalOrder)
{
    auto sorted = [](std::initializer_list<const char*> keys, int order) {
        std::vector<IRFileEntry> entries;
        for (const char* k : keys)
            entries.push_back(Keyed(QString::fromUtf8(k)));
        SortFileList(entries, order);
        QStringList out;
        for (const IRFileEntry& e : entries)
            out << e.key;
        return out.join(QLatin1Char(' '));
    };
    EXPECT_EQ(sorted({"img10", "img9", "IMG2"}, kOrderNameNatural), QStringLiteral("IMG2 img9 img10"));
    EXPECT_EQ(sorted({"a1", "a01"}, kOrderNameNatural), QStringLiteral("a01 a1"));
    EXPECT_EQ(sorted({"x1000000000000000000000001", "x999999999999999999999999", "x2"}, kOrderNameNatural),
              QStringLiteral("x2 x999999999999999999999999 x1000000000000000000000001"))
        << "25-digit runs compare as numbers";
    EXPECT_EQ(sorted({"x0000000000000000000000009", "x9"}, kOrderNameNatural),
              QStringLiteral("x0000000000000000000000009 x9"));
    EXPECT_EQ(sorted({"b", "a", "A"}, kOrderNameNatural), QStringLiteral("A a b"))
        << "equal after folding: the bytes decide";
    EXPECT_EQ(sorted({"2021-05-01 10:00:00", "2021-04-30 23:59:59"}, kOrderTimeSorted),
              QStringLiteral("2021-04-30 23:59:59 2021-05-01 10:00:00"));
    EXPECT_EQ(sorted({"img10", "img9"}, kOrderTimeSorted), QStringLiteral("img10 img9")) << "bytes, not numbers";
    EXPECT_EQ(sorted({"热像2", "热像10", "z"}, kOrderNameNatural), QStringLiteral("z 热像2 热像10"));

    // A key ending in a lead byte is not read past (GBK lead byte alone).
    const QString lone = platform::fromGbk(QByteArray("ab\x81", 3));
    EXPECT_FALSE(CompareFileNames(lone, lone, kOrderNameNatural));
}

TEST(FileNames, UniqueKeysForTheCombo)
{
    std::vector<IRFileEntry> entries{Keyed(QStringLiteral("x.VNI")), Keyed(QStringLiteral("x.VNI")),
                                     Keyed(QStringLiteral("x.VNI1")), Keyed(QStringLiteral("x.VNI"))};
    for (std::size_t i = 0; i < entries.size(); ++i)
        MakeUniqueKey(entries, i);
    EXPECT_EQ(entries[0].key, QStringLiteral("x.VNI"));
    EXPECT_EQ(entries[1].key, QStringLiteral("x.VNI1"));
    EXPECT_EQ(entries[2].key, QStringLiteral("x.VNI11"));
    EXPECT_EQ(entries[3].key, QStringLiteral("x.VNI2"));
}
