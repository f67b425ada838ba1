// The temperature export: workbooks read back with openpyxl, cell by cell
// against the holder's point temperatures, and opened by LibreOffice.
#include "command_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "irimage/ir_strings.h"
#include "irimage/workbook_file.h"

#include <sys/stat.h>

#include <cmath>


using namespace irtest;

namespace {

struct Book {
    QStringList sheets;
    std::vector<QJsonObject> cells; // per sheet
    std::vector<QStringList> merged;
    QString At(int sheet, const QString& cell) const
    {
        return sheet < int(cells.size()) ? cells[std::size_t(sheet)].value(cell).toString() : QString();
    }
    int Count(int sheet) const { return sheet < int(cells.size()) ? int(cells[std::size_t(sheet)].size()) : 0; }
};

Book ReadBook(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral(IRIMAGE_TEST_PYTHON),
                {QStringLiteral(IRIMAGE_TEST_SCRIPTS "/xlsx_probe.py"), path});
    EXPECT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QJsonObject root = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    Book book;
    for (const QJsonValue& name : root.value(QStringLiteral("sheets")).toArray()) {
        book.sheets << name.toString();
        book.cells.push_back(root.value(QStringLiteral("cells")).toObject().value(name.toString()).toObject());
        QStringList ranges;
        for (const QJsonValue& r : root.value(QStringLiteral("merged")).toObject().value(name.toString()).toArray())
            ranges << r.toString();
        book.merged.push_back(ranges);
    }
    return book;
}

// Column letters of a 1-based column.
QString Column(int c)
{
    QString s;
    for (; c > 0; c = (c - 1) / 26)
        s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

QString Cell(int row, int column) { return Column(column) + QString::number(row); }

struct ExportReport : CommandReport {
    QTemporaryDir out;
    ExportReport()
    {
        EXPECT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
    }
    QString Temp(int x, int y) const
    {
        float t = 0;
        ir->Image().GetPointTemp(x, y, ir->m_fEmissivity, ir->m_fDistance, ir->m_fBackground, &t);
        return QString::asprintf("%4.2f", double(t));
    }
    Book Export(const QString& name, int step, int target)
    {
        QString error;
        const QString path = out.filePath(name);
        EXPECT_TRUE(ir->ExportTemperatures(path, step, target, &error)) << error.toStdString();
        return ReadBook(path);
    }
};

} // namespace

TEST(IRTemperatureExport, WholeImageAtStepOneSpillsOntoTheSecondSheet)
{
    ExportReport r;
    const Book book = r.Export(QStringLiteral("step1.xlsx"), 1, -1);
    ASSERT_EQ(book.sheets, (QStringList{QStringLiteral("第1页"), QStringLiteral("第2页")}));
    EXPECT_EQ(book.merged[0], (QStringList{QStringLiteral("A1:Z1"), QStringLiteral("A2:Z2")}));
    EXPECT_TRUE(book.merged[1].isEmpty());
    EXPECT_EQ(book.At(0, QStringLiteral("A1")), QStringLiteral("红外图像测温数据 1点输出报告"));
    EXPECT_TRUE(book.At(0, QStringLiteral("A2")).startsWith(QStringLiteral("红外图像信息文件名: k4_320.vni  创建时间: ")));
    EXPECT_TRUE(book.At(0, QStringLiteral("A3")).isEmpty());
    EXPECT_EQ(book.At(0, QStringLiteral("B3")), QStringLiteral("X0"));
    EXPECT_EQ(book.At(0, QStringLiteral("IV3")), QStringLiteral("X254"));
    EXPECT_EQ(book.At(0, QStringLiteral("A4")), QStringLiteral("Y0"));
    EXPECT_EQ(book.At(0, QStringLiteral("A243")), QStringLiteral("Y239"));
    EXPECT_TRUE(book.At(1, QStringLiteral("A1")).isEmpty());
    EXPECT_EQ(book.At(1, QStringLiteral("B1")), QStringLiteral("X255"));
    EXPECT_EQ(book.At(1, QStringLiteral("BN1")), QStringLiteral("X319"));
    EXPECT_TRUE(book.At(1, QStringLiteral("BO1")).isEmpty());
    EXPECT_EQ(book.At(1, QStringLiteral("A2")), QStringLiteral("Y0"));
    EXPECT_EQ(book.At(1, QStringLiteral("A241")), QStringLiteral("Y239"));
    // Every temperature is the holder's.
    int mismatches = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const QString cell = x < 255 ? Cell(y + 4, x + 2) : Cell(y + 2, x - 253);
            mismatches += book.At(x < 255 ? 0 : 1, cell) != r.Temp(x, y);
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Heads, temperatures, title and information: nothing else.
    EXPECT_EQ(book.Count(0), 255 + 240 + 255 * 240 + 2);
    EXPECT_EQ(book.Count(1), 65 + 240 + 65 * 240);
}

