// The value rules of the image's property sheet and the patch of a file's
// parameter block, checked by reopening the bytes through Thermcore.
#include "irimage/ir_image.h"
#include "irimage/ir_property_values.h"
#include "irimage/ir_scene_patch.h"
#include "test_support.h"

#include "thermcore.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace irtest;

TEST(IRPropertyValues, RoundingToATenthAndToIntegersGoesHalfAwayFromZero)
{
    const struct {
        double in;
        float tenth;
    } tenths[] = {{-12.34, -12.3f}, {-12.36, -12.4f}, {12.34, 12.3f}, {12.36, 12.4f}, {0.04, 0.0f}, {-0.06, -0.1f}};
    for (const auto& c : tenths)
        EXPECT_FLOAT_EQ(RoundTenth(c.in), c.tenth) << c.in;

    const struct {
        double in;
        std::int32_t out;
    } whole[] = {{-1000.0, -1000}, {-999.5, -1000}, {-999.4, -999}, {96.5, 97}, {97.00000286, 97}, {10.0, 10},
                 {3e10, 2147483647}, {-3e10, -2147483647 - 1}};
    for (const auto& c : whole)
        EXPECT_EQ(RoundHalfAway(c.in), c.out) << c.in;
}

TEST(IRPropertyValues, OneFootFactorBothWays)
{
    EXPECT_EQ(QString::asprintf("%.*g", 6, double(MetresToUnit(10.0f, 1))), QStringLiteral("32.808"));
    EXPECT_NEAR(UnitToMetres(32.808f, 1), 10.0f, 1e-5);
    EXPECT_NEAR(UnitToMetres(32.81f, 1), 10.0f, 1e-3);
    EXPECT_FLOAT_EQ(MetresToUnit(7.5f, 0), 7.5f);
    EXPECT_NEAR(UnitToCelsius(68.0f, 1), 20.0f, 1e-4);
    EXPECT_NEAR(UnitToCelsius(293.2f, 2), 20.0f, 1e-4);
}

TEST(IRPropertyValues, EmissivityBoundsOfBothRules)
{
    const struct {
        float e;
        bool hundredthRule;
        bool accepted;
    } cases[] = {
        {0.096f, false, true}, {1.0f, false, true},   {0.094f, false, false}, {1.001f, false, false},
        {0.095f, false, false}, // a float just below 0.095
        {0.006f, true, true},  {0.004f, true, false}, {1.0f, true, true},     {1.001f, true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EmissivityAccepted(c.e, c.hundredthRule), c.accepted) << c.e << " rule " << c.hundredthRule;

    for (const char* model : {"VN410K8", "VN410K9", "VN410K10", "V093517", "V0935170"})
        EXPECT_TRUE(ModelUsesHundredthRule(QString::fromLatin1(model))) << model;
    for (const char* model : {"VN410K80", "VN410K4", "VN410K11", "RQ52T", ""})
        EXPECT_FALSE(ModelUsesHundredthRule(QString::fromLatin1(model))) << model;
}

namespace {

struct Reopened {
    float emissivity = 0, distance = 0, ambient = 0, humidity = 0;
};

// The scene values Thermcore reads from bytes written as a file of the
// fixture's kind.
bool Reopen(const QByteArray& bytes, const char* fixture, Reopened& out)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(fixture));
    if (!WriteAll(path, bytes))
        return false;
    int first = 0, last = 0;
    IfrHandle h = IFR_LoadFile(nullptr, QFile::encodeName(path).constData(), CIrImage::FileKindOfPath(path), &first,
                               &last);
    if (h == nullptr)
        return false;
    IFR_GetEmissDis(h, &out.emissivity, &out.distance);
    IFR_GetAmbHum(h, &out.ambient, &out.humidity);
    IFR_CloseFile(h);
    IFR_Free(h);
    return true;
}

