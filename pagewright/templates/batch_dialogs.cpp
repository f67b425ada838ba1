#include "batch_dialogs.h"

#include "resource_ids.h"
#include "rpt_app.h"
#include "string_table.h"

#include "irimage/ir_file_dlg.h"
#include "platform/dialog_folder.h"
#include "platform/ini_file.h"
#include "platform/settings.h"
#include "skin/file_filters.h"
#include "skin/message_box.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const char* const kBatchFileFilter = kIRFileFilter;
const char* const kTemplateFilter = "report template (*.rpm)";

namespace {

BatchChoosers SystemChoosers()
{
    BatchChoosers c;
    c.openFiles = [](QWidget* parent, const QString& filter, int& filterIndex, const QString& folder) {
        const QStringList filters = skin::FileDialogFilters(filter);
        QFileDialog dlg(parent, QString(), folder);
        dlg.setNameFilters(filters);
        dlg.setFileMode(QFileDialog::ExistingFiles);
        dlg.setOption(QFileDialog::ReadOnly, false);
        if (filterIndex >= 1 && filterIndex <= filters.size())
            dlg.selectNameFilter(filters[filterIndex - 1]);
        if (dlg.exec() != QDialog::Accepted)
            return QStringList();
        filterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
        if (filterIndex < 1)
            filterIndex = 1;
        return dlg.selectedFiles();
    };
    c.chooseFolder = [](QWidget* parent, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
    };
    c.openTemplate = [](QWidget* parent, const QString& filter, const QString& folder) {
        return QFileDialog::getOpenFileName(parent, QString(), folder, skin::FileDialogFilter(filter));
    };
    return c;
}

// A control's id, as CDialog::GetDlgItem finds it.
void Tag(QWidget* control, int id)
{
    control->setProperty("controlId", id);
    control->setObjectName(QString::number(id));
}

QButtonGroup* RadioGroup(QWidget* owner, QGroupBox* box, const char* first, const char* second)
{
    auto* group = new QButtonGroup(owner);
    auto* layout = new QVBoxLayout(box);
    int id = res::IDC_BATCH_FIRST;
    for (const char* text : {first, second}) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), box);
        Tag(radio, id);
        group->addButton(radio);
        layout->addWidget(radio);
        ++id;
    }
    return group;
}

// The button row of the later dialogs: Back, then Next or OK, then Cancel.
QHBoxLayout* BackNextCancel(CDialog* dlg, QPushButton*& back, QPushButton*& next, const char* nextText,
                            QPushButton*& cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    back = new QPushButton(QStringLiteral("上一步"), dlg);
    next = new QPushButton(QString::fromUtf8(nextText), dlg);
    cancel = new QPushButton(QStringLiteral("取消"), dlg);
    next->setDefault(true);
    Tag(back, res::IDC_BATCH_BACK);
    Tag(next, CDialog::kIdOk);
    Tag(cancel, CDialog::kIdCancel);
    row->addWidget(back);
    row->addWidget(next);
    row->addWidget(cancel);
    QObject::connect(next, &QPushButton::clicked, dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    return row;
}

QPushButton* Button(QWidget* owner, int id, const char* text)
{
    auto* b = new QPushButton(QString::fromUtf8(text), owner);
    Tag(b, id);
    return b;
}

} // namespace

BatchChoosers& BatchFileChoosers()
{
    static BatchChoosers choosers = SystemChoosers();
    return choosers;
}

// ---- type

CBatchTypeDlg::CBatchTypeDlg(QWidget* parent) : CDialog(res::IDD_BATCH_TYPE, parent)
{
    setWindowTitle(QStringLiteral("选择类型"));
    auto* box = new QGroupBox(QStringLiteral("批处理类型"), this);
    m_group = RadioGroup(this, box, "生成报表", "生成图片");
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = buttons->addButton(QStringLiteral("下一步"), QDialogButtonBox::AcceptRole);
    next->setDefault(true);
    SetControlId(next, kIdOk);
    SetControlId(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole), kIdCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(buttons);
}

bool CBatchTypeDlg::DoDataExchange(bool save)
{
    if (save)
        m_type = RadioValue(m_group);
    else
        SetRadioValue(m_group, m_type);
    return true;
}

// ---- files and folder

