// A file shows the same temperatures every time it is shown with the same
// settings, whatever the image showed before: show A and read every
// analysis kind and every object reading them (field, result table, line
// profile, histogram, time profile), show B, show A again: equal to the
// bit. One row per camera model family of the fixtures; B is of another
// width (the analyses go to its scale and back) or of the same width.
#include "chart_test_support.h"

#include "content/draw_field.h"
#include "content/draw_result_table.h"
#include "content/draw_time_profile.h"

#include <cstring>
#include <functional>

namespace {

QString CameraFile(const char* name)
{
    // The demo files (tools/vnigen.py demo) lie in the time-profile folder;
    // the other fixtures in the fixture folder.
    const QString demo = QStringLiteral(CONTENT_TIME_FOLDER "/") + QLatin1String(name);
    return QFileInfo::exists(demo) ? demo : QStringLiteral(CONTENT_IR_FIXTURES "/") + QLatin1String(name);
}

// Equal to the bit (a NaN equals the same NaN).
template <class T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// What a report shows of one image: its analyses' records, a field bound to
// each kind, a result table, a line profile, a histogram of the line and
// one of the area, the display range and the picture.
struct Readings {
    std::vector<IRAnalysisItem> analyses;
    QStringList fields;
    QString table;
    std::vector<float> profile;
    std::vector<float> lineHistogram;
    std::vector<float> areaHistogram;
    std::vector<float> limits;
    QByteArray picture;

    // The differences, named; empty when equal to the bit.
    QStringList DifferencesFrom(const Readings& o) const
    {
        QStringList out;
        for (std::size_t i = 0; i < std::min(analyses.size(), o.analyses.size()); ++i) {
            const IRAnalysisItem& a = analyses[i];
            const IRAnalysisItem& b = o.analyses[i];
            if (std::memcmp(&a, &b, sizeof a) != 0)
                out << QStringLiteral("analysis %1 (kind %2): shape %3,%4,%5,%6 / %7,%8,%9,%10, max %11 / %12, "
                                      "min %13 / %14, average %15 / %16")
                           .arg(i).arg(a.kind)
                           .arg(a.shape.left).arg(a.shape.top).arg(a.shape.right).arg(a.shape.bottom)
                           .arg(b.shape.left).arg(b.shape.top).arg(b.shape.right).arg(b.shape.bottom)
                           .arg(double(a.maximum)).arg(double(b.maximum)).arg(double(a.minimum))
                           .arg(double(b.minimum)).arg(double(a.average)).arg(double(b.average));
        }
        if (analyses.size() != o.analyses.size())
            out << QStringLiteral("analysis count");
        if (fields != o.fields)
            out << QStringLiteral("fields: ") + fields.join(u' ') + QStringLiteral(" / ") + o.fields.join(u' ');
        if (table != o.table)
            out << QStringLiteral("result table: ") + table + QStringLiteral(" / ") + o.table;
        if (!SameBits(profile, o.profile))
            out << QStringLiteral("line profile");
        if (!SameBits(lineHistogram, o.lineHistogram))
            out << QStringLiteral("histogram of the line");
        if (!SameBits(areaHistogram, o.areaHistogram))
            out << QStringLiteral("histogram of the area");
        if (!SameBits(limits, o.limits))
            out << QStringLiteral("display range");
        if (picture != o.picture)
            out << QStringLiteral("picture");
        return out;
    }
};

// One image with A and B in its list, its analyses placed on A at odd
// pixels, and the objects bound to it.
struct ShownAgainReport : chart_test::ChartReport {
    std::vector<CDrawField*> fields;
    CDrawResultTable* table = nullptr;
    CDrawHistogram* lineHistogram = nullptr;
    CDrawHistogram* areaHistogram = nullptr;
    CDrawProfile* profile = nullptr;
    Readings inserted; // A as first shown

    // A inserted, the analyses placed on it and read, then B added with the
    // play bar's "+" (which shows B).
    void Build(const QString& a, const QString& b)
    {
        auto image = std::make_unique<CDrawIR>(&view, DocRect(500, -500, 4500, -3500));
        image->SetNumber(1);
        ir = Add(std::move(image));
        view.RebuildIRObjects();
        ASSERT_TRUE(ir->LoadIRFile(a));
        ir->m_analyses.RemoveAll();
        const int w = ir->ImageWidth();
        const int h = ir->ImageHeight();
        // Odd pixels at fixed fractions of the picture, so that a smaller
        // picture cannot hold them exactly.
        const auto at = [](int size, int part) { return (size * part / 320) | 1; };
        // As an analysis tool adds them: the image's scene values.
        const auto add = [this](int kind, int number, const char* name, IRShape shape) {
            IRAnalysisItem item = chart_test::Analysis(kind, number, name, shape);
            item.emissivity = ir->m_fEmissivity;
            item.distance = ir->m_fDistance;
            item.background = ir->m_fBackground;
            item.referenceTemp = ir->m_fReference;
            ir->m_analyses.Add(item);
        };
        add(1, 1, "点01", {at(w, 101), at(h, 77), at(w, 101), at(h, 77)});
        add(2, 1, "线01", {at(w, 33), at(h, 41), at(w, 211), at(h, 157)});
        add(3, 1, "区域01", {at(w, 41), at(h, 31), at(w, 187), at(h, 143)});
        add(4, 2, "区域02", {at(w, 61), at(h, 51), at(w, 161), at(h, 151)});
        ir->RecomputeAll();

        for (const auto& [analysis, id] : {std::pair{1, 33500}, std::pair{1, 33600}, std::pair{1, 33601},
                                            std::pair{1, 33603}, std::pair{1, 33700}, std::pair{1, 33701},
                                            std::pair{1, 33703}, std::pair{2, 33700}, std::pair{2, 33703}}) {
            auto field = std::make_unique<CDrawField>(&view, DocRect(5000, -500, 7000, -700));
            field->SetBinding(1, analysis, id);
            fields.push_back(Add(std::move(field)));
        }
        table = Add(std::make_unique<CDrawResultTable>(&view, DocRect(600, -3600, 3180, -3800)));
        table->SetFieldIds({33500, 33600, 33601, 33603, 33700, 33701, 33703});
        table->SetLinkedIRNumber(1);
        profile = AddProfile();
        lineHistogram = AddHistogram();
        areaHistogram = AddHistogram(DocRect(5200, -4000, 8200, -7000));
        areaHistogram->m_bLineMode = 0;
        inserted = Read();

        ASSERT_EQ(ir->OpenFiles({b}, true), 1);
        ASSERT_EQ(ir->FileCount(), 2);
        ASSERT_EQ(ir->FileIndex(), 1);
    }

