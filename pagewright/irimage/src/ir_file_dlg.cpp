#include "irimage/ir_file_dlg.h"

#include "irimage/ir_strings.h"

#include "document/document_environment.h"

#include "platform/codepage.h"
#include "platform/dialog_folder.h"
#include "platform/dib_image.h"
#include "platform/ini_file.h"
#include "platform/voice_player.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "skin/file_filters.h"

namespace {

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 160;

} // namespace

CIRFileDlg::CIRFileDlg(DocumentEnvironment& env, bool open, const QString& defaultExt, const QString& fileName,
                       const QString& filter, QWidget* parent)
    : QFileDialog(parent), m_env(env), m_files(env)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setDefaultSuffix(defaultExt);
    setNameFilters(skin::FileDialogFilters(filter));
    setWindowTitle(IRString(env, ir_string::kFileDialogTitle));
    setSizeGripEnabled(true);
    if (!fileName.isEmpty())
        selectFile(fileName);

    auto* box = new QGroupBox(QStringLiteral("图像属性"), this);
    auto* grid = new QGridLayout(box);
    m_picture = new QLabel(box);
    m_picture->setObjectName(QStringLiteral("181"));
    m_picture->setFixedSize(kPreviewWidth, kPreviewHeight);
    m_picture->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(m_picture, 0, 0, 1, 4);
    const auto field = [&](int row, const char* label, int id) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), box), row, 0);
        auto* edit = new QLineEdit(box);
        edit->setReadOnly(true);
        edit->setObjectName(QString::number(id));
        grid->addWidget(edit, row, 1);
        return edit;
    };
    m_date = field(1, "采集日期:", kDate);
    m_time = field(2, "采集时间:", kTime);
    m_size = field(3, "图像尺寸:", kSize);
    m_play = new QPushButton(QStringLiteral("播放语音"), box);
    m_play->setObjectName(QStringLiteral("182"));
    m_play->setEnabled(false);
    grid->addWidget(m_play, 1, 2, 1, 2);
    m_remark = new QPlainTextEdit(box);
    m_remark->setReadOnly(true);
    m_remark->setObjectName(QString::number(kRemark));
    m_remark->setMaximumHeight(70);
    grid->addWidget(m_remark, 2, 2, 2, 2);
    // The non-native dialog lays its controls out in a grid: the panel
    // goes below them, across the whole width.
    if (auto* layout = qobject_cast<QGridLayout*>(this->layout()))
        layout->addWidget(box, layout->rowCount(), 0, 1, layout->columnCount());

    connect(m_play, &QPushButton::clicked, this, &CIRFileDlg::OnPlayVoice);
    // The file-name field follows the list's selection only after this
    // notification: the selection is read once the event is done.
    connect(this, &QFileDialog::currentChanged, this,
            [this](const QString&) { QTimer::singleShot(0, this, [this] { PreviewSelection(selectedFiles()); }); });
    ClearPanel();
    resize(900, 720);
}

CIRFileDlg::~CIRFileDlg() = default;

void CIRFileDlg::ClearPanel()
{
    m_play->setEnabled(false);
    m_date->clear();
    m_time->clear();
    m_size->clear();
    m_remark->clear();
    m_photoError = platform::CDibImage::kPicErrorNone;
    m_preview = QImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    m_preview.fill(palette().color(QPalette::Window));
    m_picture->setPixmap(QPixmap::fromImage(m_preview));
}

void CIRFileDlg::PreviewSelection(const QStringList& selected)
{
    if (selected.size() != 1) {
        ClearPanel();
        return;
    }
    const QString path = selected.front();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return;
    m_parts.photo[0] = m_parts.photo[1] = 0;
    if (path != m_lastPreviewed) {
        m_lastPreviewed = path;
        ++m_extractions;
        m_lastOpened = ExtractIRFileParts(m_env, path, m_files, m_parts);
    }
    if (!m_lastOpened) {
        ClearPanel();
        return;
    }
    m_play->setEnabled(m_parts.hasSound != 0);
    const QDateTime modified = info.lastModified();
    m_date->setText(modified.toString(QStringLiteral("yyyy-MM-dd")));
    m_time->setText(modified.toString(QStringLiteral("HH:mm:ss")));
    m_size->setText(QStringLiteral("%1 * %2").arg(m_parts.width).arg(m_parts.height));
    QFile remark(m_files.Remark());
    m_remark->setPlainText(remark.open(QIODevice::ReadOnly) ? platform::fromGbk(remark.readAll()) : QString());
    ShowPreview();
}

