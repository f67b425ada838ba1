// The image object: construction, the file list and its loads, dependents,
// unit changes and the change counter.
#include "irimage/draw_ir.h"

#include "irimage/ir_dependent.h"
#include "irimage/temperature_text.h"
#include "test_support.h"

#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include "platform/dib.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <memory>

using namespace irtest;

namespace {

// A field bound to an image number.
class BoundField : public CDrawObj, public IRImageDependent {
public:
    explicit BoundField(int number) : m_number(number) {}
    void OnIRImageChanged(CDrawIR&) override { ++changes; }
    bool IsBoundToImage(int number) const override { return number == m_number; }
    int changes = 0;

private:
    int m_number;
};

// An image listing the 320-wide k4_320 (shown) and the 160-wide k8_160.
CDrawIR* ShowTwoWidths(ReportWithView& r)
{
    r.env.dataFiles = {Fixture("k4_320.vni"), Fixture("k8_160.vni")};
    CDrawIR* ir = r.AddImage();
    ir->SetSortMode(kOrderNameAdded);
    EXPECT_TRUE(ir->LoadIRFileEx(Fixture("k4_320.vni")));
    return ir;
}

} // namespace

TEST(DrawIrObject, DefaultsOfBothConstructors)
{
    ReportWithView r;
    CDrawIR* ir = r.AddImage();
    EXPECT_FLOAT_EQ(ir->m_fEmissivity, 0.9f);
    EXPECT_FLOAT_EQ(ir->m_fDistance, 10.0f);
    EXPECT_FLOAT_EQ(ir->m_fAmbient, 20.0f);
    EXPECT_FLOAT_EQ(ir->m_fBackground, 20.0f);
    EXPECT_FLOAT_EQ(ir->m_fReference, 20.0f);
    EXPECT_FLOAT_EQ(ir->m_fHumidity, 0.8f) << "a fraction of 1";
    EXPECT_FLOAT_EQ(ir->m_fTransmittance, 1.0f);
    EXPECT_EQ(ir->m_bShowBar, 1u);
    EXPECT_EQ(ir->m_bShowMarks, 1u);
    EXPECT_EQ(ir->SortMode(), 2);
    EXPECT_EQ(ir->GetFillColor(), 0xFFFFFFu);
    EXPECT_EQ(ir->m_isotherms[1].color, 0x0097FFu);
    EXPECT_EQ(ir->m_isotherms[9].enabled, 0u);
    EXPECT_FALSE(ir->HasImage());

    CDrawIR bare;
    EXPECT_FLOAT_EQ(bare.m_fHumidity, 0.0f);
    EXPECT_EQ(bare.m_isotherms[0].enabled, 0u);
    EXPECT_EQ(bare.m_isotherms[0].color, 0u);
}

TEST(DrawIrObject, DestroyingTheObjectClosesItsHandle)
{
    auto ir = std::make_unique<CDrawIR>();
    ASSERT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
    const IfrHandle h = ir->Image().Handle();
    EXPECT_GT(IFR_GetFileLen(h), 0);
    ir.reset();
    EXPECT_EQ(IFR_GetFileLen(h), 0);
}

TEST(DrawIrFileList, LoadIRFileShowsTheFileAndAFailedCandidateChangesNothing)
{
    ReportWithView r;
    CDrawIR* ir = r.AddImage();
    const QString path = Fixture("k4_320.vni");
    ASSERT_TRUE(ir->LoadIRFile(path));
    ASSERT_TRUE(ir->HasImage());
    EXPECT_EQ(ir->Dib().size(), ThermcoreDibFileSize(320, 240) - 14);
    EXPECT_EQ(r.env.picPaths, QStringList{path});
    ASSERT_EQ(ir->FileCount(), 1);
    const IRFileEntry& e = ir->Files()[0];
    EXPECT_EQ(e.key, QStringLiteral("k4_320.vni"));
    EXPECT_EQ(e.bytes, ReadAll(path));
    EXPECT_EQ(ir->m_strFileName, QStringLiteral("k4_320.vni"));
    EXPECT_EQ(ir->m_strFolder, QStringLiteral(IRIMAGE_TEST_FIXTURES "/"));
    EXPECT_EQ(e.emissivity, TruncateTo<std::uint16_t>(double(ir->m_fEmissivity) * 100));
    EXPECT_FLOAT_EQ(ir->m_fReference, float(e.ambient * 0.01));
    EXPECT_FLOAT_EQ(ir->m_fTransmittance,
                    AtmosphericTransmittance(ir->m_fBackground, ir->m_fHumidity * 100, ir->m_fDistance));
    EXPECT_GT(ir->m_fLimits[4], ir->m_fLimits[5]);
    EXPECT_FALSE(ir->m_strInfo[0].isEmpty());

    ir->m_analyses.Add(Shape(kAnalysisRect, {10, 10, 30, 30}));
    ir->ComputeAnalysis(0);
    const IRAnalysisItem before = ir->m_analyses[0];
    ASSERT_TRUE(before.HasStatistics());
    EXPECT_FALSE(ir->LoadIRFile(Fixture("bad_model.vni")));
    EXPECT_FALSE(ir->LoadIRFile(Fixture("no-such.vni")));
    EXPECT_EQ(ir->FileCount(), 1);
    EXPECT_EQ(r.env.picPaths.size(), 1);
    ir->ComputeAnalysis(0);
    EXPECT_EQ(ir->m_analyses[0].maximum, before.maximum) << "the shown image stays measurable";
    EXPECT_EQ(ir->m_analyses[0].average, before.average);
}

