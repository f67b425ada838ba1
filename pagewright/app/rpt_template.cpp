#include "rpt_template.h"

#include "string_table.h"

CDI_RptTemplate::CDI_RptTemplate(int resourceId) : m_docString(LoadStringRes(resourceId)) {}

QString CDI_RptTemplate::GetDocString(DocStringIndex index) const
{
    QString part = m_docString.section(QLatin1Char('\n'), int(index), int(index));
    if (index == filterExt) {
        const qsizetype semicolon = part.indexOf(QLatin1Char(';'));
        if (semicolon >= 0)
            part = part.left(semicolon + 1) + QLatin1Char('*') + part.mid(semicolon + 1);
    }
    return part;
}

CDI_RptTemplate::Confidence CDI_RptTemplate::MatchDocType(const QString& path, const QStringList& openPaths) const
{
    for (const QString& open : openPaths) {
        if (open == path)
            return yesAlreadyOpen;
    }
    const QString filter = m_docString.section(QLatin1Char('\n'), filterExt, filterExt);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (filter.isEmpty() || dot < 0)
        return yesAttemptForeign;
    const QString ext = path.mid(dot);
    const QStringList exts = filter.split(QLatin1Char(';'));
    for (int i = 0; i < exts.size() && i < 2; ++i) {
        if (ext.compare(exts[i], Qt::CaseInsensitive) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

bool CDI_RptTemplate::OpenDocumentFile(const QString& path) { return m_opener ? m_opener(path) : false; }