CBatchSettingDlg::CBatchSettingDlg(QWidget* parent) : CDialog(res::IDD_BATCH_SETTING, parent)
{
    setWindowTitle(QStringLiteral("批处理设置..."));
    auto* box = new QGroupBox(QStringLiteral("选择图片"), this);
    m_list = new QListWidget(box);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetControlId(m_list, res::IDC_BATCH_LIST);
    QPushButton* select = Button(box, res::IDC_BATCH_SELECT, "选择");
    QPushButton* remove = Button(box, res::IDC_BATCH_DELETE, "删除");
    auto* side = new QVBoxLayout;
    side->addWidget(select);
    side->addWidget(remove);
    side->addStretch();
    auto* boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(m_list, 1);
    boxLayout->addLayout(side);

    m_folderEdit = new QLineEdit(this);
    SetControlId(m_folderEdit, res::IDC_BATCH_FOLDER);
    QPushButton* savePath = Button(this, res::IDC_BATCH_SAVE_PATH, "存储路径");
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(savePath);

    QPushButton *back, *next, *cancel;
    auto* buttons = BackNextCancel(this, back, next, "下一步", cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box, 1);
    layout->addLayout(folderRow);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(select, &QPushButton::clicked, this, &CBatchSettingDlg::OnSelect);
    connect(remove, &QPushButton::clicked, this, &CBatchSettingDlg::OnDelete);
    connect(savePath, &QPushButton::clicked, this, &CBatchSettingDlg::OnSavePath);
    connect(back, &QPushButton::clicked, this, &CBatchSettingDlg::OnBack);
}

bool CBatchSettingDlg::OnInitDialog()
{
    m_list->clear();
    if (m_files != nullptr)
        m_list->addItems(*m_files);
    UpdateNext();
    return CDialog::OnInitDialog();
}

bool CBatchSettingDlg::DoDataExchange(bool save)
{
    if (save)
        m_folder = m_folderEdit->text();
    else
        m_folderEdit->setText(m_folder);
    return true;
}

void CBatchSettingDlg::UpdateNext()
{
    if (QWidget* next = GetDlgItem(kIdOk))
        next->setEnabled(m_list->count() > 0);
}

void CBatchSettingDlg::OnSelect()
{
    CDI_RptApp& app = theApp();
    platform::IniFile ini(app.FieldIniPath());
    int filterIndex = ini.readInt(u"SysSet", u"FileType", 1);
    const QStringList chosen =
        BatchFileChoosers().openFiles(this, QString::fromUtf8(kBatchFileFilter), filterIndex,
                                      platform::ProposedFolder(app.m_picPath));
    if (chosen.isEmpty())
        return;
    ini.writeString(u"SysSet", u"FileType", QString::asprintf("%d", filterIndex));
    m_list->addItems(chosen); // the same file twice is listed twice
    // The last file added: the next selection opens beside it.
    app.m_picPath = chosen.last();
    app.GetSettings().writeString(QStringLiteral("PicPath"), QStringLiteral("PicPath"), app.m_picPath);
    UpdateNext();
}

void CBatchSettingDlg::OnDelete()
{
    QList<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows)
        delete m_list->takeItem(row);
    UpdateNext();
}

void CBatchSettingDlg::OnSavePath()
{
    CDI_RptApp& app = theApp();
    const QString folder = BatchFileChoosers().chooseFolder(
        this, LoadStringRes(res::IDS_CHOOSE_SAVE_PATH), platform::ProposedFolder(app.m_savePath, platform::FolderUse::Write));
    if (folder.isEmpty())
        return;
    m_folderEdit->setText(QDir::toNativeSeparators(folder));
    DoDataExchange(true);
    app.m_savePath = m_folder;
    app.GetSettings().writeString(QStringLiteral("SavePath"), QStringLiteral("SavePath"), app.m_savePath);
}

void CBatchSettingDlg::OnOK()
{
    DoDataExchange(true);
    // Nothing is written to a folder that is not there.
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir()) {
        AfxMessageBox(res::IDS_BATCH_NO_FOLDER, MB_ICONEXCLAMATION);
        return;
    }
    if (m_files != nullptr) {
        m_files->clear();
        for (int i = 0; i < m_list->count(); ++i)
            *m_files << m_list->item(i)->text();
    }
    m_next = 1;
    CDialog::OnOK();
}

void CBatchSettingDlg::OnBack()
{
    m_next = 0;
    CDialog::OnOK();
}

// ---- pictures

void PaintPalettePreview(QPainter& painter, const QRect& area, const std::uint8_t* palette, int index)
{
    if (palette == nullptr || index < 0 || index > 15)
        return;
    const int height = area.height();
    for (int i = 1; i <= 255; ++i) {
        const std::uint8_t* entry = palette + 4 * (255 - i);
        painter.setPen(QColor(entry[2], entry[1], entry[0]));
        const int y = area.top() + i * height / 256;
        painter.drawLine(area.left(), y, area.right(), y);
    }
}

