// A report filled from the command line: "template|data" opens an untitled
// report made from a filled copy of the template.
#include "test_support.h"

#include "app_environment.h"
#include "field_data_file.h"
#include "main_frame.h"
#include "resource_ids.h"
#include "rpt_view.h"
#include "split_frame.h"

#include "document/draw_photo.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

QString Fixture(const char* name) { return QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/") + QLatin1String(name); }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A template with one infrared image (one area analysis, no file) and one
// empty photo.
void WriteTemplate(const QString& path)
{
    CDrawIR::Register(DrawClassRegistry::Standard());
    CDI_RptDoc doc;
    auto image = std::make_unique<CDrawIR>(nullptr, DocRect(1000, -1000, 5000, -4000));
    IRAnalysisItem area;
    area.kind = 3;
    area.shape = {10, 10, 30, 30};
    area.emissivity = 0.95f;
    area.distance = 1.0f;
    image->m_analyses.Add(area);
    doc.AddNoUndo(std::move(image));
    doc.AddNoUndo(std::make_unique<CDrawPhoto>(nullptr, DocRect(1000, -5000, 3000, -7000)));
    ASSERT_TRUE(doc.SaveToPath(path));
}

struct Filled {
    std::unique_ptr<CDI_RptApp> app;
    CDI_RptDoc* doc = nullptr;
    CDrawIR* image = nullptr;
    CDrawPhoto* photo = nullptr;
    int reports = 0;
};

Filled StartWith(StartupSandbox& box, const QString& argument)
{
    StartupOptions options = box.Options();
    options.arguments = {argument};
    Filled f;
    f.app = box.Start(options);
    if (f.app == nullptr)
        return f;
    QApplication::processEvents();
    f.reports = int(f.app->GetMainFrame()->GetMdiClient()->subWindowList().size());
    if (CSplitFrame* child = f.app->GetMainFrame()->MDIGetActive()) {
        if (auto* view = qobject_cast<CDI_RptView*>(child->GetActiveView()))
            f.doc = view->GetDocument();
    }
    if (f.doc != nullptr) {
        for (CDrawObj* obj : f.doc->GetObjects()) {
            if (f.image == nullptr && obj->IsKindOf(CDrawIR::kClass))
                f.image = static_cast<CDrawIR*>(obj);
            if (f.photo == nullptr && obj->IsKindOf(CDrawPhoto::kClass))
                f.photo = static_cast<CDrawPhoto*>(obj);
        }
    }
    return f;
}

void CloseAll(Filled& f)
{
    if (f.app == nullptr || f.app->GetMainFrame() == nullptr)
        return;
    if (f.doc != nullptr)
        f.doc->SetModifiedFlag(false);
    f.app->GetMainFrame()->GetMdiClient()->closeAllSubWindows();
    QApplication::processEvents();
}

// Filled copies and visible pictures left in the scratch folder (the open
// report's own working copy, made from a filled copy, does not count).
QStringList FilledCopies(const CDI_RptApp& app)
{
    return QDir(app.GetDocumentEnvironment().TemporaryFolder())
        .entryList({QStringLiteral("filled-*.rpm"), QStringLiteral("visible-*")}, QDir::Files);
}

} // namespace

