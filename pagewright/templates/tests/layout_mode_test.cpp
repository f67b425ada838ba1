// Layout mode: a template's layout file written from the template read
// without a window, checked key by key, line by line, and by Python's own
// INI reader.
#include "conversion_fixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_result_table.h"
#include "content/draw_table.h"
#include "platform/codepage.h"
#include "profile_text.h"

#include <map>

using namespace convtest;

namespace {

const char* const kSections[] = {"DrawIR",    "DrawPhoto",       "DrawLogo",    "Draw3DMap",     "DrawPoly",
                                 "DrawField", "DrawTable",       "DrawResultTable", "DrawProfile", "DrawHistogram",
                                 "DrawTimeProfile", "DrawText", "DrawRect"};

QStringList Lines(const QString& path)
{
    return QString::fromLatin1(ReadFile(path)).split(QStringLiteral("\r\n"));
}

// The file through Python's configparser (GBK, no interpolation, keys as
// written): {section: {key: value}}.
QJsonObject PythonRead(const QString& path)
{
    const char* script = "import configparser, json, sys\n"
                         "cp = configparser.ConfigParser(interpolation=None)\n"
                         "cp.optionxform = str\n"
                         "cp.read(sys.argv[1], encoding='gbk')\n"
                         "print(json.dumps({s: dict(cp[s]) for s in cp.sections()}, ensure_ascii=False))\n";
    QProcess py;
    py.start(QStringLiteral(TEMPLATES_TEST_PYTHON), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
}

TEST(LayoutMode, EmptyTemplateGivesThePageAndThirteenEmptySections)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    TemplateBuilder t;
    const QSize page = t.doc.GetPageSize();
    const QString path = t.Save(conv.Path(QStringLiteral("empty.rpm")));
    const int windows = conv.WindowCount();
    conv.app->ConvertReportTemplate(path, QString(), 0);

    QStringList expected = {QStringLiteral("[System]"),
                            QStringLiteral("PageWidth=%1").arg(std::abs(DeviceX(page.width()))),
                            QStringLiteral("PageHeight=%1").arg(std::abs(DeviceY(page.height()))),
                            QStringLiteral("PageCount=1"), QStringLiteral("Updated=1")};
    for (const char* section : kSections)
        expected << QString() << QStringLiteral("[%1]").arg(QLatin1String(section)) << QStringLiteral("ObjCount=0");
    expected << QString();
    EXPECT_EQ(Lines(conv.Path(QStringLiteral("empty.ini"))), expected);
    // The template was closed again, unsaved, and no window opened.
    EXPECT_EQ(conv.WindowCount(), windows);
    EXPECT_TRUE(conv.box.messages.empty());
}

// Two pages: a right-aligned text, an image (number 3), an ellipse, a photo
// of image 3, a polygon, a logo, a two-line text with GBK and a backslash,
// a field; every rectangle on exact device units.
QString RichTemplate(const Conversion& conv, TemplateBuilder& t)
{
    t.Pages(2);
    t.Text(DocRect(1040, -1040, 3140, -2090), QStringLiteral("标题"), 2);
    t.Image(DocRect(2090, -2090, 1040, -3140), 3); // unnormalised: left > right
    auto* ellipse = t.Add(std::make_unique<CDrawRect>(&t.view, DocRect(1040, -1040, 2090, -2090)), 1);
    ellipse->shape = CDrawRect::ellipse;
    t.Photo(DocRect(3140, -1040, 4190, -2090), 3, 1);
    t.Add(std::make_unique<CDrawPoly>(&t.view, DocRect(1040, -3140, 2090, -4190)), 1);
    t.Add(std::make_unique<CDrawLogo>(&t.view, DocRect(20, -20, 1040, -1040)));
    t.Text(DocRect(1040, -4190, 5240, -5240), QStringLiteral("检测\n C:\\温度"), 0, 1);
    t.Add(std::make_unique<CDrawField>(&t.view, DocRect(1040, -5240, 2090, -6290)));
    return t.Save(conv.Path(QStringLiteral("rich.rpm")));
}

TEST(LayoutMode, EachObjectIsRecordedUnderItsKindInListOrder)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    TemplateBuilder t;
    const QString path = RichTemplate(conv, t);
    conv.app->ConvertReportTemplate(path, QString(), 0);
    const QString ini = conv.Path(QStringLiteral("rich.ini"));