// The shown bitmap is the holder's, each render written over the storage
// of the last when nothing else holds it; a copy held elsewhere keeps the
// pixels it had.
TEST(DrawIrFileList, EachRenderShowsTheHoldersBitmapInPlace)
{
    CDrawIR ir;
    ASSERT_TRUE(ir.LoadIRFile(Fixture("k8_640.vni")));
    const auto holderDib = [&ir] {
        const int capacity = ThermcoreDibFileSize(640, 480);
        QByteArray block(capacity, '\0');
        int size = 0;
        EXPECT_EQ(ir.Image().OutputDIB(reinterpret_cast<unsigned char*>(block.data()), capacity, &size, 3), 0);
        block.resize(size - 14);
        return block;
    };
    const float high = ir.m_fLimits[4], low = ir.m_fLimits[5];
    const auto narrowTo = [&](float part) {
        ir.Image().SetRangeTemps(low + (high - low) * (0.5f + part), low + (high - low) * (0.5f - part));
        ir.SetPalette(ir.Image().PaletteIndex());
    };
    ASSERT_EQ(ir.Dib().size(), ThermcoreDibFileSize(640, 480) - 14);
    EXPECT_EQ(ir.Dib(), holderDib());

    const QByteArray first = holderDib();
    const char* storage = ir.Dib().constData();
    narrowTo(0.2f);
    EXPECT_EQ(ir.Dib().constData(), storage);
    EXPECT_NE(ir.Dib(), first);
    EXPECT_EQ(ir.Dib(), holderDib());
    narrowTo(0.1f);
    EXPECT_EQ(ir.Dib().constData(), storage);
    EXPECT_EQ(ir.Dib(), holderDib());

    const QByteArray held = ir.Dib();
    const QByteArray heldPixels(held.constData(), held.size());
    narrowTo(0.3f);
    EXPECT_EQ(held, heldPixels);
    EXPECT_NE(ir.Dib(), held);
    EXPECT_EQ(ir.Dib(), holderDib());
}