std::int32_t I32At(const QByteArray& b, long at)
{
    std::int32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

std::uint16_t U16At(const QByteArray& b, long at)
{
    std::uint16_t v = 0;
    std::memcpy(&v, b.constData() + at, 2);
    return v;
}

} // namespace

TEST(IRScenePatch, PatchedBytesReopenWithTheNewValuesForEveryScheme)
{
    const struct {
        const char* fixture;
        int scheme;
        int subKind;
        long block;
        bool hundredths;
    } cases[] = {
        {"k4.vni", 0, 1, 0, false},        {"k3.vni", 1, 1, 0, false},   {"k5.vni", 2, 3, 0, false},
        {"k9.vni", 3, 7, 0, true},         {"k8.vni", 3, 6, 0, false},   {"seq_l3.vnv", 3, 6, 36, false},
        {"jpg_still.jpg", 0, 1, 5000, false},
    };
    const IRSceneValues values{-10.0f, 0.97f, 10.0f, 0.55f};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        QByteArray bytes = ReadAll(Fixture(c.fixture));
        ASSERT_FALSE(bytes.isEmpty());
        CIrImage holder;
        ASSERT_EQ(holder.Open(Fixture(c.fixture), nullptr), 1);
        EXPECT_EQ(holder.Scheme(), c.scheme);
        EXPECT_EQ(holder.ModelVersion(), c.subKind);
        const QByteArray before = bytes;
        EXPECT_EQ(SceneBlockOffset(bytes), c.block);
        ASSERT_TRUE(PatchSceneValues(bytes, holder.Scheme(), holder.ModelVersion(), values));
        EXPECT_EQ(I32At(bytes, c.block + 40), -1000) << "rounded once, also below zero";
        EXPECT_EQ(U16At(bytes, c.block + 340), 97);
        EXPECT_EQ(U16At(bytes, c.block + 44), c.hundredths ? 1000 : 10);
        EXPECT_EQ(U16At(bytes, c.block + 46), 55);
        EXPECT_EQ(bytes.left(c.block), before.left(c.block)) << "nothing before the block changes";
        Reopened r;
        ASSERT_TRUE(Reopen(bytes, c.fixture, r));
        EXPECT_NEAR(r.emissivity, 0.97f, 1e-4);
        EXPECT_NEAR(r.distance, 10.0f, 1e-4);
        EXPECT_NEAR(r.ambient, -10.0f, 1e-4);
        EXPECT_NEAR(r.humidity, 0.55f, 1e-4);
    }
}

TEST(IRScenePatch, OnlyAWholeBlockIsPatched)
{
    const QByteArray k4 = ReadAll(Fixture("k4.vni"));
    // A block cut short: nothing is written.
    QByteArray cut = k4.left(427);
    EXPECT_EQ(SceneBlockOffset(cut), -1);
    EXPECT_FALSE(PatchSceneValues(cut, 0, 1, {20, 0.9f, 1, 0.5f}));
    EXPECT_EQ(cut, k4.left(427));
    // A block found near the end of the bytes, but not whole.
    QByteArray tail = QByteArray(600, 'x') + k4.left(300);
    EXPECT_FALSE(PatchSceneValues(tail, 3, 7, {20, 0.9f, 1, 0.5f}));
    EXPECT_EQ(tail, QByteArray(600, 'x') + k4.left(300));
    // No block at all, and a scheme without one.
    QByteArray none(1000, '\0');
    EXPECT_FALSE(PatchSceneValues(none, 0, 1, {20, 0.9f, 1, 0.5f}));
    QByteArray k4copy = k4;
    EXPECT_FALSE(PatchSceneValues(k4copy, 5, 1, {20, 0.9f, 1, 0.5f}));
    EXPECT_EQ(k4copy, k4);
    // A container's sequence tag is not a block: the block after it is.
    const QByteArray tagged = QByteArray(100, '\0') + "VN410KV" + QByteArray(1, '\0') + k4;
    EXPECT_EQ(SceneBlockOffset(tagged), 108);
}
