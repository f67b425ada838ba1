// The time profile's workbook: read back with openpyxl and converted by
// LibreOffice; the file name rule, the dialogs and a failing write.
#include "chart_test_support.h"

#include "content/draw_time_profile.h"

#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace chart_test;
using object_test::ReadFile;

namespace {

struct Cells {
    QStringList sheets;
    QJsonObject cells; // of the first sheet: coordinate -> [value, format]
};

Cells ReadCells(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral(CONTENT_PYTHON), {QStringLiteral(CONTENT_SCRIPTS "/xlsx_cells.py"), path});
    EXPECT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QJsonObject root = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    Cells out;
    for (const QJsonValue& name : root.value(QStringLiteral("sheets")).toArray())
        out.sheets << name.toString();
    if (!out.sheets.isEmpty())
        out.cells = root.value(QStringLiteral("cells")).toObject().value(out.sheets[0]).toObject();
    return out;
}

// A report whose image shows three files (one point, one line) and a chart
// over them, curves 1, 2 and 5 shown.
struct ExportReport : ChartReport {
    CDrawTimeProfile* tp = nullptr;
    ExportReport()
    {
        const QDir dir(QStringLiteral(CONTENT_TIME_FOLDER));
        const QStringList files = dir.entryList({QStringLiteral("*.vni")}, QDir::Files, QDir::Name);
        auto image = std::make_unique<CDrawIR>(&view, DocRect(500, -500, 4500, -3500));
        image->SetNumber(1);
        ir = Add(std::move(image));
        view.RebuildIRObjects();
        EXPECT_TRUE(ir->LoadIRFile(dir.filePath(files[0])));
        ir->OpenFiles({dir.filePath(files[1]), dir.filePath(files[2])}, true);
        ir->m_analyses.RemoveAll();
        ir->m_analyses.Add(Analysis(1, 1, "点01", {30, 30, 30, 30}));
        ir->m_analyses.Add(Analysis(2, 1, "线01", {10, 10, 200, 100}));
        ir->RecomputeAll();
        tp = Add(std::make_unique<CDrawTimeProfile>(&view, DocRect(500, -4000, 6000, -7000)));
        tp->m_curves[1].shown = 1;
        tp->m_curves[4].shown = 1;
        tp->CollectCurves();
    }
};

QString Cell(const Cells& c, const char* at) { return c.cells.value(QLatin1String(at)).toArray().at(0).toVariant().toString(); }

} // namespace