TEST(DrawIrFileList, ThePictureSpansThePaletteOverTheDisplayRange)
{
    // The rendered picture of a file and of a narrowed display range, left
    // in the build tree to look at.
    CDrawIR ir;
    ASSERT_TRUE(ir.LoadIRFile(Fixture("k8_640.vni")));
    const QImage full = platform::DibToImage(ir.Dib());
    ASSERT_EQ(full.size(), QSize(640, 480));
    QSet<QRgb> colours;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4)
            colours.insert(full.pixel(x, y));
    EXPECT_GT(colours.size(), 50) << "the display range spans the image's temperatures";

    const float high = ir.m_fLimits[4], low = ir.m_fLimits[5];
    ir.Image().SetRangeTemps(low + (high - low) * 0.55f, low + (high - low) * 0.45f);
    ir.SetPalette(ir.Image().PaletteIndex());
    const QImage narrow = platform::DibToImage(ir.Dib());
    int changed = 0;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4)
            changed += narrow.pixel(x, y) != full.pixel(x, y);
    EXPECT_GT(changed, 1000) << "a narrower range changes the picture";
    QDir().mkpath(QStringLiteral(IRIMAGE_TEST_ARTIFACTS));
    full.save(QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/k8_640-full.png"));
    narrow.save(QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/k8_640-narrow.png"));
}

TEST(DrawIrFileList, RectangleStatistics)
{
    CDrawIR ir;
    ASSERT_TRUE(ir.LoadIRFile(Fixture("k4_320.vni")));
    float pixel = 0;
    ir.Image().GetPointTemp(10, 10, 0.95f, 1.0f, 20, &pixel);
    ir.m_analyses.Add(Shape(kAnalysisRect, {10, 10, 11, 11}));
    ir.m_analyses.Add(Shape(kAnalysisRect, {0, 0, 320, 240}));  // the whole image
    ir.m_analyses.Add(Shape(kAnalysisRect, {0, 0, 330, 240}));  // larger than the image
    ir.m_analyses.Add(Shape(kAnalysisPoint, {10, 10, 0, 0}));
    ir.m_analyses.Add(Shape(77, {0, 0, 5, 5}));
    ir.m_analyses[4].maximum = 1.5f;
    ir.RecomputeAll();
    const IRAnalysisItem& one = ir.m_analyses[0];
    EXPECT_EQ(one.maximum, pixel);
    EXPECT_EQ(one.minimum, pixel);
    EXPECT_EQ(one.average, pixel);
    EXPECT_EQ(one.maxX, 0);
    EXPECT_EQ(one.minY, 0);
    EXPECT_TRUE(ir.m_analyses[1].HasStatistics()) << "room for the whole image";
    EXPECT_GE(ir.m_analyses[1].maximum, ir.m_analyses[1].average);
    EXPECT_FALSE(ir.m_analyses[2].HasStatistics());
    EXPECT_EQ(ir.m_analyses[2].average, 0.0f);
    EXPECT_EQ(ir.m_analyses[3].maximum, pixel);
    EXPECT_EQ(ir.m_analyses[4].maximum, 1.5f) << "an unknown kind is skipped";

    // Equal values: the first in column order wins.
    IRAnalysisItem flat = Shape(kAnalysisRect, {0, 0, 4, 1});
    ir.MeasureAnalysis(flat);
    float t0 = 0, t1 = 0, t2 = 0, t3 = 0;
    ir.Image().GetPointTemp(0, 0, 0.95f, 1.0f, 20, &t0);
    ir.Image().GetPointTemp(1, 0, 0.95f, 1.0f, 20, &t1);
    ir.Image().GetPointTemp(2, 0, 0.95f, 1.0f, 20, &t2);
    ir.Image().GetPointTemp(3, 0, 0.95f, 1.0f, 20, &t3);
    const float values[] = {t0, t1, t2, t3};
    int firstMax = 0;
    for (int i = 1; i < 4; ++i)
        if (values[i] > values[firstMax])
            firstMax = i;
    EXPECT_EQ(flat.maxX, firstMax);
}

TEST(DrawIrFileList, ANarrowerFileRescalesAndThePaletteAndRangeStayWithTheirFiles)
{
    ReportWithView r;
    CDrawIR* ir = ShowTwoWidths(r);
    ASSERT_EQ(ir->FileCount(), 2);
    ASSERT_EQ(ir->FileIndex(), 0);
    ir->m_analyses.Add(Shape(kAnalysisRect, {40, 20, 81, 60}));
    ir->ComputeAnalysis(0);

    ASSERT_EQ(ir->Image().PaletteIndex(), 3) << "the palette of the fixtures";
    ir->SetPalette(6);
    EXPECT_EQ(ir->Files()[0].bytes[36], 6) << "the file remembers its palette";
    ASSERT_TRUE(ir->LoadFileAtIndex(1));
    EXPECT_EQ(ir->ImageWidth(), 160);
    const IRShape s = ir->m_analyses[0].shape;
    EXPECT_EQ(s.left, 20);
    EXPECT_EQ(s.top, 10);
    EXPECT_EQ(s.right, 40) << "truncated: 81 * 0.5";
    EXPECT_EQ(s.bottom, 30);
    EXPECT_TRUE(ir->m_analyses[0].HasStatistics());
    EXPECT_EQ(ir->Image().PaletteIndex(), 3);

    ASSERT_TRUE(ir->LoadFileAtIndex(0));
    EXPECT_EQ(ir->Image().PaletteIndex(), 6) << "the palette survives stepping away and back";
    EXPECT_EQ(ir->ImageWidth(), 320);
    EXPECT_EQ(ir->m_analyses[0].shape.left, 40);
    EXPECT_EQ(ir->m_analyses[0].shape.right, 81) << "back on its own pixels, not 40 * 2";

    // The display range remembered per entry.
    const float upper = ir->Files()[0].rangeUpper;
    EXPECT_NE(upper, 0.0f);
    EXPECT_FLOAT_EQ(ir->m_fLimits[4], upper);
    EXPECT_EQ(r.env.picPaths.last(), Fixture("k4_320.vni"));
}

// An analysis moved or added on a narrower file goes to a wider one from
// there; one only carried through keeps the pixels it was placed on.
TEST(DrawIrFileList, AnAnalysisChangedOnAnotherFileIsPlacedThereAnew)
{
    ReportWithView r;
    CDrawIR* ir = ShowTwoWidths(r);
    ASSERT_EQ(ir->FileCount(), 2);
    ir->m_analyses.Add(Shape(kAnalysisPoint, {101, 77, 101, 77}));
    ir->m_analyses.Add(Shape(kAnalysisLine, {33, 41, 211, 157}));
    ir->RecomputeAll();

    ASSERT_TRUE(ir->LoadFileAtIndex(1));
    EXPECT_EQ(ir->m_analyses[0].shape, (IRShape{50, 38, 50, 38}));
    ir->m_analyses[1].shape = {11, 13, 71, 29}; // moved on the narrow file
    ir->m_analyses.Add(Shape(kAnalysisRect, {21, 23, 61, 59}));
    ir->m_analyses[2].number = 1;
    ASSERT_TRUE(ir->LoadFileAtIndex(0));
    EXPECT_EQ(ir->m_analyses[0].shape, (IRShape{101, 77, 101, 77}));
    EXPECT_EQ(ir->m_analyses[1].shape, (IRShape{22, 26, 142, 58}));
    EXPECT_EQ(ir->m_analyses[2].shape, (IRShape{42, 46, 122, 118}));
    // From there on each keeps its new place through further steps.
    ASSERT_TRUE(ir->LoadFileAtIndex(1));
    ASSERT_TRUE(ir->LoadFileAtIndex(0));
    EXPECT_EQ(ir->m_analyses[1].shape, (IRShape{22, 26, 142, 58}));
    EXPECT_EQ(ir->m_analyses[2].shape, (IRShape{42, 46, 122, 118}));
    // Deleted and drawn again: the new records are placed on their own.
    ir->m_analyses.RemoveAll();
    ir->m_analyses.Add(Shape(kAnalysisPoint, {101, 77, 101, 77}));
    ASSERT_TRUE(ir->LoadFileAtIndex(1));
    ASSERT_TRUE(ir->LoadFileAtIndex(0));
    EXPECT_EQ(ir->m_analyses[0].shape, (IRShape{101, 77, 101, 77}));
}

TEST(DrawIrFileList, NaturalOrderAndUniqueComboKeys)
{
    QTemporaryDir dir;
    ReportWithView r;
    r.env.withCombo = true;
    r.env.dataFiles = {CopyFixture(dir, "k4.vni", QStringLiteral("img10.VNI")),
                       CopyFixture(dir, "k5.vni", QStringLiteral("img9.VNI")),
                       CopyFixture(dir, "k6.vni", QStringLiteral("IMG2.VNI")),
                       CopyFixture(dir, "k7.vni", QStringLiteral("a/x.VNI")),
                       CopyFixture(dir, "k8.vni", QStringLiteral("b/x.VNI"))};
    CDrawIR* ir = r.AddImage();
    ir->SetSortMode(kOrderNameNatural);
    ASSERT_TRUE(ir->LoadIRFileEx(r.env.dataFiles[1]));
    QStringList keys;
    for (const IRFileEntry& e : ir->Files())
        keys << e.key;
    EXPECT_EQ(keys, (QStringList{"IMG2.VNI", "img9.VNI", "img10.VNI", "x.VNI", "x.VNI"}));
    EXPECT_EQ(ir->FileIndex(), 1) << "the entry of the path asked for";
    ir->RefreshFileCombo();
    EXPECT_EQ(r.env.combo.items, (QStringList{"IMG2.VNI", "img9.VNI", "img10.VNI", "x.VNI", "x.VNI1"}));
    EXPECT_EQ(r.env.combo.selected, 1);
    EXPECT_EQ(r.env.combo.fileName, QStringLiteral("img9.VNI"));
    r.env.combo.selected = 4;
    ir->ReadComboSelection();
    EXPECT_EQ(ir->FileIndex(), 4);

    // Mode 2 after mode 0: names again, the order kept.
    ir->SetSortMode(kOrderNameAdded);
    ir->BuildFileList();
    QStringList after;
    for (const IRFileEntry& e : ir->Files())
        after << e.key;
    EXPECT_EQ(after, (QStringList{"IMG2.VNI", "img9.VNI", "img10.VNI", "x.VNI", "x.VNI"}));
    // A list that fails part way ends with what was read and shows nothing.
    r.env.dataFiles.insert(2, Fixture("bad_model.vni"));
    EXPECT_FALSE(ir->LoadIRFileEx(r.env.dataFiles[0]));
    EXPECT_EQ(ir->FileCount(), 2);
}

TEST(DrawIrFileList, AListOf600FilesIsOrderedToo)
{
    // Beyond the loaders' 600 files nothing is added; at 600 the list is
    // still put in order.
    QTemporaryDir dir;
    ReportWithView r;
    const QString source = Fixture("k2.vni");
    for (int i = 601; i >= 0; --i) {
        const QString path = dir.filePath(QStringLiteral("f%1.VNI").arg(i));
        ASSERT_TRUE(QFile::link(source, path));
        r.env.dataFiles << path;
    }
    CDrawIR* ir = r.AddImage();
    ir->SetSortMode(kOrderNameNatural);
    ASSERT_TRUE(ir->LoadIRFileEx(r.env.dataFiles[0]));
    ASSERT_EQ(ir->FileCount(), kMaxLoadedFiles);
    EXPECT_EQ(ir->Files()[0].key, QStringLiteral("f2.VNI"));
    EXPECT_EQ(ir->Files()[599].key, QStringLiteral("f601.VNI"));
}

TEST(DrawIrDependents, TheListNeverHoldsADeadObject)
{
    ReportWithView r;
    auto* bound = static_cast<BoundField*>(r.doc.AddNoUndo(std::make_unique<BoundField>(2)));
    auto* other = static_cast<BoundField*>(r.doc.AddNoUndo(std::make_unique<BoundField>(3)));
    CDrawIR* ir = r.AddImage(2);
    ASSERT_EQ(ir->Dependents().size(), 1u) << "collected by number when the image is made";
    EXPECT_EQ(ir->Dependents()[0], bound);
    ASSERT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
    EXPECT_GT(bound->changes, 0);
    EXPECT_EQ(other->changes, 0);

    ir->AddDependent(other);
    r.doc.Remove(other);
    other->Remove();
    ASSERT_EQ(ir->Dependents().size(), 1u) << "a removed field leaves the list";
    ir->SetPalette(2);

    r.doc.Remove(ir);
    ir->Remove();
    EXPECT_TRUE(bound->Images().empty()) << "a removed image leaves its dependents";
}

TEST(DrawIrUnits, AUnitChangeRecomputesEveryImageOfEveryDocument)
{
    TestEnvironment env;
    CDI_RptDoc first(&env, &Registry());
    CDI_RptDoc second(&env, &Registry());
    CDrawIR* images[2];
    CDI_RptDoc* docs[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        images[i] = static_cast<CDrawIR*>(docs[i]->AddNoUndo(std::make_unique<CDrawIR>()));
        ASSERT_TRUE(images[i]->LoadIRFile(Fixture("k8.vni")));
        images[i]->m_analyses.Add(Shape(kAnalysisPoint, {5, 5, 0, 0}));
        images[i]->ComputeAnalysis(0);
    }
    const float celsius = images[1]->m_analyses[0].maximum;
    env.SetTempUnit(kUnitFahrenheit);
    for (CDrawIR* ir : images)
        EXPECT_FLOAT_EQ(ir->m_analyses[0].maximum, CelsiusToUnit(celsius, kUnitFahrenheit));
    TestEnvironment otherProgram;
    otherProgram.SetTempUnit(kUnitKelvin);
    EXPECT_FLOAT_EQ(images[0]->m_analyses[0].maximum, CelsiusToUnit(celsius, kUnitFahrenheit))
        << "images of another environment are not touched";
}

TEST(DrawIrChanges, EveryChangeCountsButAChartsCollection)
{
    ReportWithView r;
    r.env.dataFiles = {Fixture("k4_320.vni"), Fixture("k4.vni")};
    CDrawIR* ir = r.AddImage();
    ASSERT_TRUE(ir->LoadIRFileEx(Fixture("k4_320.vni")));
    ir->m_analyses.Add(Shape(kAnalysisLine, {0, 0, 30, 20}));
    std::uint64_t count = ir->ChangeCount();
    ir->RecomputeAll();
    EXPECT_GT(ir->ChangeCount(), count);

    count = ir->ChangeCount();
    ir->m_bChanged = 0;
    ASSERT_TRUE(ir->LoadFileForMeasure(1));
    ASSERT_TRUE(ir->LoadFileForMeasure(0));
    ASSERT_TRUE(ir->LoadFileAtIndex(ir->FileIndex(), false));
    EXPECT_EQ(ir->ChangeCount(), count) << "a chart's collection and its final load";
    EXPECT_EQ(ir->m_bChanged, 1);
    ASSERT_TRUE(ir->LoadFileAtIndex(1));
    EXPECT_GT(ir->ChangeCount(), count);
    count = ir->ChangeCount();
    ir->SetPalette(1);
    EXPECT_GT(ir->ChangeCount(), count);
}
