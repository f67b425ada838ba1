#include "wizard_image_page.h"

#include "resource_ids.h"
#include "wizard_dialogs.h"
#include "wizard_state.h"

#include "platform/codepage.h"
#include "platform/dib_image.h"
#include "platform/voice_player.h"
#include "skin/message_box.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

// ---- cache

const WizardImageParts* WizardImageCache::Get(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    const QDateTime modified = QFileInfo(file).lastModified();
    file.close();
    std::unique_ptr<WizardImageParts>& entry = m_parts[path];
    if (entry && entry->modified == modified)
        return entry.get();
    entry = std::make_unique<WizardImageParts>();
    entry->modified = modified;
    entry->files = std::make_unique<IRScratchFiles>(WizardEnvironment());
    ++m_extractions;
    if (!entry->files->IsValid() || !ExtractIRFileParts(WizardEnvironment(), path, *entry->files, entry->parts))
        return entry.get();
    entry->valid = true;
    entry->image = platform::ReadPictureFile(entry->files->IrBmp());
    if (entry->parts.photo[2] != 0)
        entry->ownPhoto = platform::ReadPictureFile(entry->parts.photoIsBmp ? entry->files->PhotoBmp() : entry->files->PhotoJpg(),
                                                    &entry->photoError);
    if (entry->parts.hasRemark) {
        QFile remark(entry->files->Remark());
        if (remark.open(QIODevice::ReadOnly | QIODevice::Text))
            entry->remark = platform::fromGbk(remark.readAll());
    }
    if (entry->parts.hasSound)
        entry->voicePath = entry->files->Voice();
    return entry.get();
}

const QImage& WizardImageCache::Picture(const QString& path)
{
    auto it = m_pictures.find(path);
    if (it == m_pictures.end())
        it = m_pictures.emplace(path, platform::ReadPictureFile(path)).first;
    return it->second;
}

// ---- preview

CWizardPreviewArea::CWizardPreviewArea(QWidget* parent) : QWidget(parent) {}

void CWizardPreviewArea::Show(const QImage* image, const QImage* ownPhoto, const QImage* picture)
{
    m_image = image;
    m_ownPhoto = ownPhoto;
    m_picture = picture;
    update();
}

QRect CWizardPreviewArea::ImageArea() const { return rect().adjusted(1, 8, -2, -2); }

QRect CWizardPreviewArea::PhotoArea() const
{
    const QRect a = ImageArea();
    return a.adjusted(a.width() / 2, a.height() / 2, 0, 0);
}

QRect CWizardPreviewArea::PictureArea() const
{
    const QRect a = rect().adjusted(1, 6, -2, -2);
    return a.adjusted(a.width() / 2, a.height() / 2, 0, 0);
}

void CWizardPreviewArea::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_image != nullptr && !m_image->isNull())
        p.drawImage(ImageArea(), *m_image);
    if (m_ownPhoto != nullptr && !m_ownPhoto->isNull())
        p.drawImage(PhotoArea(), *m_ownPhoto);
    else if (m_picture != nullptr && !m_picture->isNull())
        p.drawImage(PictureArea(), *m_picture);
}

// ---- page