TEST(CommandLineFill, TemplateAndDataOpenAnUntitledFilledReport)
{
    StartupSandbox box;
    const QString tpl = box.Path(QStringLiteral("in/tpl.rpm"));
    QDir().mkpath(box.Path(QStringLiteral("in")));
    WriteTemplate(tpl);
    const QByteArray templateBytes = ReadAll(tpl);
    // Three infrared files, one of them under a Chinese name; the data file
    // is GBK with CR LF line ends.
    const QString chinese = box.Path(QString::fromUtf8("红外/图像一.vni"));
    WriteAll(chinese, ReadAll(Fixture("k4_320.vni")));
    const QString photo = box.Path(QStringLiteral("photo.bmp"));
    QImage visible(64, 48, QImage::Format_RGB32);
    visible.fill(Qt::green);
    ASSERT_TRUE(visible.save(photo, "BMP"));
    const QString data = box.Path(QStringLiteral("in/data.txt"));
    WriteAll(data, platform::toGbk(chinese + QLatin1Char(';') + photo + QStringLiteral("\r\n") + Fixture("k8_160.vni") +
                                   QStringLiteral(";ignored\r\n") + Fixture("k4.vni") + QStringLiteral("\r\n")));

    Filled f = StartWith(box, tpl + QLatin1Char('|') + data);
    ASSERT_NE(f.app, nullptr);
    EXPECT_TRUE(box.messages.empty()) << box.messages[0].text.toStdString();
    EXPECT_EQ(f.reports, 1);
    ASSERT_NE(f.doc, nullptr);
    EXPECT_TRUE(f.doc->GetPathName().isEmpty()) << "an untitled report";
    ASSERT_NE(f.image, nullptr);
    ASSERT_EQ(f.image->FileCount(), 3);
    QStringList listed;
    for (const IRFileEntry& e : f.image->Files())
        listed << e.path;
    EXPECT_TRUE(listed.contains(chinese));
    EXPECT_TRUE(f.image->HasImage());
    EXPECT_EQ(f.app->m_fieldCount, 3);
    EXPECT_EQ(f.app->m_fieldValues.value(0), photo);
    EXPECT_EQ(f.app->m_analysisArray.GetSize(), 1u);
    // The photo shows the first line's picture.
    ASSERT_NE(f.photo, nullptr);
    EXPECT_TRUE(f.photo->HasPicture());
    EXPECT_EQ(f.photo->pictureWidth, 64);

    // The template is unchanged and nothing was left beside it or in the
    // scratch folder.
    EXPECT_EQ(ReadAll(tpl), templateBytes);
    EXPECT_EQ(QDir(box.Path(QStringLiteral("in"))).entryList(QDir::Files), (QStringList{"data.txt", "tpl.rpm"}));
    EXPECT_TRUE(FilledCopies(*f.app).isEmpty());
    CloseAll(f);
}

TEST(CommandLineFill, AnEmptyDataFileSavesTheCopyWithItsAnalysesAndNoFile)
{
    StartupSandbox box;
    const QString tpl = box.Path(QStringLiteral("tpl.rpm"));
    WriteTemplate(tpl);
    const QString data = box.Path(QStringLiteral("data.txt"));
    WriteAll(data, {});
    Filled f = StartWith(box, tpl + QLatin1Char('|') + data);
    ASSERT_NE(f.app, nullptr);
    EXPECT_TRUE(box.messages.empty());
    ASSERT_NE(f.image, nullptr);
    EXPECT_EQ(f.image->FileCount(), 0);
    EXPECT_EQ(f.image->m_analyses.GetSize(), 1u);
    EXPECT_EQ(f.app->m_analysisArray.GetSize(), 1u);
    EXPECT_EQ(f.app->m_fieldCount, 0);
    EXPECT_TRUE(FilledCopies(*f.app).isEmpty());
    // No file shown, no visible picture: the photo keeps its placeholder.
    ASSERT_NE(f.photo, nullptr);
    EXPECT_FALSE(f.photo->HasPicture());
    CloseAll(f);
}

