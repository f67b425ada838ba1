// CIRFileDlg: the file dialog that chooses infrared files. Beside the usual
// file controls it shows a preview panel (the dialog's template 152): the
// false-colour image with the visible photo in its other half, the file's
// date and time, the image size, the remark, and a button that plays the
// voice note. The preview extracts the selected file's parts into scratch
// files of the dialog's own (ExtractIRFileParts), once per path.
#pragma once

#include "irimage/ir_file_parts.h"

#include <QFileDialog>
#include <QString>

class DocumentEnvironment;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The camera's file types, for every dialog that opens infrared files.
inline constexpr char kIRFileFilter[] =
    "All InfraFile(*.JPG;*.VNI;*.VNV)|*.JPG;*.VNI;*.VNV|JPG (*.JPG)|*.JPG|PIC (*.VNI)|*.VNI|Video (*.VNV)|*.VNV||";

class CIRFileDlg : public QFileDialog {
    Q_OBJECT
public:
    // Control identifiers of the panel.
    static constexpr int kPreview = 181;
    static constexpr int kPlayVoice = 182;
    static constexpr int kDate = 185;
    static constexpr int kTime = 187;
    static constexpr int kSize = 188;
    static constexpr int kRemark = 189;

    // open: an open dialog (else a save dialog); filter in the "text|pattern|"
    // form of the file dialogs; the title is string 61457.
    CIRFileDlg(DocumentEnvironment& env, bool open, const QString& defaultExt, const QString& fileName,
               const QString& filter, QWidget* parent = nullptr);
    ~CIRFileDlg() override;

    // The preview of a selection: one file is previewed (its parts are
    // extracted when it is not the path last previewed); none or several
    // leave the panel empty.
    void PreviewSelection(const QStringList& selected);
    // Button 182: plays the extracted voice note.
    void OnPlayVoice();

    // What the panel shows (tests and the commands).
    QString FieldText(int id) const;
    bool PlayEnabled() const;
    const QImage& PreviewImage() const { return m_preview; }
    // Why the previewed file's photo is not shown although it has one: a
    // platform::CDibImage::PicError (kPicErrorTooLarge beyond the picture
    // bound); kPicErrorNone otherwise.
    int PhotoError() const { return m_photoError; }
    const IRFileParts& Parts() const { return m_parts; }
    const IRScratchFiles& Scratch() const { return m_files; }
    int ExtractionCount() const { return m_extractions; }

    // Opens in the folder of the last infrared file shown, on the file type
    // the settings remember (field.ini [SysSet] FileType, from 1).
    void StartAtRememberedPlace();

    // A dialog for one file (ExistingFile) takes one name: several typed in
    // quotes are refused with kOneFileOnly and the dialog stays open (the
    // file list would otherwise keep only the last of them).
    static const char kOneFileOnly[];
    void accept() override;
    // The names in the file-name field ("a" "b" counts two).
    int TypedNameCount() const;

private:
    void ClearPanel();
    void ShowPreview();

    DocumentEnvironment& m_env;
    IRScratchFiles m_files;
    IRFileParts m_parts;
    QString m_lastPreviewed;
    bool m_lastOpened = false;
    int m_extractions = 0;
    QImage m_preview;
    int m_photoError = 0;
    QLabel* m_picture = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_time = nullptr;
    QLineEdit* m_size = nullptr;
    QPlainTextEdit* m_remark = nullptr;
    QPushButton* m_play = nullptr;
};
