#include "document/view_file_dlg.h"

#include "skin/file_filters.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

const char kIdProperty[] = "controlId";

void SetId(QWidget* w, int id)
{
    w->setProperty(kIdProperty, id);
    w->setObjectName(QString::number(id));
}

} // namespace

// Control 181: the picture stretched into the area without regard to its
// aspect, inside a sunken frame.
class CViewFileDlg::PreviewArea : public QFrame {
public:
    explicit PreviewArea(const platform::CDibImage& picture, QWidget* parent) : QFrame(parent), m_picture(picture)
    {
        setFrameStyle(QFrame::Box | QFrame::Sunken);
        setMinimumSize(200, 160);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QFrame::paintEvent(e);
        if (m_picture.IsEmpty())
            return;
        // The area inside the frame: 1 in on the left, 6 at the top, 2 on
        // the right and at the bottom.
        const QRect r = rect().adjusted(1, 6, -2, -2);
        if (r.width() <= 0 || r.height() <= 0)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(r, m_picture.ToImage());
    }

private:
    const platform::CDibImage& m_picture;
};

CViewFileDlg::CViewFileDlg(bool open, const QString& defaultExt, const QString& fileName, const QString& filter,
                           QWidget* parent)
    : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setDefaultSuffix(defaultExt);
    setWindowTitle(QStringLiteral("Picture select"));
    const QStringList filters = skin::FileDialogFilters(filter);
    if (!filters.isEmpty())
        setNameFilters(filters);
    if (!fileName.isEmpty())
        selectFile(fileName);

    auto* panel = new QWidget(this);
    SetId(panel, kTemplateId);
    m_preview = new PreviewArea(m_picture, panel);
    SetId(m_preview, kPreview);
    auto* group = new QGroupBox(QStringLiteral("图像属性"), panel);
    auto* grid = new QGridLayout(group);
    m_date = new QLabel(group);
    m_time = new QLabel(group);
    m_size = new QLabel(group);
    auto* spareTop = new QLabel(group);    // 183: not written
    auto* spareBottom = new QLabel(group); // 189: not written
    SetId(m_date, kDate);
    SetId(m_time, kTime);
    SetId(m_size, kSize);
    SetId(spareTop, 183);
    SetId(spareBottom, 189);
    grid->addWidget(spareTop, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("采集日期:"), group), 1, 0);
    grid->addWidget(m_date, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("采集时间:"), group), 2, 0);
    grid->addWidget(m_time, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("图像尺寸:"), group), 3, 0);
    grid->addWidget(m_size, 3, 1);
    grid->addWidget(spareBottom, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    // The voice note has no player here.
    auto* play = new QPushButton(QStringLiteral("播放语音"), panel);
    SetId(play, kPlayVoice);
    play->setEnabled(false);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_preview, 1);
    column->addWidget(group);
    column->addWidget(play);
    if (auto* dialogGrid = qobject_cast<QGridLayout*>(layout()))
        dialogGrid->addWidget(panel, 0, dialogGrid->columnCount(), dialogGrid->rowCount(), 1);
    else
        layout()->addWidget(panel);

    connect(this, &QFileDialog::currentChanged, this, &CViewFileDlg::RefreshPreview);
    // A name typed into the file-name box is previewed as well.
    if (auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        connect(nameEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (!text.trimmed().isEmpty())
                RefreshPreview(directory().absoluteFilePath(text.trimmed()));
        });
    }
    resize(900, 520);
}

QString CViewFileDlg::GetPathName() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

QWidget* CViewFileDlg::GetDlgItem(int id) const
{
    for (QWidget* w : findChildren<QWidget*>()) {
        const QVariant v = w->property(kIdProperty);
        if (v.isValid() && v.toInt() == id)
            return w;
    }
    return nullptr;
}

void CViewFileDlg::RefreshPreview(const QString& path)
{
    m_name = path;
    platform::CDibImage loaded;
    if (loaded.Load(path)) {
        m_picture = std::move(loaded);
        m_size->setText(QStringLiteral("%1 * %2").arg(m_picture.GetWidth()).arg(m_picture.GetHeight()));
    } else if (loaded.GetStatus() != platform::CDibImage::kStatusUnknownType &&
               loaded.GetStatus() != platform::CDibImage::kPicErrorRead) {
        // A picture file that does not load: nothing to show.
        m_picture.Free();
    }
    m_preview->update();

    const QFileInfo info(path);
    QFile file(path);
    if (info.isFile() && file.open(QIODevice::ReadOnly)) {
        QDateTime when = info.birthTime();
        if (!when.isValid())
            when = info.lastModified();
        m_date->setText(when.toString(QStringLiteral("yyyy-MM-dd")));
        m_time->setText(when.toString(QStringLiteral("HH:mm:ss")));
    }
}