TEST(CommandLineFill, MissingFilesAndALeadingBarStartNormally)
{
    StartupSandbox box;
    const QString tpl = box.Path(QStringLiteral("tpl.rpm"));
    WriteTemplate(tpl);
    const QString data = box.Path(QStringLiteral("data.txt"));
    WriteAll(data, Fixture("k4.vni").toUtf8());
    struct Case {
        QString argument;
        int message; // 0: none of the filling's messages
    };
    const Case cases[] = {
        {box.Path(QStringLiteral("none.rpm")) + QLatin1Char('|') + data, res::IDS_SELECT_TEMPLATE},
        {tpl + QLatin1Char('|') + box.Path(QStringLiteral("none.txt")), res::IDS_SELECT_PICTURE},
    };
    for (const Case& c : cases) {
        box.messages.clear();
        Filled f = StartWith(box, c.argument);
        ASSERT_NE(f.app, nullptr);
        ASSERT_EQ(box.messages.size(), 1u) << c.argument.toStdString();
        EXPECT_EQ(box.messages[0].stringId, c.message);
        // An ordinary new report.
        EXPECT_EQ(f.reports, 1);
        ASSERT_NE(f.doc, nullptr);
        EXPECT_TRUE(f.doc->GetObjects().empty());
        EXPECT_EQ(f.app->m_fieldCount, 0);
        CloseAll(f);
    }

    // "|data.txt" is a file name: it is opened as a report (and fails as one),
    // nothing is filled.
    box.messages.clear();
    Filled f = StartWith(box, QLatin1Char('|') + data);
    ASSERT_NE(f.app, nullptr);
    for (const MessageBoxRequest& m : box.messages) {
        EXPECT_NE(m.stringId, res::IDS_SELECT_TEMPLATE);
        EXPECT_NE(m.stringId, res::IDS_SELECT_PICTURE);
    }
    EXPECT_EQ(f.app->m_fieldCount, 0);
    CloseAll(f);
}

TEST(FieldDataFile, LinesNamesValuesAndLimits)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.txt"));
    const QString name = QString::fromUtf8("D:/红外/图像.VNI");

    // GBK and UTF-8 with its mark name the same path; LF and CR LF.
    for (const QByteArray& bytes :
         {platform::toGbk(name + QStringLiteral(";v1\r\nsecond")),
          QByteArray("\xEF\xBB\xBF") + (name + QStringLiteral(";v1\nsecond\n")).toUtf8()}) {
        WriteAll(path, bytes);
        const std::optional<FieldDataFile> d = ReadFieldDataFile(path);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->names, (QStringList{name, "second"}));
        EXPECT_EQ(d->values, (QStringList{"v1", ""}));
    }

    // 601 lines: the first 600. Empty lines count; a value keeps later ";".
    QByteArray many;
    for (int i = 0; i < 601; ++i)
        many += QByteArray::number(i) + (i == 1 ? ";a;b" : "") + "\n";
    many.replace("5\n", "\n");
    WriteAll(path, many);
    std::optional<FieldDataFile> d = ReadFieldDataFile(path);
    ASSERT_TRUE(d);
    ASSERT_EQ(d->names.size(), 600);
    EXPECT_EQ(d->names[599], "599");
    EXPECT_EQ(d->names[5], "");
    EXPECT_EQ(d->values[1], "a;b");

    // Entries cut to 254 bytes without splitting a character.
    const QString wide = QString(200, QChar(0x7EA2));         // 400 GBK bytes
    const QString odd = QLatin1Char('a') + wide;               // 401
    WriteAll(path, platform::toGbk(wide + QLatin1Char(';') + odd));
    d = ReadFieldDataFile(path);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->names[0], QString(127, QChar(0x7EA2)));
    EXPECT_EQ(d->values[0], QLatin1Char('a') + QString(126, QChar(0x7EA2)));
    WriteAll(path, QByteArray("\xEF\xBB\xBF") + odd.toUtf8()); // 3-byte characters
    d = ReadFieldDataFile(path);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->names[0], QLatin1Char('a') + QString(84, QChar(0x7EA2)));

    // Nothing there.
    EXPECT_FALSE(ReadFieldDataFile(dir.filePath(QStringLiteral("none.txt"))));

    QString tpl;
    QString data;
    EXPECT_TRUE(SplitFillArgument(QStringLiteral("a.rpm|b|c.txt"), tpl, data));
    EXPECT_EQ(tpl, "a.rpm");
    EXPECT_EQ(data, "b|c.txt");
    EXPECT_FALSE(SplitFillArgument(QStringLiteral("|data.txt"), tpl, data));
    EXPECT_FALSE(SplitFillArgument(QStringLiteral("plain.rpt"), tpl, data));
}
