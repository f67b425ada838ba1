#include "wizard_template_pages.h"

#include "layout_file.h"
#include "resource_ids.h"
#include "wizard_dialogs.h"
#include "wizard_state.h"

#include "skin/edit_list_ctrl.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace {

// At most this many image and text objects are offered.
constexpr int kMaxObjects = 10000;

QLabel* Label(QWidget* parent, const char* text, int x, int y, int cx, int cy = 10)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    PlaceInDialogUnits(label, x, y, cx, cy);
    return label;
}

LayoutFile CurrentLayout() { return LayoutFile::Load(TheWizardState().strTemplateIniPath); }

QString CellText(const QTableWidget& list, int row, int column)
{
    const QTableWidgetItem* item = list.item(row, column);
    return item != nullptr ? item->text() : QString();
}

} // namespace

// ---- images

CWizardIRPage::CWizardIRPage(CReportWizardDlg* frame) : CWizardImagePage(res::IDD_WIZARD_IR, frame)
{
    TheWizardState().strWizardCurPhotoPath.clear();
    PlaceInDialogUnits(m_list, 7, 7, 80, 110);
    PlaceInDialogUnits(m_preview, 93, 3, 130, 114);
    auto* group = new QGroupBox(QStringLiteral("图像属性"), this);
    PlaceInDialogUnits(group, 230, 3, 110, 66);
    group->lower();
    Label(this, "采集日期:", 236, 18, 40);
    Label(this, "采集时间:", 236, 34, 40);
    Label(this, "图像尺寸:", 236, 50, 40);
    PlaceInDialogUnits(m_date, 276, 16, 60, 12);
    PlaceInDialogUnits(m_time, 276, 32, 60, 12);
    PlaceInDialogUnits(m_size, 276, 48, 60, 12);
    PlaceInDialogUnits(m_play, 230, 74, 60, 14);
    Label(this, "红外对象所属页：", 230, 96, 70);
    m_inPage = new QLabel(QStringLiteral("1"), this);
    SetControlId(m_inPage, kInPage);
    PlaceInDialogUnits(m_inPage, 300, 96, 30, 10);
    Label(this, "选择红外图像：", 7, 126, 62);
    PlaceInDialogUnits(m_chooseFile, 68, 124, 20, 13);
    Label(this, "选择可见光图像：", 96, 126, 70);
    PlaceInDialogUnits(m_choosePicture, 164, 124, 20, 13);
    m_usePhotoCheck->setText(QStringLiteral("选择可见光"));
    PlaceInDialogUnits(m_usePhotoCheck, 190, 126, 60, 10);
    auto* remove = new QPushButton(QStringLiteral("删除图片"), this);
    SetControlId(remove, kRemove);
    PlaceInDialogUnits(remove, 280, 123, 56, 14);
    connect(remove, &QPushButton::clicked, this, &CWizardIRPage::OnRemove);
    connect(m_list, &QListWidget::currentRowChanged, this, &CWizardIRPage::OnSelectionChange);
}

bool CWizardIRPage::OnInitDialog()
{
    CWizardImagePage::OnInitDialog();
    WizardState& state = TheWizardState();
    state.strWizardCurIRPath.clear();
    m_layout = CurrentLayout();
    const int n = std::clamp(m_layout.ObjCount(kLayoutIR), 0, kMaxObjects);
    state.astrWizardIRPaths = QStringList(n);
    state.astrWizardPhotoPaths = QStringList(n);
    state.abWizardUsePhoto.assign(std::size_t(n), false);
    m_list->blockSignals(true);
    m_list->clear();
    for (int i = 1; i <= n; ++i)
        m_list->addItem(WizardString(res::IDS_WIZARD_IMAGE_ITEM, i));
    m_list->setCurrentRow(0);
    m_list->blockSignals(false);
    m_choosePicture->setEnabled(false);
    if (n > 0) {
        m_inPage->setText(QString::number(m_layout.Int(u"DrawIR", LayoutKey(1, "InPage"), 0) + 1));
    } else {
        m_inPage->clear();
        m_chooseFile->setEnabled(false);
    }
    ShowCurrentImage();
    return true;
}

bool CWizardIRPage::DoDataExchange(bool save)
{
    if (save)
        m_bUsePhoto = m_usePhotoCheck->isChecked();
    else
        m_usePhotoCheck->setChecked(m_bUsePhoto);
    return true;
}

bool CWizardIRPage::PictureAllowed(int selection) const
{
    return selection >= 0 && LayoutPhotoOfImage(m_layout, selection + 1) > 0;
}

void CWizardIRPage::OnSelectionChange()
{
    const int selection = m_list->currentRow();
    if (selection < 0)
        return;
    WizardState& state = TheWizardState();
    state.strWizardCurIRPath = WizardState::At(state.astrWizardIRPaths, selection);
    state.strWizardCurPhotoPath = WizardState::At(state.astrWizardPhotoPaths, selection);
    m_bUsePhoto = state.UsePhoto(selection);
    m_inPage->setText(QString::number(m_layout.Int(u"DrawIR", LayoutKey(selection + 1, "InPage"), 0) + 1));
    UpdateData(false);
    ShowCurrentImage();
}