    const QJsonObject file = PythonRead(ini);
    const auto value = [&](const char* section, const char* key) {
        return file[QLatin1String(section)].toObject()[QLatin1String(key)].toString();
    };
    EXPECT_EQ(value("System", "PageCount"), QStringLiteral("2"));
    EXPECT_EQ(value("System", "Updated"), QStringLiteral("1"));
    const std::map<std::string, int> counts = {{"DrawIR", 1},   {"DrawPhoto", 1}, {"DrawLogo", 1}, {"DrawPoly", 1},
                                               {"DrawField", 1}, {"DrawText", 2},  {"DrawRect", 1}};
    for (const char* section : kSections) {
        const auto it = counts.find(section);
        EXPECT_EQ(value(section, "ObjCount"), QString::number(it == counts.end() ? 0 : it->second)) << section;
    }
    EXPECT_EQ(value("DrawIR", "OBJ1_IRNO"), QStringLiteral("3"));
    EXPECT_EQ(value("DrawPhoto", "OBJ1_IRNO"), QStringLiteral("3"));
    EXPECT_EQ(value("DrawText", "OBJ1_Content"), QStringLiteral("标题"));
    EXPECT_EQ(value("DrawText", "OBJ1_Align"), QStringLiteral("2"));
    EXPECT_EQ(value("DrawText", "OBJ2_Content"), QStringLiteral("检测\\n C:\\\\温度"));
    EXPECT_EQ(value("DrawText", "OBJ2_Align"), QStringLiteral("0"));
    EXPECT_EQ(value("DrawText", "OBJ2_InPage"), QStringLiteral("1"));
    EXPECT_EQ(value("DrawRect", "OBJ1_Type"), QStringLiteral("2"));
    // Rectangles in device units, normalised.
    EXPECT_EQ(value("DrawIR", "OBJ1_Left"), QStringLiteral("100"));
    EXPECT_EQ(value("DrawIR", "OBJ1_Top"), QStringLiteral("200"));
    EXPECT_EQ(value("DrawIR", "OBJ1_Width"), QStringLiteral("100"));
    EXPECT_EQ(value("DrawIR", "OBJ1_Height"), QStringLiteral("100"));
    EXPECT_EQ(value("DrawIR", "OBJ1_InPage"), QStringLiteral("0"));
    EXPECT_EQ(value("DrawText", "OBJ1_Width"), QStringLiteral("200"));
    EXPECT_EQ(value("DrawPhoto", "OBJ1_Left"), QStringLiteral("300"));
    EXPECT_EQ(value("DrawPhoto", "OBJ1_InPage"), QStringLiteral("1"));
    EXPECT_FALSE(file[QStringLiteral("DrawRect")].toObject().contains(QStringLiteral("OBJ2_Type")));

    // Readers ask with other cases and trailing blanks, and get texts back
    // unescaped.
    const LayoutFile layout = LayoutFile::Load(ini);
    EXPECT_EQ(layout.Document().readInt(u"drawtext", u"OBJ1_Align ", -1), 2);
    EXPECT_EQ(layout.TextContent(2), QStringLiteral("检测\n C:\\温度"));
    EXPECT_EQ(layout.ObjCount(kLayoutText), 2);

    // The writing order, line by line: the kinds' own keys, then the
    // rectangle, object by object; the sections in the order their kinds
    // first appear; the counts; Updated last in System.
    const QStringList lines = Lines(ini);
    const QStringList text = {
        QStringLiteral("[DrawText]"), QString::fromLatin1("OBJ1_Content=" + platform::toGbk(QStringLiteral("标题"))),
        QStringLiteral("OBJ1_Align=2"),    QStringLiteral("OBJ1_Left=100"), QStringLiteral("OBJ1_Top=100"),
        QStringLiteral("OBJ1_Width=200"),  QStringLiteral("OBJ1_Height=100"), QStringLiteral("OBJ1_InPage=0")};
    const qsizetype at = lines.indexOf(text.first());
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.mid(at, text.size()), text);
    const QStringList headers = [&] {
        QStringList h;
        for (const QString& line : lines)
            if (line.startsWith(QLatin1Char('[')))
                h << line;
        return h;
    }();
    EXPECT_EQ(headers, (QStringList{"[System]", "[DrawText]", "[DrawIR]", "[DrawRect]", "[DrawPhoto]", "[DrawPoly]",
                                    "[DrawLogo]", "[DrawField]", "[Draw3DMap]", "[DrawTable]", "[DrawResultTable]",
                                    "[DrawProfile]", "[DrawHistogram]", "[DrawTimeProfile]"}));
    const qsizetype updated = lines.indexOf(QStringLiteral("Updated=1"));
    EXPECT_EQ(lines.mid(updated - 1, 2), (QStringList{"PageCount=2", "Updated=1"}));
}