TEST(IRTemperatureExport, StepsSampleEveryNthPixelUnderSampleNumbers)
{
    ExportReport r;
    for (const int step : {2, 3, 4}) {
        SCOPED_TRACE(step);
        const Book book = r.Export(QStringLiteral("step%1.xlsx").arg(step), step, -1);
        ASSERT_EQ(book.sheets.size(), 1);
        EXPECT_EQ(book.At(0, QStringLiteral("A1")), QStringLiteral("红外图像测温数据 %1点输出报告").arg(step * step));
        const int columns = (320 + step - 1) / step, rows = (240 + step - 1) / step;
        EXPECT_EQ(book.At(0, QStringLiteral("C3")), QStringLiteral("X1"));
        EXPECT_EQ(book.At(0, QStringLiteral("A5")), QStringLiteral("Y1"));
        EXPECT_EQ(book.At(0, Cell(3, columns + 1)), QStringLiteral("X%1").arg(columns - 1));
        EXPECT_EQ(book.At(0, QStringLiteral("C5")), r.Temp(step, step));
        EXPECT_EQ(book.At(0, Cell(rows + 3, columns + 1)), r.Temp((columns - 1) * step, (rows - 1) * step));
        EXPECT_EQ(book.Count(0), columns + rows + columns * rows + 2);
    }
}