namespace {

QLineEdit* ReadOnlyField(QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

} // namespace

CWizardImagePage::CWizardImagePage(int templateId, CReportWizardDlg* frame) : CWizardPage(templateId, frame)
{
    m_list = new QListWidget(this);
    SetControlId(m_list, kList);
    m_preview = new CWizardPreviewArea(this);
    SetControlId(m_preview, kPreview);
    m_date = ReadOnlyField(this);
    SetControlId(m_date, kDate);
    m_time = ReadOnlyField(this);
    SetControlId(m_time, kTime);
    m_size = ReadOnlyField(this);
    SetControlId(m_size, kSize);
    m_play = new QPushButton(QStringLiteral("播放语音"), this);
    SetControlId(m_play, kPlayVoice);
    m_play->setEnabled(false);
    m_chooseFile = new QPushButton(QStringLiteral("..."), this);
    SetControlId(m_chooseFile, kChooseFile);
    m_choosePicture = new QPushButton(QStringLiteral("..."), this);
    SetControlId(m_choosePicture, kChoosePicture);
    m_usePhotoCheck = new QCheckBox(this);
    SetControlId(m_usePhotoCheck, kUsePhoto);
    connect(m_chooseFile, &QPushButton::clicked, this, &CWizardImagePage::OnChooseFile);
    connect(m_choosePicture, &QPushButton::clicked, this, &CWizardImagePage::OnChoosePicture);
    connect(m_usePhotoCheck, &QCheckBox::clicked, this, &CWizardImagePage::OnUsePhoto);
    connect(m_play, &QPushButton::clicked, this, &CWizardImagePage::OnPlayVoice);
}

QString CWizardImagePage::FieldText(int id) const
{
    switch (id) {
    case kDate: return m_date->text();
    case kTime: return m_time->text();
    case kSize: return m_size->text();
    default: return {};
    }
}

void CWizardImagePage::ClearFields()
{
    m_play->setEnabled(false);
    m_date->clear();
    m_time->clear();
    m_size->clear();
}

void CWizardImagePage::ShowCurrentImage()
{
    WizardState& state = TheWizardState();
    const WizardImageParts* parts = m_cache.Get(state.strWizardCurIRPath);
    if (parts == nullptr) {
        ClearFields();
        m_bUsePhoto = false;
        m_usePhotoCheck->setChecked(false);
        m_usePhotoCheck->setEnabled(false);
        m_choosePicture->setEnabled(false);
        m_preview->Show(nullptr, nullptr, nullptr);
        return;
    }
    if (!parts->valid) {
        m_preview->Show(nullptr, nullptr, nullptr);
        return;
    }
    m_play->setEnabled(parts->parts.hasSound != 0);
    m_date->setText(parts->modified.toString(QStringLiteral("yyyy-MM-dd")));
    m_time->setText(parts->modified.toString(QStringLiteral("HH:mm:ss")));
    m_size->setText(QStringLiteral("%1 * %2").arg(parts->parts.width).arg(parts->parts.height));
    if (!parts->remark.isEmpty())
        m_chooseFile->setText(parts->remark);
    const QImage* picture = nullptr;
    if (!parts->ownPhoto.isNull()) {
        m_usePhotoCheck->setEnabled(false);
        m_choosePicture->setEnabled(false);
    } else if (PictureAllowed(m_list->currentRow())) {
        m_usePhotoCheck->setEnabled(true);
        m_choosePicture->setEnabled(m_bUsePhoto);
        if (m_bUsePhoto && !state.strWizardCurPhotoPath.isEmpty())
            picture = &m_cache.Picture(state.strWizardCurPhotoPath);
    } else {
        m_usePhotoCheck->setEnabled(false);
        m_choosePicture->setEnabled(false);
    }
    m_preview->Show(&parts->image, parts->ownPhoto.isNull() ? nullptr : &parts->ownPhoto, picture);
}

void CWizardImagePage::OnChooseFile()
{
    const int selection = m_list->currentRow();
    if (selection < 0)
        return;
    const QStringList chosen = TheWizardChoosers().infraredFiles(this, false);
    const QString path = chosen.isEmpty() ? QString() : chosen.first();
    if (path.isEmpty())
        return;
    WizardState& state = TheWizardState();
    state.strWizardCurIRPath = path;
    WizardState::Set(state.astrWizardIRPaths, selection, path);
    ShowFileName(QFileInfo(path).fileName());
    const WizardImageParts* parts = m_cache.Get(path);
    if (parts == nullptr) {
        ShowCurrentImage();
        return;
    }
    if (!parts->valid) {
        AfxMessageBox(res::IDS_WIZARD_BAD_IR_FILE);
        ClearFields();
        m_bUsePhoto = false;
        m_usePhotoCheck->setChecked(false);
        m_usePhotoCheck->setEnabled(false);
        m_choosePicture->setEnabled(false);
        ClearInvalidFile();
        return;
    }
    ShowCurrentImage();
}

void CWizardImagePage::OnChoosePicture()
{
    const int selection = m_list->currentRow();
    const QString path = TheWizardChoosers().picture(this);
    if (path.isEmpty())
        return;
    WizardState& state = TheWizardState();
    state.strWizardCurPhotoPath = path;
    if (selection >= 0)
        WizardState::Set(state.astrWizardPhotoPaths, selection, path);
    ShowCurrentImage();
}

void CWizardImagePage::OnUsePhoto()
{
    m_bUsePhoto = m_usePhotoCheck->isChecked();
    m_choosePicture->setEnabled(m_bUsePhoto);
    const int selection = m_list->currentRow();
    if (selection >= 0)
        TheWizardState().SetUsePhoto(selection, m_bUsePhoto);
    ShowCurrentImage();
}

void CWizardImagePage::OnPlayVoice()
{
    const WizardImageParts* parts = m_cache.Get(TheWizardState().strWizardCurIRPath);
    if (parts != nullptr && !parts->voicePath.isEmpty())
        platform::CurrentVoicePlayer().PlayFile(parts->voicePath);
}
