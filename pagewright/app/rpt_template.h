// CDI_RptTemplate: the report document template. One template serves two
// extensions, .rpt (report) and .rpm (report template), which share one
// file format.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CDI_RptTemplate {
public:
    // Parts of the document string (resource 2), in the class library's order.
    enum DocStringIndex {
        windowTitle = 0,
        docName = 1,
        fileNewName = 2,
        filterName = 3,
        filterExt = 4,
        regFileTypeId = 5,
        regFileTypeName = 6,
    };
    enum Confidence { noAttempt = 0, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

    explicit CDI_RptTemplate(int resourceId);

    // The part of the document string; for the filter extension ".rpt;.rpm"
    // comes back as ".rpt;*.rpm" so that file dialogs filter both.
    QString GetDocString(DocStringIndex index) const;

    // How well a path suits this template, given the paths already open.
    Confidence MatchDocType(const QString& path, const QStringList& openPaths) const;

    // Documents, frames and views come from the report document of a later
    // part of the program; until one is installed, new and open do nothing.
    using Opener = std::function<bool(const QString& path)>; // empty path = new document
    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    bool OpenDocumentFile(const QString& path);

private:
    QString m_docString;
    Opener m_opener;
};