TEST(LayoutMode, TablesAndChartsOnlyUnderTheirOwnSectionsAndCellsInOrder)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    TemplateBuilder t;
    auto* table = t.Add(std::make_unique<CDrawTable>(&t.view, DocRect(1040, -1040, 4190, -2090), 3, 2));
    table->RecalcLayout();
    table->SetCellText(&t.view, 0, 1, QStringLiteral("设备"), 2);
    table->SetCellText(&t.view, 1, 2, QStringLiteral("a\\b"), 0);
    table->MakeFieldCell(3, 1, 33200);
    t.Add(std::make_unique<CDrawResultTable>(&t.view, DocRect(1040, -3140, 3140, -4190)));
    t.Add(std::make_unique<CDrawProfile>(&t.view, DocRect(1040, -4190, 4190, -6290)));
    t.Add(std::make_unique<CDrawHistogram>(&t.view, DocRect(1040, -6290, 4190, -8390)));
    t.Add(std::make_unique<CDrawRect>(&t.view, DocRect(1040, -8390, 2090, -9440)));
    const QString path = t.Save(conv.Path(QStringLiteral("tables.rpm")));
    conv.app->ConvertReportTemplate(path, QString(), 0);

    const QString ini = conv.Path(QStringLiteral("tables.ini"));
    const LayoutFile layout = LayoutFile::Load(ini);
    EXPECT_EQ(layout.ObjCount(kLayoutTable), 1);
    EXPECT_EQ(layout.ObjCount(kLayoutResultTable), 1);
    EXPECT_EQ(layout.ObjCount(kLayoutProfile), 1);
    EXPECT_EQ(layout.ObjCount(kLayoutHistogram), 1);
    EXPECT_EQ(layout.ObjCount(kLayoutRect), 1);
    // The plain rectangle is the first of its section.
    EXPECT_EQ(layout.Int(u"DrawRect", QStringLiteral("OBJ1_Top"), -1), DeviceY(-8390));

    QStringList expected = {QStringLiteral("[DrawTable]"), QStringLiteral("OBJ1_Row=2"), QStringLiteral("OBJ1_Col=3")};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            QString text;
            int align = 0; // a field cell leaves it as it was
            table->GetCellText(&t.view, r, c, text, align);
            expected << QString::fromLatin1("OBJ1_%1_%2_Content=").arg(r).arg(c) +
                            QString::fromLatin1(platform::toGbk(EscapeProfileText(text)))
                     << QStringLiteral("OBJ1_%1_%2_Align=%3").arg(r).arg(c).arg(align);
        }
    }
    expected << QStringLiteral("OBJ1_Left=100") << QStringLiteral("OBJ1_Top=100") << QStringLiteral("OBJ1_Width=300")
             << QStringLiteral("OBJ1_Height=100") << QStringLiteral("OBJ1_InPage=0") << QStringLiteral("ObjCount=1")
             << QString();
    const QStringList lines = Lines(ini);
    const qsizetype at = lines.indexOf(expected.first());
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.mid(at, expected.size()).join(u'|').toStdString(), expected.join(u'|').toStdString());
    EXPECT_EQ(layout.CellContent(1, 0, 1), QStringLiteral("设备"));
    EXPECT_EQ(layout.CellAlign(1, 0, 1), 2);
    EXPECT_EQ(layout.CellContent(1, 1, 2), QStringLiteral("a\\b"));
    EXPECT_EQ(layout.CellContent(1, 1, 0), QStringLiteral("--")); // the field cell
    EXPECT_FALSE(layout.CellContent(1, 2, 0));
}

TEST(LayoutMode, KeysOfAnEarlierLayoutStayWhileTheCountDrops)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const QString path = conv.Path(QStringLiteral("two.rpm"));
    {
        TemplateBuilder t;
        t.Text(DocRect(1040, -1040, 3140, -2090), QStringLiteral("one"));
        t.Text(DocRect(1040, -2090, 3140, -3140), QStringLiteral("two"));
        t.Save(path);
    }
    conv.app->ConvertReportTemplate(path, QString(), 0);
    {
        TemplateBuilder t;
        t.Text(DocRect(1040, -1040, 3140, -2090), QStringLiteral("only"));
        t.Save(path);
    }
    // Saving a template again marks the layout stale; layout mode writes
    // it again over what is there.
    platform::IniFile(conv.Path(QStringLiteral("two.ini"))).writeString(u"System", u"Updated", u"0");
    conv.app->ConvertReportTemplate(path, QString(), 0);
    const LayoutFile layout = LayoutFile::Load(conv.Path(QStringLiteral("two.ini")));
    EXPECT_EQ(layout.ObjCount(kLayoutText), 1);
    EXPECT_EQ(layout.TextContent(1), QStringLiteral("only"));
    EXPECT_EQ(layout.TextContent(2), QStringLiteral("two"));
    EXPECT_EQ(layout.Int(u"System", QStringLiteral("Updated"), -1), 1);
}

TEST(LayoutMode, ATemplateThatDoesNotOpenWritesNothing)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const QString bad = conv.Path(QStringLiteral("bad.rpm"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a report");
    f.close();
    conv.app->ConvertReportTemplate(bad, QString(), 0);
    conv.app->ConvertReportTemplate(conv.Path(QStringLiteral("missing.rpm")), QString(), 0);
    EXPECT_FALSE(QFile::exists(conv.Path(QStringLiteral("bad.ini"))));
    EXPECT_FALSE(QFile::exists(conv.Path(QStringLiteral("missing.ini"))));
}

TEST(LayoutMode, AnotherModeOnlyOpensTheTemplate)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    TemplateBuilder t;
    const QString path = RichTemplate(conv, t);
    const int windows = conv.WindowCount();
    conv.app->ConvertReportTemplate(path, QStringLiteral("ignored"), 5);
    EXPECT_EQ(conv.WindowCount(), windows + 1);
    CDI_RptView* view = conv.ActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument()->GetPathName(), path);
    EXPECT_FALSE(view->GetDocument()->IsModified());
    EXPECT_EQ(view->GetDocument()->GetObjects().size(), t.doc.GetObjects().size());
    EXPECT_FALSE(QFile::exists(conv.Path(QStringLiteral("rich.ini"))));
}

} // namespace