void CWizardIRPage::OnRemove()
{
    const int selection = m_list->currentRow();
    if (selection < 0)
        return;
    WizardState& state = TheWizardState();
    WizardState::Set(state.astrWizardIRPaths, selection, QString());
    WizardState::Set(state.astrWizardPhotoPaths, selection, QString());
    state.strWizardCurIRPath.clear();
    state.strWizardCurPhotoPath.clear();
    state.SetUsePhoto(selection, false);
    m_bUsePhoto = false;
    UpdateData(false);
    ShowCurrentImage();
}

// ---- texts

CWizardTextPage::CWizardTextPage(CReportWizardDlg* frame) : CWizardPage(res::IDD_WIZARD_TEXT, frame)
{
    Label(this, "请输入报表名：", 7, 9, 62);
    m_name = new QLineEdit(this);
    SetControlId(m_name, kReportName);
    PlaceInDialogUnits(m_name, 70, 7, 150, 13);
    m_list = new CEditListCtrl(this);
    SetControlId(m_list, kList);
    PlaceInDialogUnits(m_list, 7, 26, 331, 124);
    m_list->setShowGrid(true);
    connect(m_list, &QTableWidget::itemChanged, this, &CWizardTextPage::CopyRows);
}

bool CWizardTextPage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    const LayoutFile layout = CurrentLayout();
    const int n = std::clamp(layout.ObjCount(kLayoutText), 0, kMaxObjects);
    WizardState& state = TheWizardState();
    state.astrWizardTexts = QStringList(n);
    m_list->blockSignals(true);
    m_list->clear();
    m_list->setColumnCount(1);
    m_list->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("TEXT")));
    m_list->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->setColumnWidth(0, 500);
    m_list->setRowCount(n);
    for (int i = 1; i <= n; ++i) {
        const QString text = layout.TextContent(i);
        m_list->setItem(i - 1, 0, new QTableWidgetItem(text));
        state.astrWizardTexts[i - 1] = text;
    }
    m_list->blockSignals(false);
    return true;
}

bool CWizardTextPage::DoDataExchange(bool save)
{
    if (save)
        m_strReportName = m_name->text();
    else
        m_name->setText(m_strReportName);
    return true;
}

void CWizardTextPage::CopyRows()
{
    WizardState& state = TheWizardState();
    for (int row = 0; row < m_list->rowCount(); ++row)
        WizardState::Set(state.astrWizardTexts, row, CellText(*m_list, row, 0));
}

// ---- tables

CWizardTablePage::CWizardTablePage(CReportWizardDlg* frame) : CWizardPage(res::IDD_WIZARD_TABLE, frame)
{
    m_list = new CEditListCtrl(this);
    SetControlId(m_list, kList);
    PlaceInDialogUnits(m_list, 7, 7, 331, 143);
    m_list->setShowGrid(true);
    m_list->horizontalHeader()->hide();
    connect(m_list, &QTableWidget::itemChanged, this, &CWizardTablePage::CopyCells);
    connect(m_list, &CEditListCtrl::cellEdited, this, [](int row, int column, const QString& text) {
        WizardState& state = TheWizardState();
        if (row >= 0 && row < state.nWizardTableRows && column >= 0 && column < state.nWizardTableCols)
            state.SetCell(row, column, text);
    });
}

bool CWizardTablePage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    const LayoutFile layout = CurrentLayout();
    WizardState& state = TheWizardState();
    const int tables = std::clamp(layout.ObjCount(kLayoutTable), 0, kMaxObjects);
    state.nWizardTableRows = 0;
    state.nWizardTableCols = 0;
    for (int t = 1; t <= tables; ++t)
        state.nWizardTableCols = std::max(state.nWizardTableCols, std::min(layout.Int(u"DrawTable", LayoutKey(t, "Col"), 0), kMaxColumns));

    m_list->blockSignals(true);
    m_list->clear();
    m_list->setRowCount(0);
    m_list->setColumnCount(state.nWizardTableCols);
    // Without columns there is nothing to size (and no width to share).
    for (int c = 0; c < state.nWizardTableCols; ++c)
        m_list->setColumnWidth(c, kListWidth / state.nWizardTableCols);
    // Each table inserts its rows from the top: the last table comes first.
    for (int t = 1; t <= tables; ++t) {
        const int rows = layout.Int(u"DrawTable", LayoutKey(t, "Row"), 0);
        for (int r = 0; r < rows && state.nWizardTableRows < kMaxRows; ++r) {
            if (state.nWizardTableCols > 0)
                m_list->insertRow(r);
            for (int c = 0; c < state.nWizardTableCols; ++c)
                m_list->setItem(r, c, new QTableWidgetItem(layout.CellContent(t, r, c).value_or(QStringLiteral("--"))));
            ++state.nWizardTableRows;
        }
    }
    m_list->blockSignals(false);
    state.aastrWizardCells.assign(std::size_t(state.nWizardTableRows), QStringList(state.nWizardTableCols));
    CopyCells();
    return true;
}

void CWizardTablePage::CopyCells()
{
    WizardState& state = TheWizardState();
    const int rows = std::min(m_list->rowCount(), state.nWizardTableRows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < state.nWizardTableCols; ++c)
            state.SetCell(r, c, CellText(*m_list, r, c));
    }
}
