// CViewFileDlg: the open dialog through which the user picks a picture, with
// a preview panel (template 152): the picture under the cursor stretched
// into the preview area, its size ("%d * %d") and the date and time of the
// file. The photo object and the template chooser open it.
//
// The preview follows every change of the current file: a recognised
// picture is shown; a name that is no picture (a folder, an unknown file)
// keeps the previous picture; a recognised file that fails to load shows
// none and keeps the size text. The date and time are the file's creation
// time where the file system keeps it, else its modification time.
#pragma once

#include "platform/dib_image.h"

#include <QFileDialog>

class QLabel;
class QPushButton;

class CViewFileDlg : public QFileDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 152;
    // Controls of the preview panel.
    static constexpr int kPreview = 181;
    static constexpr int kPlayVoice = 182;
    static constexpr int kDate = 185;
    static constexpr int kTime = 187;
    static constexpr int kSize = 188;

    // open: an open (else a save) dialog; filter in the "text|patterns|...||"
    // form, patterns separated by ';'.
    CViewFileDlg(bool open, const QString& defaultExt, const QString& fileName, const QString& filter,
                 QWidget* parent = nullptr);

    // The chosen file after OK.
    QString GetPathName() const;
    // The name last read from the dialog.
    const QString& GetLastName() const { return m_name; }
    const platform::CDibImage& PreviewPicture() const { return m_picture; }
    // A control of the preview panel by id.
    QWidget* GetDlgItem(int id) const;

    // Refreshes the preview for the file now under the cursor.
    void RefreshPreview(const QString& path);

private:
    class PreviewArea;

    platform::CDibImage m_picture;
    QString m_name;
    PreviewArea* m_preview;
    QLabel* m_date;
    QLabel* m_time;
    QLabel* m_size;
};
