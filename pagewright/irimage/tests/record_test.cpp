// The image object's record: reports of every format version, the current
// one byte for byte, damaged records refused.
#include "irimage/draw_ir.h"
#include "irimage/ir_marks.h"

#include "irimage/temperature_text.h"
#include "test_support.h"

#include "document/record_values.h"
#include "document/rpt_doc.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/compound_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace irtest;

namespace {

QByteArray Report(const char* name) { return ReadAll(QStringLiteral(IRIMAGE_TEST_REPORTS "/") + QLatin1String(name)); }

CDrawIR* OnlyImage(CDI_RptDoc& doc)
{
    if (doc.GetObjects().size() != 1)
        return nullptr;
    return dynamic_cast<CDrawIR*>(doc.GetObjects()[0]);
}

std::uint16_t WordAt(const QByteArray& b, qsizetype at)
{
    return static_cast<std::uint16_t>(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

} // namespace

TEST(DrawIrRecord, ReportsOfEveryVersionLoad)
{
    const QByteArray k4 = ReadAll(Fixture("k4.vni"));
    const QByteArray jpg = ReadAll(Fixture("jpg_still.jpg"));
    for (const char* name : {"v0.0", "v1.0", "v2.0", "v3.0", "v4.0", "v5.0", "v6.0"}) {
        SCOPED_TRACE(name);
        const double version = QByteArray(name + 1).toDouble();
        TestEnvironment env;
        env.SetTempUnit(kUnitKelvin);
        CDI_RptDoc doc(&env, &Registry());
        QString error;
        ASSERT_TRUE(doc.LoadContents(Report(name), &error)) << error.toStdString();
        CDrawIR* ir = OnlyImage(doc);
        ASSERT_NE(ir, nullptr);
        EXPECT_TRUE(ir->HasImage());
        EXPECT_EQ(ir->Image().FileCopy(), k4);
        EXPECT_EQ(ir->m_strFileName, QStringLiteral("图像.VNI"));
        EXPECT_EQ(ir->m_strObjectType, QStringLiteral("电机"));
        EXPECT_FLOAT_EQ(ir->m_fEmissivity, 0.95f);
        EXPECT_FLOAT_EQ(ir->m_fHumidity, 0.65f);
        EXPECT_FLOAT_EQ(ir->m_fLimits[4], 35.0f);
        EXPECT_FLOAT_EQ(ir->m_fLimits[2], version > 1 ? 36.0f : ir->m_fLimits[2]);
        EXPECT_EQ(env.TempUnit(), kUnitCelsius) << "the report's unit (0 for the oldest)";

        // Isotherms: two stored before 6.0, the others reset to the defaults.
        EXPECT_EQ(ir->m_isotherms[0].enabled, 1u);
        EXPECT_FLOAT_EQ(ir->m_isotherms[1].centre, 31.0f);
        EXPECT_FLOAT_EQ(ir->m_isotherms[9].centre, version > 5 ? 39.0f : 0.0f);
        EXPECT_EQ(ir->m_isotherms[9].color, version > 5 ? 0x0000FFu + 9 : CDrawIR::kIsoDefaultColors[9]);

        // The list: one entry made from the image in 0.0, else three.
        if (version == 0.0) {
            ASSERT_EQ(ir->FileCount(), 1);
            EXPECT_EQ(ir->Files()[0].path, QStringLiteral("D:\\热像\\图像.VNI"));
            QByteArray patched = k4;
            patched[36] = 0; // the report's palette, recorded in the file
            EXPECT_EQ(ir->Files()[0].bytes, patched);
            EXPECT_EQ(ir->Files()[0].emissivity, 94) << "0.95 x 100 truncated";
            EXPECT_EQ(ir->m_bShowBar, 1u);
            EXPECT_EQ(ir->SortMode(), 2);
        } else {
            ASSERT_EQ(ir->FileCount(), 3);
            const IRFileEntry& photo = ir->Files()[2];
            EXPECT_EQ(photo.bytes, jpg);
            if (version == 1.0) {
                // Parameter words from the first block inside the container.
                const qsizetype at = jpg.indexOf("VN410K");
                EXPECT_EQ(photo.emissivity, WordAt(jpg, at + 340));
                EXPECT_EQ(photo.distance, WordAt(jpg, at + 44));
                EXPECT_EQ(photo.humidity, WordAt(jpg, at + 46));
                EXPECT_EQ(ir->Files()[0].emissivity, WordAt(k4, 340));
            } else {
                EXPECT_EQ(photo.emissivity, 95);
                EXPECT_EQ(photo.reference, 2100);
            }
            // Stored from version 4.0, or with a record version above 2.
            EXPECT_FLOAT_EQ(photo.atmosphere, version > 2 ? 19.0f : float(photo.ambient * 0.01));
            EXPECT_EQ(ir->m_bShowMarks, 1u);
            EXPECT_EQ(ir->m_bLiveUpdate, 0u);
        }
        EXPECT_EQ(ir->Image().PaletteIndex(), version > 1 ? 2 : 0);
        EXPECT_FLOAT_EQ(ir->m_fTransmittance, version > 1 ? 0.98f : 1.0f);
        EXPECT_EQ(ir->m_nRefKind, 1);

        // Analyses: the older 128-byte form converted below 4.0.
        ASSERT_EQ(ir->m_analyses.GetSize(), 4u);
        EXPECT_EQ(ir->m_analyses[3].kind, kAnalysisEllipse);
        EXPECT_EQ(ir->m_analyses[2].Name(), QStringLiteral("区域01"));
        EXPECT_FLOAT_EQ(ir->m_analyses[1].referenceTemp, version < 4 ? 21.0f : 20.0f);
        EXPECT_FLOAT_EQ(ir->m_analyses[1].background, version < 4 ? 19.0f : 20.0f);
    }
}

TEST(DrawIrRecord, ACurrentReportWritesReadsAndWritesTheSameBytes)
{
    TestEnvironment env;
    CDI_RptDoc doc(&env, &Registry());
    ASSERT_TRUE(doc.LoadContents(Report("v6.0")));
    CDrawIR* ir = OnlyImage(doc);
    ASSERT_NE(ir, nullptr);
    ir->RecomputeAll();
    const QByteArray first = doc.StoreContents();

    CDI_RptDoc again(&env, &Registry());
    ASSERT_TRUE(again.LoadContents(first));
    EXPECT_EQ(again.StoreContents(), first);
    CDrawIR* back = OnlyImage(again);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->FileCount(), 3);
    EXPECT_EQ(back->Files()[1].bytes, ir->Files()[1].bytes);
    EXPECT_EQ(std::memcmp(back->m_analyses.GetData(), ir->m_analyses.GetData(), 4 * sizeof(IRAnalysisItem)), 0);
    EXPECT_EQ(back->Dib(), ir->Dib());

    // A report made by the object itself: a file opened, analyses placed.
    CDI_RptDoc made(&env, &Registry());
    auto* fresh = static_cast<CDrawIR*>(made.AddNoUndo(std::make_unique<CDrawIR>()));
    ASSERT_TRUE(fresh->LoadIRFile(Fixture("k8.vni")));
    IRAnalysisItem rect;
    rect.kind = kAnalysisRect;
    rect.number = 1;
    rect.shape = {2, 2, 9, 9};
    fresh->m_analyses.Add(rect);
    fresh->RecomputeAll();
    const QByteArray made1 = made.StoreContents();
    CDI_RptDoc made2(&env, &Registry());
    ASSERT_TRUE(made2.LoadContents(made1));
    EXPECT_EQ(made2.StoreContents(), made1);
    // The texts of the tables read the same (the camera range bounds their
    // temperatures).
    CDrawIR* read = OnlyImage(made2);
    ASSERT_NE(read, nullptr);
    for (int id = 33700; id <= 33714; ++id) {
        QString before, after;
        fresh->GetAreaText(1, id, before, false);
        read->GetAreaText(1, id, after, false);
        EXPECT_EQ(after, before) << id;
    }
    for (int id : {33304, 33305}) {
        QString before, after;
        fresh->GetParamText(id, before);
        read->GetParamText(id, after);
        EXPECT_EQ(after, before) << id;
    }

    // An object without a file.
    CDI_RptDoc blank(&env, &Registry());
    QString blankError;
    ASSERT_TRUE(blank.LoadContents(Report("v6.0-empty"), &blankError)) << blankError.toStdString();
    ASSERT_NE(OnlyImage(blank), nullptr);
    EXPECT_FALSE(OnlyImage(blank)->HasImage());
    const QByteArray blank1 = blank.StoreContents();
    CDI_RptDoc blank2(&env, &Registry());
    ASSERT_TRUE(blank2.LoadContents(blank1));
    EXPECT_EQ(blank2.StoreContents(), blank1);
}

TEST(DrawIrRecord, DamagedRecordsAreRefusedWithoutAHalfBuiltDocument)
{
    TestEnvironment env;
    const QByteArray good = Report("v6.0");
    // Every cut of the report fails cleanly (each byte near the ends, every
    // 13th in between).
    CDI_RptDoc doc(&env, &Registry());
    for (qsizetype cut = 0; cut < good.size(); cut += (cut < 700 || cut > good.size() - 700) ? 1 : 13) {
        ASSERT_FALSE(doc.LoadContents(good.left(cut))) << cut;
        ASSERT_TRUE(doc.GetObjects().empty());
    }

    // Hostile counts and lengths, patched into a valid report.
    TestEnvironment env2;
    CDI_RptDoc source(&env2, &Registry());
    ASSERT_TRUE(source.LoadContents(good));
    const QByteArray stored = source.StoreContents();
    const CDrawIR* ir = OnlyImage(source);
    ASSERT_NE(ir, nullptr);
    // The list count sits after the show flags: find it by its value and
    // the current index and sort mode after it.
    QByteArray pattern;
    pattern.append("\x01\0\0\0\x01\0\0\0\0\0\0\0\x03\0\0\0\0\0\0\0\x02\0\0\0", 24);
    const qsizetype found = stored.indexOf(pattern);
    ASSERT_GT(found, 0);
    ASSERT_EQ(stored.indexOf(pattern, found + 1), -1);
    const qsizetype at = found + 12;
    struct Patch {
        std::uint32_t value;
        qsizetype offset;
        const char* what;
    };
    const Patch patches[] = {{602, 0, "more than 601 entries"},
                             {0xFFFFFFFF, 0, "a negative count"},
                             {400, 0, "more entries than bytes"},
                             {0x7FFFFFF0, 12 + (1 + 6) + (1 + 14), "an entry longer than the report"}};
    for (const Patch& p : patches) {
        QByteArray bad = stored;
        const std::uint32_t v = p.value;
        std::memcpy(bad.data() + at + p.offset, &v, 4);
        CDI_RptDoc target(&env2, &Registry());
        EXPECT_FALSE(target.LoadContents(bad)) << p.what;
        EXPECT_TRUE(target.GetObjects().empty()) << p.what;
    }
    QByteArray index = stored;
    const std::uint32_t far = 77;
    std::memcpy(index.data() + at + 4, &far, 4);
    CDI_RptDoc target(&env2, &Registry());
    ASSERT_TRUE(target.LoadContents(index));
    EXPECT_EQ(OnlyImage(target)->FileIndex(), 0) << "an index outside the list";
}

TEST(DrawIrRecord, ReadsAndSavesThroughTheDumpTool)
{
    QTemporaryDir dir;
    TestEnvironment env;
    for (const char* name : {"v0.0", "v3.0", "v6.0"}) {
        CDI_RptDoc doc(&env, &Registry());
        ASSERT_TRUE(doc.LoadContents(Report(name)));
        const QString rpt = dir.filePath(QLatin1String(name) + QStringLiteral(".rpt"));
        ASSERT_TRUE(doc.SaveToPath(rpt));
        QProcess dump;
        dump.start(QStringLiteral(IRIMAGE_TEST_RPTDUMP), {rpt});
        ASSERT_TRUE(dump.waitForFinished());
        ASSERT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
        const QJsonObject json = QJsonDocument::fromJson(dump.readAllStandardOutput()).object();
        const QJsonObject object = json[QStringLiteral("objects")].toArray()[0].toObject();
        EXPECT_EQ(object[QStringLiteral("class")].toString(), QStringLiteral("CDrawIR")) << name;
        EXPECT_TRUE(object[QStringLiteral("hasImage")].toBool()) << name;
        EXPECT_EQ(object[QStringLiteral("analyses")].toArray().size(), 4) << name;
        EXPECT_EQ(object[QStringLiteral("files")].toArray().size(), QByteArray(name) == "v0.0" ? 1 : 3) << name;
    }
}

TEST(DrawIrRecord, OldListEntriesTooShortForABlockKeepNoWords)
{
    // A version 1.0 report takes an entry's parameters from its bytes only
    // when the whole block lies inside them.
    QTemporaryDir dir;
    const QString tiny = dir.filePath(QStringLiteral("tiny.vni"));
    ASSERT_TRUE(WriteAll(tiny, ReadAll(Fixture("k4.vni")).left(400)));
    const QString out = dir.filePath(QStringLiteral("contents"));
    QProcess gen;
    gen.start(QStringLiteral(IRIMAGE_TEST_PYTHON),
              {QStringLiteral(IRIMAGE_TEST_SCRIPTS "/../../../tools/irreportgen.py"), QStringLiteral("one"),
               QStringLiteral("--version"), QStringLiteral("1.0"), QStringLiteral("--image"), Fixture("k4.vni"),
               QStringLiteral("--list"), tiny, Fixture("k5.vni"), QStringLiteral("-o"), out});
    ASSERT_TRUE(gen.waitForFinished());
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    TestEnvironment env;
    CDI_RptDoc doc(&env, &Registry());
    ASSERT_TRUE(doc.LoadContents(ReadAll(out)));
    CDrawIR* ir = OnlyImage(doc);
    ASSERT_NE(ir, nullptr);
    ASSERT_EQ(ir->FileCount(), 2);
    EXPECT_EQ(ir->Files()[0].emissivity, 0);
    EXPECT_EQ(ir->Files()[0].ambient, 0);
    EXPECT_EQ(ir->Files()[1].emissivity, WordAt(ReadAll(Fixture("k5.vni")), 340));
}

TEST(DrawIrRecord, AListedFileTheLibraryRefusesLeavesTheShownImage)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.vni"));
    ASSERT_TRUE(WriteAll(junk, QByteArray(3000, 'j')));
    const QString out = dir.filePath(QStringLiteral("contents"));
    QProcess gen;
    gen.start(QStringLiteral(IRIMAGE_TEST_PYTHON),
              {QStringLiteral(IRIMAGE_TEST_SCRIPTS "/../../../tools/irreportgen.py"), QStringLiteral("one"),
               QStringLiteral("--version"), QStringLiteral("6.0"), QStringLiteral("--image"), Fixture("k4.vni"),
               QStringLiteral("--list"), Fixture("k4.vni"), junk, QStringLiteral("-o"), out});
    ASSERT_TRUE(gen.waitForFinished());
    ASSERT_EQ(gen.exitCode(), 0);
    TestEnvironment env;
    CDI_RptDoc doc(&env, &Registry());
    ASSERT_TRUE(doc.LoadContents(ReadAll(out)));
    CDrawIR* ir = OnlyImage(doc);
    ASSERT_NE(ir, nullptr);
    ir->RecomputeAll();
    const IRAnalysisItem line = ir->m_analyses[1];
    ASSERT_TRUE(line.HasStatistics());
    EXPECT_FALSE(ir->LoadFileAtIndex(1));
    EXPECT_FALSE(ir->LoadFileForMeasure(1));
    EXPECT_TRUE(ir->HasImage());
    EXPECT_EQ(ir->Image().FileCopy(), ReadAll(Fixture("k4.vni")));
    ir->ComputeAnalysis(1);
    EXPECT_EQ(ir->m_analyses[1].maximum, line.maximum) << "still measurable";
    ASSERT_TRUE(ir->LoadFileAtIndex(0));
}

