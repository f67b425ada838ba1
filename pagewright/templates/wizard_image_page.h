// What the two image pages of the report wizard share: the list of images,
// the preview frame (the false-colour image, and in its bottom-right
// quarter the file's own visible photo or the picture chosen for it), the
// image's date, time and size, the voice note, and the choice of the
// infrared file and of a picture.
//
// An infrared file is extracted once per path (and again only when the
// file changes): its parts stay in memory and in a scratch folder of their
// own, so repaints and the voice note never extract again.
#pragma once

#include "report_wizard_dlg.h"

#include "irimage/ir_file_parts.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>

#include <map>
#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The parts of one infrared file.
struct WizardImageParts {
    bool valid = false; // the file was an infrared file
    IRFileParts parts;
    QImage image;       // the false-colour image
    QImage ownPhoto;    // the file's own visible photo (null: none)
    int photoError = 0; // why a photo the file has is null (a PicError; too large beyond the picture bound)
    QDateTime modified;
    QString remark;
    QString voicePath;
    std::unique_ptr<IRScratchFiles> files;
};

class WizardImageCache {
public:
    // The parts of a file that opens for reading (extracted on first use or
    // when the file changed); null when it does not open.
    const WizardImageParts* Get(const QString& path);
    // A picture file, loaded once.
    const QImage& Picture(const QString& path);
    int ExtractionCount() const { return m_extractions; }

private:
    std::map<QString, std::unique_ptr<WizardImageParts>> m_parts;
    std::map<QString, QImage> m_pictures;
    int m_extractions = 0;
};

// Frame 181: the preview.
class CWizardPreviewArea : public QWidget {
public:
    explicit CWizardPreviewArea(QWidget* parent);
    void Show(const QImage* image, const QImage* ownPhoto, const QImage* picture);
    // The area the image is stretched over; the photo's quarter of it.
    QRect ImageArea() const;
    QRect PhotoArea() const;
    QRect PictureArea() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const QImage* m_image = nullptr;
    const QImage* m_ownPhoto = nullptr;
    const QImage* m_picture = nullptr;
};

class CWizardImagePage : public CWizardPage {
    Q_OBJECT
public:
    static constexpr int kList = 491;
    static constexpr int kPreview = 181;
    static constexpr int kPlayVoice = 182;
    static constexpr int kDate = 185;
    static constexpr int kTime = 187;
    static constexpr int kSize = 188;
    static constexpr int kChooseFile = 189;
    static constexpr int kChoosePicture = 190;
    static constexpr int kUsePhoto = 470;

    CWizardImagePage(int templateId, CReportWizardDlg* frame);

    bool m_bUsePhoto = false;

    QListWidget* List() const { return m_list; }
    CWizardPreviewArea* Preview() const { return m_preview; }
    WizardImageCache& Cache() { return m_cache; }
    QString FieldText(int id) const;

    // The selected image's file: choosing it (189), its picture (190), the
    // check (470), the voice note (182).
    void OnChooseFile();
    void OnChoosePicture();
    void OnUsePhoto();
    void OnPlayVoice();
    // Shows the current image (g_strWizardCurIRPath) and its picture, and
    // sets the picture controls, as a repaint does.
    void ShowCurrentImage();

protected:
    // Whether the selected image may get a picture (when its file has no
    // photo of its own).
    virtual bool PictureAllowed(int selection) const = 0;
    // The chosen file is no infrared file: clear the selected entry.
    virtual void ClearInvalidFile() = 0;
    // The file's name in the page's own field (the new-report page).
    virtual void ShowFileName(const QString&) {}
    void ClearFields();

    QListWidget* m_list;
    CWizardPreviewArea* m_preview;
    QLineEdit* m_date;
    QLineEdit* m_time;
    QLineEdit* m_size;
    QPushButton* m_play;
    QPushButton* m_chooseFile;
    QPushButton* m_choosePicture;
    QCheckBox* m_usePhotoCheck;
    WizardImageCache m_cache;
};