    // Every value shown, each object drawn as the screen draws it.
    Readings Read()
    {
        Readings r;
        r.analyses.assign(ir->m_analyses.begin(), ir->m_analyses.end());
        for (const CDrawField* field : fields) {
            QString text;
            field->GetFieldText(text);
            r.fields << text;
        }
        table->BuildRows(nullptr);
        r.table = table->RowText();
        chart_test::DrawOnce(*profile);
        r.profile = profile->Samples(0);
        chart_test::DrawOnce(*lineHistogram);
        r.lineHistogram = lineHistogram->m_samples;
        chart_test::DrawOnce(*areaHistogram);
        r.areaHistogram = areaHistogram->m_samples;
        r.limits.assign(ir->m_fLimits.begin(), ir->m_fLimits.end());
        r.picture = ir->Dib();
        return r;
    }

    void Show(int index)
    {
        ir->SetFileIndex(index);
        ASSERT_TRUE(ir->LoadFileAtIndex(index));
    }
};

struct Pair {
    const char* family;
    const char* a;
    const char* b;
};

// Per model family of the fixtures: B smaller than A (the analyses cannot
// keep their pixels on B), or of A's size (nothing is rescaled).
const Pair kPairs[] = {
    {"own model (K4), with a 160-wide file", "demo_k4_320.vni", "k8_160.vni"},
    {"radiometric model (K8), the files of the report", "demo_k8_640.vni", "demo_k4_320.vni"},
    {"radiometric model (K9), with a 16-wide file", "demo_k9_320_photo.vni", "k4.vni"},
    {"radiometric model (K10), with a file of its size", "k10.vni", "k11.vni"},
    {"plane model (K11), with a 160-wide file", "demo_k11_320.vni", "k8_160.vni"},
    {"plane model (K11), with a file of its size", "demo_k11_320.vni", "demo_k9_320_photo.vni"},
    {"own model (K4), with a plane-model file of its size", "demo_k4_320.vni", "demo_k11_320.vni"},
};

// Runs check on a report built for each pair.
void ForEachPair(const std::function<void(ShownAgainReport&)>& check)
{
    for (const Pair& pair : kPairs) {
        SCOPED_TRACE(pair.family);
        ShownAgainReport r;
        r.Build(CameraFile(pair.a), CameraFile(pair.b));
        if (::testing::Test::HasFatalFailure())
            return;
        check(r);
    }
}

} // namespace

TEST(ShownAgain, AFileReadsTheSameAfterItsImageShowedAnother)
{
    ForEachPair([](ShownAgainReport& r) {
        ASSERT_GT(r.inserted.profile.size(), 1u);
        ASSERT_GT(r.inserted.areaHistogram.size(), 1u);
        for (int round = 1; round <= 3; ++round) {
            SCOPED_TRACE(round);
            r.Show(0);
            const QStringList differences = r.Read().DifferencesFrom(r.inserted);
            EXPECT_TRUE(differences.isEmpty()) << differences.join(u'\n').toStdString();
            r.Show(1);
            r.Read();
        }
    });
}

// The time profile walks every file of the list for its curves: each file
// gives the values it shows, whichever file was shown when the walk began,
// and the shown file reads the same after the walk.
TEST(ShownAgain, TheTimeProfilesWalkReadsEveryFileAsItIsShown)
{
    ForEachPair([](ShownAgainReport& r) {
        auto* tp = r.Add(std::make_unique<CDrawTimeProfile>(&r.view, DocRect(500, -7000, 6000, -10000)));
        tp->m_nIRNumber = 1;
        // From B: the first time point is A's point as A shows it.
        tp->CollectCurves();
        ASSERT_GT(tp->m_nCurveCount, 0);
        ASSERT_EQ(tp->Samples(0).size(), 2u);
        EXPECT_EQ(tp->Samples(0)[0], r.inserted.analyses[0].maximum);
        std::vector<std::vector<float>> fromB;
        for (int c = 0; c < tp->m_nCurveCount; ++c)
            fromB.push_back(tp->Samples(c));
        // From A: the same curves, and A as it was.
        r.Show(0);
        tp->CollectCurves();
        for (int c = 0; c < tp->m_nCurveCount; ++c)
            EXPECT_TRUE(SameBits(tp->Samples(c), fromB[std::size_t(c)])) << "curve " << c << " walked from A";
        const QStringList differences = r.Read().DifferencesFrom(r.inserted);
        EXPECT_TRUE(differences.isEmpty()) << "A after the walk: " << differences.join(u'\n').toStdString();
    });
}