// Scales a record cannot hold (a denormal or negative scale that sends
// picture points past int) refuse the report with the damaged-report
// message; an object not laid out yet (scale 0) still reads, and so do
// temperature limits whatever they hold.
TEST(DrawIrRecord, ExtremeScalesAndLimitsRefuseTheReport)
{
    TestEnvironment env;
    CDI_RptDoc source(&env, &Registry());
    ASSERT_TRUE(source.LoadContents(Report("v6.0")));
    const QByteArray stored = source.StoreContents();
    const CDrawIR* ir = OnlyImage(source);
    ASSERT_NE(ir, nullptr);
    const float scale = float(ir->PixelScaleX());
    ASSERT_GT(scale, 0.0f);
    // The two scales follow each other, then the display limits.
    QByteArray pattern(8, '\0');
    std::memcpy(pattern.data(), &scale, 4);
    std::memcpy(pattern.data() + 4, &scale, 4);
    const qsizetype at = stored.indexOf(pattern);
    ASSERT_GT(at, 0);
    ASSERT_EQ(stored.indexOf(pattern, at + 1), -1);

    struct Case {
        const char* what;
        qsizetype offset;
        float value;
        bool loads;
    };
    const Case cases[] = {
        {"a denormal scale", 0, 6.4e-41f, false},
        {"a negative scale", 4, -0.05f, false},
        {"a scale past the largest", 0, 1e7f, false},
        {"a scale that is not a number", 4, std::numeric_limits<float>::quiet_NaN(), false},
        {"an infinite display limit (kept as read)", 8, std::numeric_limits<float>::infinity(), true},
        {"a display limit of -2.3e29", 12, -2.3e29f, true},
        {"no scale yet", 0, 0.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bad = stored;
        std::memcpy(bad.data() + at + c.offset, &c.value, 4);
        CDI_RptDoc target(&env, &Registry());
        QString error;
        EXPECT_EQ(target.LoadContents(bad, &error), c.loads);
        if (!c.loads) {
            EXPECT_EQ(error, env.LoadString(doc_string::kBadFormat));
            EXPECT_TRUE(target.GetObjects().empty());
        }
    }
}

// Picture points far outside the picture (hostile analysis positions over a
// tiny scale) map to page points held on the page's scale instead of
// overflowing.
TEST(DrawIrRecord, PicturePointsFarOffThePictureStayOnThePageScale)
{
    const int limit = 2 * record_values::kMaxCoordinate;
    const ir_marks::PictureMapping map{1000, -1000, record_values::kMinScale, record_values::kMinScale};
    EXPECT_EQ(map.ToPage(2147483647, -2147483647), QPoint(limit, limit));
    EXPECT_EQ(map.ToPage(-2147483647, 2147483647), QPoint(-limit, -limit));
    const ir_marks::PictureMapping plain{1000, -1000, 0.5f, 0.25f};
    EXPECT_EQ(plain.ToPage(10, 10), QPoint(1020, -1040));
}

TEST(DrawIrRecord, AReportOfManyPagesSavedToAFileReopensWithEveryImage)
{
    // One image a page, from camera files of three sizes, more than 8 MB in
    // all (the compound file's long allocation table).
    const char* const files[] = {"k4_320.vni", "k8_160.vni", "k8_640.vni"};
    constexpr int kPages = 24;
    TestEnvironment env;
    CDI_RptDoc doc(&env, &Registry());
    for (int p = 1; p < kPages; ++p)
        doc.InsertPage(0, QStringLiteral("Page %1").arg(p + 1));
    for (int p = 0; p < kPages; ++p) {
        auto image = std::make_unique<CDrawIR>(nullptr, DocRect(700, -700, 7100, -5500));
        image->page = std::uint32_t(p);
        ASSERT_TRUE(image->LoadIRFile(Fixture(files[p % 3]))) << p;
        image->m_nNumber = p + 1;
        doc.AddNoUndo(std::move(image));
    }
    const QByteArray contents = doc.StoreContents();
    ASSERT_GT(contents.size(), 8 << 20);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.rpt"));
    ASSERT_TRUE(doc.OnSaveDocument(path));
    {
        // Written while the contents are made, the file is the one the
        // contents held whole in memory give, byte for byte.
        const std::unique_ptr<platform::Storage> saved = platform::openCompoundFile(path);
        ASSERT_NE(saved, nullptr);
        QByteArray streamed;
        QByteArray summary;
        ASSERT_TRUE(saved->readStream(QStringLiteral("Contents"), streamed, 1 << 30));
        EXPECT_TRUE(streamed == contents);
        ASSERT_TRUE(saved->readStream(platform::summaryInformationStreamName(), summary, 1 << 20));
        platform::MemoryStorage held;
        ASSERT_TRUE(held.adoptStream(QStringLiteral("Contents"), contents));
        ASSERT_TRUE(held.adoptStream(platform::summaryInformationStreamName(), summary));
        const QString heldPath = dir.filePath(QStringLiteral("held.rpt"));
        ASSERT_TRUE(platform::saveCompoundFile(held, heldPath));
        EXPECT_TRUE(ReadAll(heldPath) == ReadAll(path));
    }
    CDI_RptDoc reopened(&env, &Registry());
    ASSERT_TRUE(reopened.OnOpenDocument(path)) << reopened.GetLastError().toStdString();
    // The file gives every image as the contents read straight from memory
    // do, each with its camera file whole.
    CDI_RptDoc fromMemory(&env, &Registry());
    ASSERT_TRUE(fromMemory.LoadContents(contents));
    ASSERT_EQ(reopened.GetPageCount(), kPages);
    ASSERT_EQ(reopened.GetObjects().size(), std::size_t(kPages));
    for (std::size_t i = 0; i < std::size_t(kPages); ++i) {
        const auto* before = static_cast<const CDrawIR*>(doc.GetObjects()[i]);
        const auto* memory = static_cast<const CDrawIR*>(fromMemory.GetObjects()[i]);
        const auto* after = dynamic_cast<const CDrawIR*>(reopened.GetObjects()[i]);
        ASSERT_NE(after, nullptr) << i;
        EXPECT_EQ(after->page, before->page) << i;
        EXPECT_EQ(after->m_nNumber, before->m_nNumber) << i;
        ASSERT_EQ(after->FileCount(), 1) << i;
        EXPECT_EQ(after->Files()[0].bytes.size(), ReadAll(Fixture(files[i % 3])).size()) << i;
        EXPECT_EQ(after->Files()[0].bytes, memory->Files()[0].bytes) << i;
        EXPECT_TRUE(after->HasImage()) << i;
        EXPECT_EQ(after->Dib(), memory->Dib()) << i;
    }
    EXPECT_EQ(reopened.StoreContents(), fromMemory.StoreContents());
}