TEST(IRTemperatureExport, AreaEllipseLineAndPointTargets)
{
    ExportReport r;
    r.ir->m_analyses.Add(Shape(kAnalysisRect, {10, 20, 265, 30}));   // 255 wide
    r.ir->m_analyses.Add(Shape(kAnalysisRect, {266, 20, 10, 25}));   // 256 wide, corners swapped
    r.ir->m_analyses.Add(Shape(kAnalysisEllipse, {100, 100, 120, 120}));
    r.ir->m_analyses.Add(Shape(kAnalysisLine, {10, 5, 309, 5}));     // 300 points
    r.ir->m_analyses.Add(Shape(kAnalysisPoint, {7, 9, 7, 9}));
    r.ir->m_analyses.Add(Shape(kAnalysisRect, {40, 40, 40, 45}));    // width 0
    r.ir->m_analyses[4].number = 2;

    Book fits = r.Export(QStringLiteral("area255.xlsx"), 0, 0);
    ASSERT_EQ(fits.sheets.size(), 1);
    EXPECT_TRUE(fits.At(0, QStringLiteral("A1")).startsWith(QStringLiteral("红外图像测温目标输出报告： 区域")));
    EXPECT_EQ(fits.At(0, QStringLiteral("B3")), QStringLiteral("X10"));
    EXPECT_EQ(fits.At(0, QStringLiteral("IV3")), QStringLiteral("X264"));
    EXPECT_EQ(fits.At(0, QStringLiteral("A4")), QStringLiteral("Y20"));
    EXPECT_EQ(fits.At(0, QStringLiteral("A13")), QStringLiteral("Y29"));
    EXPECT_TRUE(fits.At(0, QStringLiteral("A14")).isEmpty());
    EXPECT_EQ(fits.At(0, QStringLiteral("IV13")), r.Temp(264, 29));

    Book spills = r.Export(QStringLiteral("area256.xlsx"), 0, 1);
    ASSERT_EQ(spills.sheets.size(), 2);
    EXPECT_EQ(spills.At(1, QStringLiteral("B1")), QStringLiteral("X265"));
    EXPECT_EQ(spills.At(1, QStringLiteral("B2")), r.Temp(265, 20));
    EXPECT_EQ(spills.At(1, QStringLiteral("A6")), QStringLiteral("Y24"));

    // The ellipse keeps pixels strictly inside radius w / 2 = 10 around
    // (110, 110): (100, 110) lies at exactly 10 and stays empty.
    Book ellipse = r.Export(QStringLiteral("ellipse.xlsx"), 0, 2);
    EXPECT_EQ(ellipse.At(0, QStringLiteral("B3")), QStringLiteral("X100"));
    EXPECT_EQ(ellipse.At(0, QStringLiteral("A14")), QStringLiteral("Y110"));
    EXPECT_TRUE(ellipse.At(0, Cell(14, 2)).isEmpty());          // (100, 110)
    EXPECT_EQ(ellipse.At(0, Cell(14, 3)), r.Temp(101, 110));   // distance 9
    EXPECT_TRUE(ellipse.At(0, Cell(4, 2)).isEmpty());           // the corner
    int inside = 0;
    for (int y = 100; y < 120; ++y)
        for (int x = 100; x < 120; ++x)
            inside += std::sqrt(double((110 - x) * (110 - x) + (110 - y) * (110 - y))) < 10.0;
    EXPECT_EQ(ellipse.Count(0), 20 + 20 + inside + 2);

    Book line = r.Export(QStringLiteral("line.xlsx"), 0, 3);
    ASSERT_EQ(line.sheets.size(), 2);
    EXPECT_EQ(line.At(0, QStringLiteral("A3")), QStringLiteral("坐标"));
    EXPECT_EQ(line.At(0, QStringLiteral("A4")), QStringLiteral("温度"));
    EXPECT_EQ(line.At(0, QStringLiteral("B3")), QStringLiteral("10, 5"));
    EXPECT_EQ(line.At(0, QStringLiteral("IV3")), QStringLiteral("264, 5"));
    EXPECT_EQ(line.At(0, QStringLiteral("IV4")), r.Temp(264, 5));
    EXPECT_EQ(line.At(1, QStringLiteral("B2")), QStringLiteral("265, 5"));
    EXPECT_EQ(line.At(1, QStringLiteral("AS2")), QStringLiteral("308, 5"));
    EXPECT_EQ(line.At(1, QStringLiteral("AS3")), r.Temp(308, 5));
    EXPECT_EQ(line.Count(1), 2 * (r.ir->Image().LinePointCount() - 255));

    Book point = r.Export(QStringLiteral("point.xlsx"), 0, 4);
    EXPECT_EQ(point.At(0, QStringLiteral("A1")), QStringLiteral("红外图像测温目标输出报告： 点02"));
    EXPECT_EQ(point.At(0, QStringLiteral("B3")), QStringLiteral("7, 9"));
    EXPECT_EQ(point.At(0, QStringLiteral("B4")), r.Temp(7, 9));
    EXPECT_EQ(point.Count(0), 6);

    // Width 0: row heads only.
    Book thin = r.Export(QStringLiteral("thin.xlsx"), 0, 5);
    EXPECT_EQ(thin.Count(0), 2 + 5);
}