PalettePreview::PalettePreview(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(40, 128);
}

void PalettePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const CDI_RptApp* app = theAppOrNull();
    if (app == nullptr)
        return;
    PaintPalettePreview(painter, rect(), app->GetPalette(m_index), m_index);
}

CBatchPicSetDlg::CBatchPicSetDlg(QWidget* parent) : CDialog(res::IDD_BATCH_PICTURE, parent)
{
    setWindowTitle(QStringLiteral("设置图片批处理"));
    auto* kind = new QGroupBox(QStringLiteral("转换类型"), this);
    m_group = RadioGroup(this, kind, "带色标", "不带色标");
    auto* barBox = new QGroupBox(QStringLiteral("色标类型"), this);
    m_combo = new QComboBox(barBox);
    SetControlId(m_combo, res::IDC_BATCH_PALETTE);
    m_preview = new PalettePreview(barBox);
    SetControlId(m_preview, res::IDC_PALETTE_PREVIEW);
    auto* barLayout = new QHBoxLayout(barBox);
    barLayout->addWidget(m_combo, 1, Qt::AlignTop);
    barLayout->addWidget(m_preview);
    if (const CDI_RptApp* app = theAppOrNull()) {
        for (int i = 0; i < app->GetPaletteCount() && i < app->m_paletteNames.size(); ++i)
            m_combo->addItem(app->m_paletteNames[i]);
    }
    if (m_combo->count() > 0)
        m_combo->setCurrentIndex(0);
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_preview->m_index = index;
        m_preview->update();
    });

    QPushButton *back, *ok, *cancel;
    auto* buttons = BackNextCancel(this, back, ok, "确定", cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addWidget(barBox, 1);
    layout->addLayout(buttons);
    connect(back, &QPushButton::clicked, this, &CBatchPicSetDlg::OnBack);
}

bool CBatchPicSetDlg::DoDataExchange(bool save)
{
    if (save)
        m_barChoice = RadioValue(m_group);
    else
        SetRadioValue(m_group, m_barChoice);
    return true;
}

void CBatchPicSetDlg::OnOK()
{
    m_palette = m_combo->currentIndex();
    m_next = 1;
    CDialog::OnOK();
}

void CBatchPicSetDlg::OnBack()
{
    m_next = 0;
    CDialog::OnOK();
}

// ---- template

CTemplatePathDlg::CTemplatePathDlg(QWidget* parent) : CDialog(res::IDD_TEMPLATE_PATH, parent)
{
    setWindowTitle(QStringLiteral("选择模板路径"));
    auto* box = new QGroupBox(QStringLiteral("模板"), this);
    m_edit = new QLineEdit(box);
    SetControlId(m_edit, res::IDC_TEMPLATE_PATH);
    QPushButton* choose = Button(box, res::IDC_CHOOSE_TEMPLATE, "选择模板");
    auto* row = new QHBoxLayout(box);
    row->addWidget(m_edit, 1);
    row->addWidget(choose);
    QPushButton *back, *ok, *cancel;
    auto* buttons = BackNextCancel(this, back, ok, "确定", cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);
    resize(480, 140);
    connect(choose, &QPushButton::clicked, this, &CTemplatePathDlg::OnChoose);
    connect(back, &QPushButton::clicked, this, &CTemplatePathDlg::OnBack);
}

bool CTemplatePathDlg::DoDataExchange(bool save)
{
    if (save)
        m_path = m_edit->text();
    else
        m_edit->setText(m_path);
    return true;
}

void CTemplatePathDlg::OnChoose()
{
    CDI_RptApp& app = theApp();
    const QString path =
        BatchFileChoosers().openTemplate(this, QString::fromUtf8(kTemplateFilter),
                                         platform::ProposedFolder(app.m_templatePath, platform::FolderUse::Read,
                                                                  app.GetAppDirectory() + QStringLiteral("/template")));
    if (path.isEmpty())
        return;
    m_edit->setText(QDir::toNativeSeparators(path));
    app.m_templatePath = path;
    app.GetSettings().writeString(QStringLiteral("TemplatePath"), QStringLiteral("TemplatePath"),
                                  app.m_templatePath);
}

void CTemplatePathDlg::OnOK()
{
    DoDataExchange(true);
    if (!QFileInfo(m_path).isFile()) {
        AfxMessageBox(res::IDS_TEMPLATE_NOT_FOUND, MB_ICONEXCLAMATION);
        return;
    }
    m_next = 1;
    CDialog::OnOK();
}

void CTemplatePathDlg::OnBack()
{
    m_next = 0;
    CDialog::OnOK();
}
