// Field texts of the image object: every identifier, plain and labelled,
// with and without differences, in every unit.
#include "test_support.h"

#include "irimage/draw_ir.h"
#include "irimage/temperature_text.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace irtest;

namespace {

IRAnalysisItem Measured(std::int32_t kind, std::int32_t number, const char* name, IRShape shape)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.number = number;
    item.SetName(QString::fromUtf8(name));
    item.shape = shape;
    item.maximum = 36.7f;
    item.minimum = 21.3f;
    item.average = 28.4f;
    item.emissivity = 0.95f;
    item.distance = 10.0f;
    item.background = 25.0f;
    return item;
}

// An image with a point, a line, a rectangle and an ellipse of known
// statistics (in the unit of the moment they are read).
struct FieldImage : ReportWithView {
    CDrawIR* ir = AddImage(3);
    FieldImage()
    {
        EXPECT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
        SetUnits(kUnitCelsius, 0);
        ir->m_fReference = 20.0f;
        ir->m_bUseRefTemp = 1;
        ir->m_fBackground = 22.0f;
        ir->m_fEmissivity = 0.9f;
        ir->m_fDistance = 10.0f;
        ir->m_fAmbient = 25.0f;
        ir->m_fHumidity = 0.8f;
        ir->m_fTransmittance = 0.97f;
        ir->m_isotherms[0] = IRIsotherm{30.0f, 10.0f, 1, 0xFF};
    }
    // Units changed measure the analyses again: the known statistics are put
    // back afterwards.
    void SetUnits(int temp, int length)
    {
        env.SetTempUnit(temp);
        env.SetLengthUnit(length);
        ir->m_analyses.RemoveAll();
        ir->m_analyses.Add(Measured(kAnalysisPoint, 1, "点01", {12, 34, 0, 0}));
        ir->m_analyses.Add(Measured(kAnalysisLine, 1, "线01", {10, 20, 110, 60}));
        ir->m_analyses.Add(Measured(kAnalysisRect, 1, "区域01", {5, 6, 50, 60}));
        ir->m_analyses.Add(Measured(kAnalysisEllipse, 2, "区域02", {40, 50, 47, 57}));
    }
    QString Plain(int group, int number, int id, bool delta = false) const { return Get(group, number, id, {}, delta); }
    QString Spec(int group, int number, int id, bool delta = false) const
    {
        return Get(group, number, id, QStringLiteral("SPEC"), delta);
    }
    QString Get(int group, int number, int id, QString text, bool delta) const
    {
        switch (group) {
        case 0: ir->GetInfoText(id, text); break;
        case 2: ir->GetParamText(id, text); break;
        case 3: ir->GetPointText(number, id, text, delta); break;
        case 4: ir->GetLineText(number, id, text, delta); break;
        case 5: ir->GetAreaText(number, id, text, delta); break;
        default: ir->GetIsothermText(number, id, text); break;
        }
        return text;
    }
};

QString U8(const char* s) { return QString::fromUtf8(s); }

struct Case {
    int group;
    int number; // analysis number or isotherm index
    int id;
    const char* plain;
    const char* labelled;
    const char* labelledWithDelta; // null: as labelled
};

} // namespace