TEST(IRTemperatureExport, TheCommandAsksSavesReplacesAndKeepsTheOldFileOnFailure)
{
    ExportReport r;
    const QString target = r.out.filePath(QStringLiteral("IR.xlsx"));
    ASSERT_TRUE(WriteAll(target, QByteArray("an older workbook")));
    // Step 4 through the command: the save dialog proposes IR.xlsx; the
    // question after the export is answered No.
    r.env.choose = {r.out.filePath(QStringLiteral("IR"))};
    EXPECT_EQ(r.ir->DoCommand(32861, QString(), 0), 1);
    EXPECT_EQ(r.env.messages.back(), ir_string::kOpenExported);
    EXPECT_EQ(ReadBook(target).sheets.size(), 1);
    // No scratch file stays beside it.
    EXPECT_EQ(QDir(r.out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("IR.xlsx")});

    // A target the finished workbook cannot replace (here a folder of that
    // name): what was there stays, and the reason is shown.
    const QString blocked = r.out.filePath(QStringLiteral("blocked.xlsx"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    r.env.choose = {blocked};
    EXPECT_EQ(r.ir->DoCommand(32858, QString(), 0), 0);
    EXPECT_TRUE(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(r.env.messageTexts.back(), QStringLiteral("目标文件被占用。请先关闭。"));
    EXPECT_EQ(QDir(r.out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("IR.xlsx")});

    // The target command: a cancelled target dialog ends it before the file.
    r.ir->m_analyses.Add(Shape(kAnalysisPoint, {3, 4, 3, 4}));
    const int dialogs = r.env.dialogs;
    r.env.onDialog = [](QDialog&) { return false; };
    EXPECT_EQ(r.ir->DoCommand(32862, QString(), 0), 0);
    EXPECT_EQ(r.env.dialogs, dialogs + 1);
}

TEST(IRTemperatureExport, AWorkbookGetsTheModeOfAnyOtherNewFileOrKeepsTheOldOne)
{
    struct Case {
        mode_t umask;
        int existing; // mode of a file already there, -1 for none
        int expected;
    };
    for (const Case& k : {Case{022, -1, 0644}, Case{027, -1, 0640}, Case{022, 0600, 0600}, Case{077, 0664, 0664}}) {
        SCOPED_TRACE(testing::Message() << std::oct << "umask " << k.umask << " existing "
                                        << (k.existing < 0 ? 0 : k.existing) << (k.existing < 0 ? " (none)" : ""));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        if (k.existing >= 0) {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(k.existing)), 0);
        }
        const mode_t saved = ::umask(k.umask);
        {
            WorkbookFile book(path);
            EXPECT_TRUE(book.AddSheet(QStringLiteral("Page 1")));
            book.Put(0, 1, 1, "x");
            EXPECT_TRUE(book.Commit()) << book.Error().toStdString();
        }
        ::umask(saved);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(int(st.st_mode & 0777), k.expected);
    }
}

TEST(IRTemperatureExport, LibreOfficeReadsEveryLayout)
{
    ExportReport r;
    r.ir->m_analyses.Add(Shape(kAnalysisLine, {10, 5, 309, 5}));
    r.ir->m_analyses.Add(Shape(kAnalysisEllipse, {100, 100, 120, 120}));
    r.ir->m_analyses.Add(Shape(kAnalysisPoint, {7, 9, 7, 9}));
    QStringList books;
    const auto write = [&](const QString& name, int step, int target) {
        QString error;
        books << r.out.filePath(name);
        EXPECT_TRUE(r.ir->ExportTemperatures(books.back(), step, target, &error)) << error.toStdString();
    };
    write(QStringLiteral("s1.xlsx"), 1, -1);
    write(QStringLiteral("s3.xlsx"), 3, -1);
    write(QStringLiteral("line.xlsx"), 0, 0);
    write(QStringLiteral("ellipse.xlsx"), 0, 1);
    write(QStringLiteral("point.xlsx"), 0, 2);
    QTemporaryDir profile;
    QProcess office;
    QStringList args{QStringLiteral("-env:UserInstallation=file://") + profile.path(), QStringLiteral("--headless"),
                     QStringLiteral("--convert-to"), QStringLiteral("csv"), QStringLiteral("--outdir"), r.out.path()};
    office.start(QStringLiteral("soffice"), args + books);
    ASSERT_TRUE(office.waitForFinished(120000));
    for (const QString& book : books) {
        const QString csv = QFileInfo(book).path() + QLatin1Char('/') + QFileInfo(book).completeBaseName() +
                            QStringLiteral(".csv");
        const QByteArray text = ReadAll(csv);
        EXPECT_FALSE(text.isEmpty()) << csv.toStdString();
        EXPECT_TRUE(text.contains(r.Temp(7, 9).toUtf8()) || !book.endsWith(QStringLiteral("point.xlsx")));
    }
}
