// The writer's output as other programs read it: LibreOffice (converting to
// HTML) and unrtf. Both are optional test tools; without them the tests skip.
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"

#include "test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

using namespace content_test;

const QString kSoffice = QStringLiteral(CONTENT_SOFFICE);
const QString kUnrtf = QStringLiteral(CONTENT_UNRTF);

// Our output of a document rich in what report texts use.
QByteArray Sample()
{
    QTextDocument doc;
    rich_text::ReadRtf(Fixture("editor_chinese.rtf"), &doc, nullptr);
    return rich_text::WriteRtf(doc);
}

// Keeps what another program made, for a look after a failure.
void SaveArtifact(const char* name, const QByteArray& bytes)
{
    QDir().mkpath(QStringLiteral(CONTENT_ARTIFACTS));
    QFile f(QStringLiteral(CONTENT_ARTIFACTS "/") + QLatin1String(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// The HTML text with tags removed and entities decoded.
QString PlainOf(QString html)
{
    static const QRegularExpression entity(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    for (auto m = entity.match(html); m.hasMatch(); m = entity.match(html, m.capturedStart())) {
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        html.replace(m.capturedStart(), m.capturedLength(), QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1));
    }
    html = html.mid(std::max<qsizetype>(0, html.indexOf(QStringLiteral("<body"))));
    html.replace(QStringLiteral("</p>"), QStringLiteral(" "));
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html.simplified();
}

TEST(Interop, LibreOfficeReadsTheWritersOutput)
{
    if (kSoffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath("text.rtf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Sample());
    f.close();
    // Two exports: the XHTML one keeps the character formats, the classic
    // HTML one the paragraph alignments (the XHTML export writes a right
    // alignment as "left").
    const auto convert = [&](const char* filter, const char* subdir) {
        RunProgram(kSoffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                              "--convert-to", QString::fromLatin1(filter), "--outdir", dir.filePath(subdir),
                              f.fileName()});
        QFile out(dir.filePath(subdir) + "/text.html");
        EXPECT_TRUE(out.open(QIODevice::ReadOnly)) << "no HTML from LibreOffice";
        return QString::fromUtf8(out.readAll());
    };
    const QString html = convert("html:XHTML Writer File:UTF8", "xhtml");
    const QString classic = convert("html:HTML (StarWriter)", "html");
    SaveArtifact("libreoffice.html", html.toUtf8());
    SaveArtifact("written.rtf", Sample());
    const QString plain = PlainOf(html);
    EXPECT_TRUE(plain.contains(QStringLiteral("红外报告"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QStringLiteral("温度"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QStringLiteral("36.5"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QStringLiteral("Black auto"))) << plain.toStdString();
    EXPECT_EQ(PlainOf(classic), plain);
    // Attributes: centre and right alignment, bold, red, the fonts and sizes.
    EXPECT_TRUE(classic.contains(QStringLiteral("<p align=\"center\""))) << classic.toStdString();
    EXPECT_TRUE(classic.contains(QStringLiteral("<p align=\"right\""))) << classic.toStdString();
    EXPECT_TRUE(html.contains(QRegularExpression("font-weight:\\s*bold")));
    EXPECT_TRUE(html.contains(QRegularExpression("color:\\s*#ff0000", QRegularExpression::CaseInsensitiveOption)));
    EXPECT_TRUE(html.contains(QStringLiteral("宋体")));
    EXPECT_TRUE(html.contains(QStringLiteral("Arial")));
    EXPECT_TRUE(html.contains(QRegularExpression("font-size:\\s*10.5pt")));
    EXPECT_TRUE(html.contains(QRegularExpression("font-size:\\s*9pt")));
}

TEST(Interop, UnrtfReadsTheWritersOutput)
{
    if (kUnrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed";
    QTemporaryDir dir;
    QFile f(dir.filePath("text.rtf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Sample());
    f.close();
    const QString html = QString::fromUtf8(RunProgram(kUnrtf, {"--html", f.fileName()}));
    SaveArtifact("unrtf.html", html.toUtf8());
    const QString plain = PlainOf(html);
    EXPECT_TRUE(plain.contains(QStringLiteral("红外报告"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QStringLiteral("温度"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QStringLiteral("Black auto"))) << plain.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<b>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QRegularExpression("color=\"?#ff0000", QRegularExpression::CaseInsensitiveOption)))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("center"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("align=\"right\""))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("font-size:9pt"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("face=\"Arial\""))) << html.toStdString();
}

} // namespace