TEST(FieldTexts, EveryIdentifierPlainLabelledAndWithDifferences)
{
    FieldImage f;
    const Case cases[] = {
        {0, 0, 33202, "k4_320.vni", "文件名\nk4_320.vni", nullptr},
        {0, 0, 33204, "No Info", "标题\nNo Info", nullptr},
        {0, 0, 33300, "RQ52T", "摄像机型号\nRQ52T", nullptr},
        {0, 0, 33301, "RQ5220100412", "摄像机序列号\nRQ5220100412", nullptr},
        {0, 0, 33302, "RQ52T V2.3.1", "摄像机软件版本\nRQ52T V2.3.1", nullptr},
        {0, 0, 33303, "Apr 12 2010 09:15:42", "摄像机出厂时间\nApr 12 2010 09:15:42", nullptr},
        {0, 0, 33304, "350.0℃", "最高测温范围\n350.0℃", nullptr},
        {0, 0, 33305, "-20.0℃", "最低测温范围\n-20.0℃", nullptr},
        {0, 0, 33306, "无扩展镜头", "扩展镜头情况\n无扩展镜头", nullptr},
        {0, 0, 33307, "-20.0 / 350.0℃", "工作档位\n-20.0 / 350.0℃", nullptr},
        {0, 0, 33308, "320", "图像宽度\n320", nullptr},
        {0, 0, 33309, "240", "图像高度\n240", nullptr},
        {2, 0, 33400, "0.90", "比辐射率\n0.90", nullptr},
        {2, 0, 33401, "10.00m", "距离\n10.00m", nullptr},
        {2, 0, 33402, "25.0℃", "环境温度\n25.0℃", nullptr},
        {2, 0, 33403, "80%", "湿度\n80%", nullptr},
        {2, 0, 33404, "0.970", "传输率\n0.970", nullptr},
        {2, 0, 33405, "20.0℃", "参考温度\n20.0℃", nullptr},
        {2, 0, 33406, "22.0℃", "背景温度\n22.0℃", nullptr},
        {3, 1, 33500, "36.7℃", "点01温度\n36.7℃", "点01温度\n36.7 dt:16.7℃"},
        {3, 1, 33501, "10.00m", "点01目标距离\n10.00m", nullptr},
        {3, 1, 33502, "0.95", "点01比辐射率\n0.95", nullptr},
        {3, 1, 33503, "12", "点01X坐标\n12", nullptr},
        {3, 1, 33504, "34", "点01Y坐标\n34", nullptr},
        {3, 1, 33505, "20.0℃", "点01参考温度\n20.0℃", nullptr},
        {3, 1, 33506, "22.0℃", "点01背景温度\n22.0℃", nullptr},
        {4, 1, 33600, "36.7℃", "线01最高温度\n36.7℃", "线01最高温度\n36.7 dt:16.7℃"},
        {4, 1, 33601, "21.3℃", "线01最低温度\n21.3℃", "线01最低温度\n21.3 dt: 1.3℃"},
        {4, 1, 33602, "15.4℃", "线01最高温度-最低温度\n15.4℃", nullptr},
        {4, 1, 33603, "28.4℃", "线01平均温度\n28.4℃", "线01平均温度\n28.4 dt: 8.4℃"},
        {4, 1, 33604, "10.00m", "线01目标距离\n10.00m", nullptr},
        {4, 1, 33605, "0.95", "线01比辐射率\n0.95", nullptr},
        {4, 1, 33606, "10", "线01起点X坐标\n10", nullptr},
        {4, 1, 33607, "20", "线01起点Y坐标\n20", nullptr},
        {4, 1, 33608, "110", "线01终点X坐标\n110", nullptr},
        {4, 1, 33609, "60", "线01终点Y坐标\n60", nullptr},
        {4, 1, 33610, "20.0℃", "线01参考温度\n20.0℃", nullptr},
        {4, 1, 33611, "22.0℃", "线01背景温度\n22.0℃", nullptr},
        {5, 1, 33700, "36.7℃", "区域01最高温度\n36.7℃", "区域01最高温度\n36.7 dt:16.7℃"},
        {5, 1, 33701, "21.3℃", "区域01最低温度\n21.3℃", "区域01最低温度\n21.3 dt: 1.3℃"},
        {5, 1, 33702, "15.4℃", "区域01最高温度-最低温度\n15.4℃", nullptr},
        {5, 1, 33703, "28.4℃", "区域01平均温度\n28.4℃", "区域01平均温度\n28.4 dt: 8.4℃"},
        {5, 1, 33704, "10.00m", "区域01目标距离\n10.00m", nullptr},
        {5, 1, 33705, "0.95", "区域01比辐射率\n0.95", nullptr},
        {5, 1, 33706, "5", "区域01左上角X坐标\n5", nullptr},
        {5, 1, 33707, "6", "区域01左上角Y坐标\n6", nullptr},
        {5, 1, 33708, "50", "区域01右下角X坐标\n50", nullptr},
        {5, 1, 33709, "60", "区域01右下角Y坐标\n60", nullptr},
        {5, 1, 33710, "", "", nullptr}, // a rectangle has no centre
        {5, 1, 33712, "", "", nullptr},
        {5, 1, 33713, "20.0℃", "区域01参考温度\n20.0℃", nullptr},
        {5, 1, 33714, "22.0℃", "区域01背景温度\n22.0℃", nullptr},
        {5, 2, 33706, "", "", nullptr}, // an ellipse has no corners
        {5, 2, 33709, "", "", nullptr},
        {5, 2, 33710, "43", "区域02圆心X坐标\n43", nullptr},
        {5, 2, 33711, "53", "区域02圆心Y坐标\n53", nullptr},
        {5, 2, 33712, "3", "区域02圆半径\n3", nullptr}, // 7 pixels high
        {6, 0, 33800, "30.0℃", "等温线中心温度\n30.0℃", nullptr},
        {6, 0, 33801, "\n25.0--35.0℃", "等温线温度范围\n25.0--35.0℃", nullptr},
        // Another number, another kind, an identifier of no group.
        {3, 2, 33500, "", "", nullptr},
        {4, 2, 33600, "", "", nullptr},
        {3, 1, 33507, "", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(f.Plain(c.group, c.number, c.id), U8(c.plain));
        EXPECT_EQ(f.Plain(c.group, c.number, c.id, true), U8(c.plain)) << "no difference in the plain form";
        EXPECT_EQ(f.Spec(c.group, c.number, c.id), U8(c.labelled));
        EXPECT_EQ(f.Spec(c.group, c.number, c.id, true),
                  U8(c.labelledWithDelta != nullptr ? c.labelledWithDelta : c.labelled));
    }
    // Dates and times of the file's time, in local time.
    const QDateTime time = QDateTime::fromSecsSinceEpoch(f.ir->m_timeCreated);
    EXPECT_EQ(f.Plain(0, 0, 33200), time.toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(f.Plain(0, 0, 33201), time.toString(QStringLiteral("HH:mm:ss")));
}

TEST(FieldTexts, UnitsOfTemperatureAndLength)
{
    FieldImage f;
    struct UnitCase {
        int temp;
        int length;
        int group;
        int id;
        const char* plain;
    };
    const UnitCase cases[] = {
        {kUnitFahrenheit, 0, 0, 33304, "662.0℉"},
        {kUnitFahrenheit, 0, 0, 33307, "-4.0 / 662.0℉"},
        {kUnitFahrenheit, 0, 2, 33402, "77.0℉"},
        {kUnitFahrenheit, 0, 2, 33405, "68.0℉"},
        {kUnitFahrenheit, 0, 3, 33505, "68.0℉"},
        {kUnitFahrenheit, 0, 3, 33506, "71.6℉"},
        {kUnitFahrenheit, 0, 6, 33800, "86.0℉"},
        {kUnitFahrenheit, 0, 6, 33801, "\n77.0--95.0℉"}, // the width scaled by 1.8 only
        {kUnitKelvin, 0, 0, 33305, "253.2 K"},
        {kUnitKelvin, 0, 4, 33611, "295.2 K"},
        {kUnitKelvin, 0, 6, 33801, "\n298.2--308.2 K"},
        {kUnitCelsius, 1, 2, 33401, "32.81ft"},
        {kUnitCelsius, 1, 3, 33501, "32.81ft"},
        {kUnitCelsius, 1, 5, 33704, "32.81ft"},
    };
    for (const UnitCase& c : cases) {
        SCOPED_TRACE(c.id);
        f.SetUnits(c.temp, c.length);
        EXPECT_EQ(f.Plain(c.group, c.group == 5 ? 1 : (c.group == 6 ? 0 : 1), c.id), U8(c.plain));
    }
    // Statistics are in the display unit already: the difference is not
    // converted twice (reference 20 C = 68 F).
    f.SetUnits(kUnitFahrenheit, 0);
    f.ir->m_analyses[1].maximum = 100.0f;
    EXPECT_EQ(f.Spec(4, 1, 33600, true), U8("线01最高温度\n100.0 dt:32.0℉"));
}

TEST(FieldTexts, RangeLimitsUnmeasuredAnalysesAndMissingPictures)
{
    FieldImage f;
    f.ir->m_analyses[0].maximum = 400.0f;
    EXPECT_EQ(f.Plain(3, 1, 33500), U8(">350.0℃")) << "above the camera's range: its maximum";
    f.ir->m_analyses[1].minimum = -50.0f;
    EXPECT_EQ(f.Plain(4, 1, 33601), U8("<-20.0℃"));
    // A line over no pixel has no statistics.
    f.ir->m_analyses[1].maximum = IRAnalysisItem::kNoMaximum;
    f.ir->m_analyses[1].minimum = IRAnalysisItem::kNoMinimum;
    for (int id : {33600, 33601, 33602, 33603})
        EXPECT_EQ(f.Plain(4, 1, id), U8("--")) << id;
    EXPECT_EQ(f.Spec(4, 1, 33600, true), U8("线01最高温度\n--"));
    // An identifier a group does not list leaves the text of groups 0-2 and
    // 6 as it came; a disabled isotherm too.
    QString text = QStringLiteral("kept");
    f.ir->GetInfoText(33207, text);
    f.ir->GetParamText(33407, text);
    f.ir->GetIsothermText(1, 33800, text);
    f.ir->GetIsothermText(10, 33800, text);
    EXPECT_EQ(text, QStringLiteral("kept"));
    // Without a picture the analysis groups give nothing.
    ReportWithView empty;
    CDrawIR* bare = empty.AddImage();
    bare->m_analyses.Add(Measured(kAnalysisPoint, 1, "点01", {1, 1, 0, 0}));
    text = QStringLiteral("SPEC");
    bare->GetPointText(1, 33500, text, true);
    EXPECT_TRUE(text.isEmpty());
}
