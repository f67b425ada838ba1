#include "content/rich_text_format.h"

#include "document/page_dc.h"

#include <QFont>
#include <QTextCharFormat>

#include <cmath>
#include <mutex>

namespace rich_text {

void InstallReportFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString chinese = QStringLiteral("WenQuanYi Zen Hei");
        QFont::insertSubstitution(QStringLiteral("宋体"), chinese);
        QFont::insertSubstitution(QStringLiteral("SimSun"), chinese);
        QFont::insertSubstitution(QStringLiteral("System"), chinese);
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    });
}

QString FaceOf(const QTextCharFormat& format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.front();
}

bool ExplicitColorOf(const QTextCharFormat& format, COLORREF& color)
{
    if (!format.hasProperty(QTextFormat::ForegroundBrush) || format.foreground().style() == Qt::NoBrush)
        return false;
    const QColor c = format.foreground().color();
    color = RGB(c.red(), c.green(), c.blue());
    return true;
}

QTextCharFormat FromCharFormat(const platform::CHARFORMAT& cf)
{
    using namespace platform;
    QTextCharFormat f;
    if (cf.dwMask & CFM_BOLD)
        f.setFontWeight((cf.dwEffects & CFE_BOLD) ? QFont::Bold : QFont::Normal);
    if (cf.dwMask & CFM_ITALIC)
        f.setFontItalic(cf.dwEffects & CFE_ITALIC);
    if (cf.dwMask & CFM_UNDERLINE)
        f.setFontUnderline(cf.dwEffects & CFE_UNDERLINE);
    if (cf.dwMask & CFM_STRIKEOUT)
        f.setFontStrikeOut(cf.dwEffects & CFE_STRIKEOUT);
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0)
        f.setFontPointSize(cf.yHeight / 20.0);
    if (cf.dwMask & CFM_COLOR) {
        if (cf.dwEffects & CFE_AUTOCOLOR)
            f.setForeground(QBrush(Qt::NoBrush)); // auto: explicitly no colour of its own
        else
            f.setForeground(PageDC::ToQColor(cf.crTextColor));
    }
    if (cf.dwMask & CFM_FACE) {
        f.setFontFamilies(QStringList{cf.FaceName()});
        const int pitch = cf.bPitchAndFamily & 0x03;
        const int family = (cf.bPitchAndFamily >> 4) & 0x0F;
        f.setProperty(kPitchProperty, pitch);
        f.setProperty(kFamilyProperty, family <= kFamilyDecor ? family : kFamilyNil);
    }
    if (cf.dwMask & CFM_CHARSET)
        f.setProperty(kCharsetProperty, static_cast<int>(cf.bCharSet));
    return f;
}

platform::CHARFORMAT ToCharFormat(const QTextCharFormat& format)
{
    using namespace platform;
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
    if (format.fontWeight() >= QFont::Bold)
        cf.dwEffects |= CFE_BOLD;
    if (format.fontItalic())
        cf.dwEffects |= CFE_ITALIC;
    if (format.fontUnderline())
        cf.dwEffects |= CFE_UNDERLINE;
    if (format.fontStrikeOut())
        cf.dwEffects |= CFE_STRIKEOUT;
    cf.yHeight = static_cast<std::int32_t>(std::lround(format.fontPointSize() * 20.0));
    COLORREF color = 0;
    if (ExplicitColorOf(format, color))
        cf.crTextColor = color;
    else
        cf.dwEffects |= CFE_AUTOCOLOR;
    cf.SetFaceName(FaceOf(format));
    const int charset = format.hasProperty(kCharsetProperty) ? format.intProperty(kCharsetProperty) : kDefaultCharset;
    cf.bCharSet = static_cast<std::uint8_t>(charset & 0xFF);
    const int family = format.intProperty(kFamilyProperty);
    cf.bPitchAndFamily = static_cast<std::uint8_t>((format.intProperty(kPitchProperty) & 0x03) |
                                                   ((family <= kFamilyDecor ? family : 0) << 4));
    return cf;
}

} // namespace rich_text
