// Every file dialog of the report designer lists the files of its kind.
#include "test_support.h"

#include "batch_dialogs.h"
#include "resource_ids.h"
#include "rpt_template.h"
#include "wizard_dialogs.h"

#include "document/draw_photo.h"
#include "document/rpt_doc.h"
#include "document/view_file_dlg.h"
#include "irimage/ir_file_dlg.h"
#include "irimage/ir_file_prompt.h"
#include "skin/file_filters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The files a file dialog shows in folder under the filter it was given.
QStringList Listed(const QString& folder, const QString& filter)
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (model == nullptr)
        return {QStringLiteral("no model")};
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.setNameFilter(filter);
    dialog.setDirectory(folder);
    const QString path = QDir(folder).canonicalPath();
    for (int tries = 0; tries < 100; ++tries) {
        bool done = false;
        for (const QList<QVariant>& signal : loaded)
            done = done || QDir(signal.front().toString()).canonicalPath() == path;
        if (done)
            break;
        loaded.wait(100);
    }
    QApplication::processEvents();
    QStringList names;
    const QModelIndex root = model->index(path);
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex item = model->index(row, 0, root);
        if (!model->isDir(item) && (model->flags(item) & Qt::ItemIsEnabled))
            names << model->fileName(item);
    }
    names.sort();
    return names;
}

} // namespace

TEST(FileDialogs, EachDialogsFirstFilterListsTheFilesOfItsKind)
{
    EnsureQApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"IR0001.VNI", "IR0002.JPG", "PHOTO.BMP", "TEMPLATE.RPM", "data.xlsx", "notes.txt",
                             "photo.jpg", "report.docx", "report.rpt", "seq.VNV", "voice.wav"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    const CDI_RptTemplate reports(res::IDR_REPORTTYPE);
    const CViewFileDlg photoDialog(true, QString(), QString(), QString::fromLatin1(CDrawPhoto::kPictureFilter));
    const CViewFileDlg wizardPictures(true, QString(), QString(), QString::fromLatin1(kWizardPictureFilter));
    const QStringList pictures{"IR0002.JPG", "PHOTO.BMP", "photo.jpg"};
    const QStringList camera{"IR0001.VNI", "IR0002.JPG", "photo.jpg", "seq.VNV"};
    struct Case {
        const char* dialog;
        QString filter; // the first entry the dialog offers
        QStringList expected;
    };
    const Case cases[] = {
        {"open and save report", skin::FileDialogFilters(reports.GetDocString(CDI_RptTemplate::filterName)).value(0),
         {"TEMPLATE.RPM", "report.rpt"}},
        {"batch template", skin::FileDialogFilters(QString::fromLatin1(kTemplateFilter)).value(0), {"TEMPLATE.RPM"}},
        {"photo and logo", photoDialog.nameFilters().value(0), pictures},
        {"wizard picture", wizardPictures.nameFilters().value(0), pictures},
        {"infrared image and wizard", skin::FileDialogFilters(QString::fromLatin1(kIRFileFilter)).value(0), camera},
        {"batch files", skin::FileDialogFilters(QString::fromLatin1(kBatchFileFilter)).value(0), camera},
        {"word export", skin::FileDialogFilters(QString::fromLatin1(CDI_RptDoc::kWordFileFilter)).value(0),
         {"report.docx"}},
        {"spreadsheet export", skin::FileDialogFilters(QString::fromLatin1(kExcelFileFilter)).value(0),
         {"data.xlsx"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Listed(dir.path(), c.filter), c.expected) << c.dialog << ": " << c.filter.toStdString();
}
