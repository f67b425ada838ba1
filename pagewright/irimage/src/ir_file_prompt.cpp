#include "irimage/ir_file_prompt.h"


#include "document/document_environment.h"
#include "platform/dialog_folder.h"
#include "skin/file_filters.h"

#include <QFileDialog>
#include <QFileInfo>

QString PromptIRSaveFile(DocumentEnvironment& env, const QString& proposed, const QString& filter, int* filterIndex)
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = skin::FileDialogFilters(filter);
    dialog.setNameFilters(filters);
    // The folder last written to, with the proposed name.
    dialog.setDirectory(platform::ProposedFolder(env.GetSavePath(), platform::FolderUse::Write));
    dialog.selectFile(proposed);
    if (!env.RunDialog(dialog) || dialog.selectedFiles().isEmpty())
        return {};
    env.SetSavePath(platform::FolderOf(dialog.selectedFiles().front()));
    if (filterIndex != nullptr)
        *filterIndex = static_cast<int>(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0)) + 1;
    return dialog.selectedFiles().front();
}

QString WithExtension(const QString& path, const QString& extension, bool anyCase)
{
    const QString suffix = QFileInfo(path).suffix();
    const bool has = anyCase ? suffix.compare(extension, Qt::CaseInsensitive) == 0
                             : (suffix == extension || suffix == extension.toUpper());
    return has ? path : path + QLatin1Char('.') + extension;
}