void CIRFileDlg::ShowPreview()
{
    m_preview = QImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    m_preview.fill(palette().color(QPalette::Window));
    const QImage image = platform::ReadPictureFile(m_files.IrBmp());
    const QString photoPath = m_parts.photoIsBmp ? m_files.PhotoBmp() : m_files.PhotoJpg();
    // A photo beyond the picture bound is refused by its size (m_photoError)
    // and the image alone is shown.
    m_photoError = platform::CDibImage::kPicErrorNone;
    const QImage photo = m_parts.photo[2] != 0 || QFileInfo::exists(photoPath)
                             ? platform::ReadPictureFile(photoPath, &m_photoError)
                             : QImage();
    QRect area = m_preview.rect();
    QPainter painter(&m_preview);
    const auto drawFitted = [&](const QImage& picture, const QRect& box) {
        if (picture.isNull())
            return;
        const QSize size = picture.size().scaled(box.size(), Qt::KeepAspectRatio);
        const QRect target(box.x() + (box.width() - size.width()) / 2, box.y() + (box.height() - size.height()) / 2,
                           size.width(), size.height());
        painter.drawImage(target, picture);
    };
    if (!photo.isNull()) {
        const QRect left(area.x(), area.y(), area.width() / 2, area.height());
        const QRect right(left.right() + 1, area.y(), area.width() - left.width(), area.height());
        drawFitted(image, left);
        drawFitted(photo, right);
    } else {
        drawFitted(image, area);
    }
    painter.end();
    m_picture->setPixmap(QPixmap::fromImage(m_preview));
}

void CIRFileDlg::OnPlayVoice() { platform::CurrentVoicePlayer().PlayFile(m_files.Voice()); }

QString CIRFileDlg::FieldText(int id) const
{
    switch (id) {
    case kDate: return m_date->text();
    case kTime: return m_time->text();
    case kSize: return m_size->text();
    case kRemark: return m_remark->toPlainText();
    default: return {};
    }
}

bool CIRFileDlg::PlayEnabled() const { return m_play->isEnabled(); }

const char CIRFileDlg::kOneFileOnly[] = "只能打开一个红外图像文件，请只选择一个文件。";

int CIRFileDlg::TypedNameCount() const
{
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString text = edit != nullptr ? edit->text() : QString();
    if (!text.contains(QLatin1Char('"')))
        return text.trimmed().isEmpty() ? 0 : 1;
    // As the dialog reads them: every second piece between quotes.
    const QStringList pieces = text.split(QLatin1Char('"'));
    int names = 0;
    for (qsizetype i = 1; i < pieces.size(); i += 2)
        names += pieces[i].trimmed().isEmpty() ? 0 : 1;
    return names;
}

void CIRFileDlg::accept()
{
    if (fileMode() == QFileDialog::ExistingFile && TypedNameCount() > 1) {
        m_env.MessageBox(QString::fromUtf8(kOneFileOnly), DocumentEnvironment::kIconInformation, 0);
        return;
    }
    QFileDialog::accept();
}

void CIRFileDlg::StartAtRememberedPlace()
{
    setDirectory(platform::ProposedFolder(m_env.PicPath()));
    platform::IniFile ini(m_env.FindProgramFile(QStringLiteral("field.ini")));
    const QStringList filters = nameFilters();
    const int fileType = ini.readInt(u"SysSet", u"FileType", 1);
    if (fileType >= 1 && fileType <= filters.size())
        selectNameFilter(filters[fileType - 1]);
}