TEST(TimeProfileExport, TheSheetHoldsTheShownCurvesAsNumbersUnderTheirNames)
{
    ExportReport r;
    ASSERT_EQ(r.tp->GetMaxSampleCount(), 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tp.xlsx"));
    QString error;
    ASSERT_TRUE(r.tp->WriteWorkbook(path, &error)) << error.toStdString();
    const Cells c = ReadCells(path);
    EXPECT_EQ(c.sheets, QStringList{QStringLiteral("第1页")});
    EXPECT_EQ(Cell(c, "A1"), QStringLiteral("对象序号"));
    EXPECT_EQ(Cell(c, "B1"), QStringLiteral("01点"));
    EXPECT_EQ(Cell(c, "C1"), QStringLiteral("01线最高"));
    EXPECT_EQ(Cell(c, "D1"), QStringLiteral("01线温差"));
    EXPECT_FALSE(c.cells.contains(QStringLiteral("E1")));
    const int columns[] = {0, 1, 4};
    const char* letters = "BCD";
    for (int t = 0; t < 3; ++t) {
        const QString row = QString::number(t + 2);
        EXPECT_EQ(c.cells.value(QStringLiteral("A") + row).toArray().at(0).toDouble(), t + 1);
        EXPECT_TRUE(c.cells.value(QStringLiteral("A") + row).toArray().at(0).isDouble());
        for (int k = 0; k < 3; ++k) {
            const QJsonArray cell = c.cells.value(QLatin1Char(letters[k]) + row).toArray();
            ASSERT_TRUE(cell.at(0).isDouble()) << k << " " << t;
            const double sample = double(r.tp->Samples(columns[k])[std::size_t(t)]);
            EXPECT_NEAR(cell.at(0).toDouble(), std::round(sample * 100) / 100, 1e-9);
            EXPECT_EQ(cell.at(1).toString(), QStringLiteral("0.00"));
        }
    }
    EXPECT_FALSE(c.cells.contains(QStringLiteral("A5")));

    // LibreOffice reads the same table (numbers shown in their format).
    if (QString::fromLatin1(CONTENT_SOFFICE).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir profile;
    QProcess office;
    office.start(QStringLiteral(CONTENT_SOFFICE),
                 {QStringLiteral("-env:UserInstallation=file://") + profile.path(), QStringLiteral("--headless"),
                  QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"), dir.path(), path});
    ASSERT_TRUE(office.waitForFinished(120000));
    const QStringList lines =
        QString::fromUtf8(ReadFile(dir.filePath(QStringLiteral("tp.csv")))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0].trimmed(), QStringLiteral("对象序号,01点,01线最高,01线温差"));
    for (int t = 0; t < 3; ++t) {
        QString expected = QString::number(t + 1);
        for (int k : columns)
            expected += QLatin1Char(',') + QString::asprintf("%.2f", double(r.tp->Samples(k)[std::size_t(t)]));
        EXPECT_EQ(lines[t + 1].trimmed(), expected);
    }
}

TEST(TimeProfileExport, NoShownCurveWritesTheIndicesAndAMissingImageTheHeaderAlone)
{
    ExportReport r;
    QTemporaryDir dir;
    for (auto& curve : r.tp->m_curves)
        curve.shown = 0;
    const QString none = dir.filePath(QStringLiteral("none.xlsx"));
    ASSERT_TRUE(r.tp->WriteWorkbook(none, nullptr));
    Cells c = ReadCells(none);
    EXPECT_EQ(c.cells.keys(), (QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
                                           QStringLiteral("A4")}));

    // A chart of a missing image never collects samples.
    auto fresh = std::make_unique<CDrawTimeProfile>(&r.view, DocRect(0, 0, 3000, -2000));
    fresh->SetLinkedIRNumber(9);
    CDrawTimeProfile* lost = r.Add(std::move(fresh));
    lost->CollectCurves();
    const QString header = dir.filePath(QStringLiteral("header.xlsx"));
    ASSERT_TRUE(lost->WriteWorkbook(header, nullptr));
    c = ReadCells(header);
    EXPECT_EQ(c.cells.keys(), QStringList{QStringLiteral("A1")});
}

TEST(TimeProfileExport, TheCommandAsksForTheFileAddsTheExtensionAndOffersToOpenIt)
{
    struct Case {
        const char* typed;
        const char* written;
    };
    for (const Case& k : {Case{"x", "x.xlsx"}, Case{"x.txt", "x.txt.xlsx"}, Case{"x.XLSX", "x.XLSX"},
                          Case{"y.xlsx", "y.xlsx"}}) {
        SCOPED_TRACE(k.typed);
        ExportReport r;
        QTemporaryDir dir;
        QString proposed;
        r.env.onDialog = [&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            proposed = files.selectedFiles().value(0);
            files.selectFile(dir.filePath(QLatin1String(k.typed)));
            return true;
        };
        EXPECT_EQ(r.tp->DoCommand(CDrawTimeProfile::kExportCommand, QString(), 0), 1);
        EXPECT_TRUE(proposed.endsWith(QStringLiteral("TimeProfile.xlsx"))) << proposed.toStdString();
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(QLatin1String(k.written))));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no scratch file left
        ASSERT_FALSE(r.env.messageIds.empty());
        EXPECT_EQ(r.env.messageIds.back(), 61462);
    }
}

TEST(TimeProfileExport, AFailingWriteKeepsTheExistingFileAndSaysWhy)
{
    ExportReport r;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old workbook");
    }
    // A curve name beyond a cell's limit makes the workbook fail.
    r.tp->m_strCurveName[0] = QString(40000, QLatin1Char('x'));
    QString error;
    EXPECT_FALSE(r.tp->WriteWorkbook(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFile(path), QByteArray("the old workbook"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // Through the command: the message is the reason, not "in use".
    r.env.onDialog = [&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        files.setOption(QFileDialog::DontConfirmOverwrite, true);
        files.selectFile(path);
        return true;
    };
    r.env.messages.clear();
    r.tp->DoCommand(CDrawTimeProfile::kExportCommand, QString(), 0);
    ASSERT_EQ(r.env.messages.size(), 1);
    EXPECT_EQ(r.env.messages[0], error);
    EXPECT_EQ(ReadFile(path), QByteArray("the old workbook"));

    // A folder that does not exist.
    EXPECT_FALSE(r.tp->WriteWorkbook(dir.filePath(QStringLiteral("no/such/dir/x.xlsx")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TimeProfileExport, ADestinationTheWorkbookCannotReplaceIsReportedAsInUse)
{
    ExportReport r;
    QTemporaryDir dir;
    // A folder of the destination's name: the finished workbook cannot be
    // renamed over it, as over a file another program holds. The name is
    // typed without its extension, which the command adds.
    const QString held = dir.filePath(QStringLiteral("held.xlsx"));
    ASSERT_TRUE(QDir().mkpath(held + QStringLiteral("/inside")));
    QString error;
    EXPECT_FALSE(r.tp->WriteWorkbook(held, &error));
    EXPECT_EQ(error, QStringLiteral("目标文件被占用。请先关闭。"));
    r.env.onDialog = [&](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(dir.filePath(QStringLiteral("held")));
        return true;
    };
    EXPECT_EQ(r.tp->DoCommand(CDrawTimeProfile::kExportCommand, QString(), 0), 1);
    ASSERT_EQ(r.env.messages.size(), 1);
    EXPECT_EQ(r.env.messages[0], QStringLiteral("目标文件被占用。请先关闭。"));
    EXPECT_TRUE(QFileInfo(held + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}
