#include "wizard_new_report_pages.h"

#include "resource_ids.h"
#include "wizard_dialogs.h"
#include "wizard_state.h"

#include "skin/edit_list_ctrl.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

namespace {

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int cx, int cy = 10)
{
    auto* label = new QLabel(text, parent);
    PlaceInDialogUnits(label, x, y, cx, cy);
    return label;
}

QPushButton* Button(QWidget* parent, int id, const QString& text, int x, int y, int cx, int cy = 14)
{
    auto* button = new QPushButton(text, parent);
    SetDialogControlId(button, id);
    PlaceInDialogUnits(button, x, y, cx, cy);
    return button;
}

QLineEdit* Edit(QWidget* parent, int id, int x, int y, int cx)
{
    auto* edit = new QLineEdit(parent);
    SetDialogControlId(edit, id);
    PlaceInDialogUnits(edit, x, y, cx, 13);
    return edit;
}

// The six per-image lists of the new-report wizard.
template <class F>
void ForEachImageList(WizardState& s, F f)
{
    for (QStringList* list : {&s.astrWizardIRPaths, &s.astrWizardPhotoPaths, &s.astrWizardPageTitles,
                              &s.astrWizardSections, &s.astrWizardDeviceNames})
        f(*list);
}

} // namespace

// ---- report information

CWizardReportInfoPage::CWizardReportInfoPage(CReportWizardDlg* frame)
    : CWizardPage(res::IDD_WIZARD_REPORT_INFO, frame), m_strFileName(WizardString(res::IDS_REPORT_NAME))
{
    constexpr int ids[] = {510, 509, 508, 507};
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = Label(this, QString(), 10, 9 + 18 * i, 58);
        SetControlId(m_labels[i], ids[i]);
    }
    m_fileName = Edit(this, kFileName, 70, 7, 180);
    m_title = Edit(this, kTitle, 70, 25, 180);
    m_company = Edit(this, kCompany, 70, 43, 180);
    m_description = new QPlainTextEdit(this);
    SetControlId(m_description, kDescription);
    PlaceInDialogUnits(m_description, 70, 61, 265, 86);
    m_hiddenList = new CEditListCtrl(this);
    SetControlId(m_hiddenList, kHiddenList);
    m_hiddenList->hide();
}

bool CWizardReportInfoPage::OnInitDialog()
{
    // A list nobody reads, kept as the page always had it.
    m_hiddenList->setShowGrid(true);
    m_hiddenList->setColumnCount(2);
    m_hiddenList->setColumnWidth(0, 250);
    m_hiddenList->setColumnWidth(1, 250);
    const std::pair<int, int> rows[] = {{res::IDS_WIZARD_REPORT_TITLE, res::IDS_WIZARD_ENTER_TITLE},
                                        {res::IDS_WIZARD_COMPANY, res::IDS_WIZARD_ENTER_COMPANY},
                                        {res::IDS_WIZARD_ENTER_TITLE, 0}};
    m_hiddenList->setRowCount(3);
    for (int r = 0; r < 3; ++r) {
        m_hiddenList->setItem(r, 0, new QTableWidgetItem(WizardString(rows[r].first)));
        m_hiddenList->setItem(r, 1, new QTableWidgetItem(rows[r].second != 0 ? WizardString(rows[r].second) : QString()));
    }
    m_strTitle = WizardString(res::IDS_WIZARD_ENTER_TITLE);
    m_strCompany = WizardString(res::IDS_WIZARD_ENTER_COMPANY);
    m_strDescription = WizardString(res::IDS_WIZARD_PROMPT_TEXTS);
    const int labels[] = {res::IDS_WIZARD_REPORT_NAME, res::IDS_WIZARD_REPORT_TITLE, res::IDS_WIZARD_COMPANY,
                          res::IDS_WIZARD_TEXT_CHANGES};
    for (int i = 0; i < 4; ++i)
        m_labels[i]->setText(WizardString(labels[i]) + QStringLiteral(":"));
    return CWizardPage::OnInitDialog();
}

bool CWizardReportInfoPage::DoDataExchange(bool save)
{
    if (save) {
        m_strFileName = m_fileName->text();
        m_strTitle = m_title->text();
        m_strCompany = m_company->text();
        m_strDescription = m_description->toPlainText();
    } else {
        m_fileName->setText(m_strFileName);
        m_title->setText(m_strTitle);
        m_company->setText(m_strCompany);
        m_description->setPlainText(m_strDescription);
    }
    return true;
}

// ---- images

CWizardIRListPage::CWizardIRListPage(CReportWizardDlg* frame) : CWizardImagePage(res::IDD_WIZARD_IR_LIST, frame)
{
    PlaceInDialogUnits(m_list, 7, 7, 70, 100);
    auto* add = Button(this, kAdd, QStringLiteral("添加"), 7, 110, 34);
    auto* remove = Button(this, kDelete, QStringLiteral("删除"), 44, 110, 33);
    auto* up = Button(this, kUp, QStringLiteral("↑"), 80, 30, 12);
    auto* down = Button(this, kDown, QStringLiteral("↓"), 80, 50, 12);
    PlaceInDialogUnits(m_preview, 96, 3, 126, 104);
    auto* group = new QGroupBox(QStringLiteral("图像属性"), this);
    PlaceInDialogUnits(group, 228, 3, 112, 66);
    group->lower();
    Label(this, QStringLiteral("采集日期:"), 234, 18, 40);
    Label(this, QStringLiteral("采集时间:"), 234, 34, 40);
    Label(this, QStringLiteral("图像尺寸:"), 234, 50, 40);
    PlaceInDialogUnits(m_date, 274, 16, 62, 12);
    PlaceInDialogUnits(m_time, 274, 32, 62, 12);
    PlaceInDialogUnits(m_size, 274, 48, 62, 12);
    PlaceInDialogUnits(m_play, 228, 72, 56, 14);
    m_fileName = Edit(this, kFileName, 228, 92, 112);
    m_fileName->setReadOnly(true);
    Label(this, QStringLiteral("更改红外图像："), 96, 112, 60);
    PlaceInDialogUnits(m_chooseFile, 156, 110, 20, 13);
    m_usePhotoCheck->setText(QStringLiteral("附加可见光"));
    PlaceInDialogUnits(m_usePhotoCheck, 182, 112, 60, 10);
    PlaceInDialogUnits(m_choosePicture, 244, 110, 20, 13);
    // Labels 504 to 506, named at initialisation.
    for (int i = 0; i < 3; ++i)
        SetControlId(Label(this, QString(), 7 + 114 * i, 132, 40), 504 + i);
    m_pageTitle = Edit(this, kPageTitle, 48, 130, 68);
    m_section = Edit(this, kSection, 162, 130, 68);
    m_deviceName = Edit(this, kDeviceName, 276, 130, 64);
    connect(add, &QPushButton::clicked, this, &CWizardIRListPage::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CWizardIRListPage::OnDelete);
    connect(up, &QPushButton::clicked, this, &CWizardIRListPage::OnUp);
    connect(down, &QPushButton::clicked, this, &CWizardIRListPage::OnDown);
    connect(m_list, &QListWidget::currentRowChanged, this, &CWizardIRListPage::OnSelectionChange);
    for (QLineEdit* edit : {m_pageTitle, m_section, m_deviceName})
        connect(edit, &QLineEdit::textChanged, this, &CWizardIRListPage::StoreTexts);
}

bool CWizardIRListPage::OnInitDialog()
{
    CWizardImagePage::OnInitDialog();
    // The lists grow as images are added.
    WizardState& state = TheWizardState();
    ForEachImageList(state, [](QStringList& list) { list.clear(); });
    state.abWizardUsePhoto.clear();
    const int texts[] = {res::IDS_WIZARD_PAGE_TITLE, res::IDS_WIZARD_LOCATION, res::IDS_WIZARD_CAMERA_MODEL};
    for (int i = 0; i < 3; ++i) {
        if (auto* label = qobject_cast<QLabel*>(GetDlgItem(504 + i)))
            label->setText(WizardString(texts[i]));
    }
    return true;
}

bool CWizardIRListPage::DoDataExchange(bool save)
{
    if (save) {
        m_bUsePhoto = m_usePhotoCheck->isChecked();
        m_strPageTitle = m_pageTitle->text();
        m_strSection = m_section->text();
        m_strDeviceName = m_deviceName->text();
        return true;
    }
    m_usePhotoCheck->setChecked(m_bUsePhoto);
    // Putting the texts back is no edit of the entry.
    for (QLineEdit* edit : {m_pageTitle, m_section, m_deviceName})
        edit->blockSignals(true);
    m_pageTitle->setText(m_strPageTitle);
    m_section->setText(m_strSection);
    m_deviceName->setText(m_strDeviceName);
    for (QLineEdit* edit : {m_pageTitle, m_section, m_deviceName})
        edit->blockSignals(false);
    return true;
}

QString CWizardIRListPage::FileNameText() const { return m_fileName->text(); }

void CWizardIRListPage::ShowFileName(const QString& name) { m_fileName->setText(name); }

void CWizardIRListPage::StoreTexts()
{
    UpdateData(true);
    const int s = m_list->currentRow();
    if (s < 0)
        return;
    WizardState& state = TheWizardState();
    WizardState::Set(state.astrWizardPageTitles, s, m_strPageTitle);
    WizardState::Set(state.astrWizardSections, s, m_strSection);
    WizardState::Set(state.astrWizardDeviceNames, s, m_strDeviceName);
}

void CWizardIRListPage::ClearInvalidFile()
{
    const int s = m_list->currentRow();
    WizardState& state = TheWizardState();
    WizardState::Set(state.astrWizardIRPaths, s, QString());
    WizardState::Set(state.astrWizardPhotoPaths, s, QString());
    state.strWizardCurIRPath.clear();
    state.strWizardCurPhotoPath.clear();
    m_fileName->clear();
    m_preview->Show(nullptr, nullptr, nullptr);
}

void CWizardIRListPage::RenumberItems()
{
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setText(WizardString(res::IDS_WIZARD_IMAGE_ITEM, i + 1));
}

void CWizardIRListPage::OnAdd()
{
    const QStringList paths = TheWizardChoosers().infraredFiles(this, true);
    WizardState& state = TheWizardState();
    for (const QString& path : paths) {
        if (!QFile(path).open(QIODevice::ReadOnly))
            return; // the rest is dropped; the page is left as it is
        const int i = m_nImageCount;
        m_list->blockSignals(true);
        m_list->addItem(WizardString(res::IDS_WIZARD_IMAGE_ITEM, i + 1));
        m_list->blockSignals(false);
        state.strWizardCurIRPath = path;
        WizardState::Set(state.astrWizardIRPaths, i, path);
        WizardState::Set(state.astrWizardPhotoPaths, i, QString());
        state.SetUsePhoto(i, false);
        const WizardImageParts* parts = m_cache.Get(path);
        if (parts == nullptr || !parts->valid) {
            WizardState::Set(state.astrWizardIRPaths, i, QString());
            state.strWizardCurIRPath.clear();
            state.strWizardCurPhotoPath.clear();
            m_bUsePhoto = false;
        }
        WizardState::Set(state.astrWizardPageTitles, i, QString());
        WizardState::Set(state.astrWizardSections, i, QString());
        WizardState::Set(state.astrWizardDeviceNames, i, QString());
        m_strPageTitle.clear();
        m_strSection.clear();
        m_strDeviceName.clear();
        ++m_nImageCount;
    }
    if (m_nImageCount > 0) {
        m_list->blockSignals(true);
        m_list->setCurrentRow(m_nImageCount - 1);
        m_list->blockSignals(false);
    }
    OnSelectionChange();
}

void CWizardIRListPage::OnDelete()
{
    const int s = m_list->currentRow();
    if (s < 0)
        return;
    WizardState& state = TheWizardState();
    m_list->blockSignals(true);
    delete m_list->takeItem(s);
    m_list->blockSignals(false);
    --m_nImageCount;
    RenumberItems();
    ForEachImageList(state, [s](QStringList& list) {
        if (s < list.size())
            list.removeAt(s);
    });
    if (std::size_t(s) < state.abWizardUsePhoto.size())
        state.abWizardUsePhoto.erase(state.abWizardUsePhoto.begin() + s);
    if (m_nImageCount == 0) {
        state.strWizardCurIRPath.clear();
        state.strWizardCurPhotoPath.clear();
        m_bUsePhoto = false;
        m_strPageTitle.clear();
        m_strSection.clear();
        m_strDeviceName.clear();
        m_list->setCurrentRow(-1);
        UpdateData(false);
        m_fileName->clear();
        ShowCurrentImage();
        return;
    }
    m_list->blockSignals(true);
    m_list->setCurrentRow(s >= 1 && s <= m_nImageCount ? s - 1 : 0);
    m_list->blockSignals(false);
    OnSelectionChange();
}

void CWizardIRListPage::Swap(int a, int b)
{
    WizardState& state = TheWizardState();
    ForEachImageList(state, [a, b](QStringList& list) {
        const QString first = WizardState::At(list, a);
        WizardState::Set(list, a, WizardState::At(list, b));
        WizardState::Set(list, b, first);
    });
    const bool flag = state.UsePhoto(a);
    state.SetUsePhoto(a, state.UsePhoto(b));
    state.SetUsePhoto(b, flag);
    m_list->blockSignals(true);
    m_list->setCurrentRow(b);
    m_list->blockSignals(false);
    OnSelectionChange();
}

void CWizardIRListPage::OnUp()
{
    const int s = m_list->currentRow();
    if (s > 0)
        Swap(s, s - 1);
}

void CWizardIRListPage::OnDown()
{
    const int s = m_list->currentRow();
    if (s >= 0 && s < m_list->count() - 1)
        Swap(s, s + 1);
}

void CWizardIRListPage::OnSelectionChange()
{
    const int s = m_list->currentRow();
    if (s < 0)
        return;
    WizardState& state = TheWizardState();
    state.strWizardCurIRPath = WizardState::At(state.astrWizardIRPaths, s);
    state.strWizardCurPhotoPath = WizardState::At(state.astrWizardPhotoPaths, s);
    m_bUsePhoto = state.UsePhoto(s);
    m_strPageTitle = WizardState::At(state.astrWizardPageTitles, s);
    m_strSection = WizardState::At(state.astrWizardSections, s);
    m_strDeviceName = WizardState::At(state.astrWizardDeviceNames, s);
    UpdateData(false);
    m_fileName->setText(state.strWizardCurIRPath.isEmpty() ? QString() : QFileInfo(state.strWizardCurIRPath).fileName());
    ShowCurrentImage();
}

// ---- objects

CWizardObjectsPage::CWizardObjectsPage(CReportWizardDlg* frame) : CWizardPage(res::IDD_WIZARD_OBJECTS, frame)
{
    auto* group = new QGroupBox(QStringLiteral("信息"), this);
    PlaceInDialogUnits(group, 7, 3, 331, 147);
    Label(this, QStringLiteral("请选择要显示的对象"), 16, 18, 120);
    m_checks = new QListWidget(this);
    SetControlId(m_checks, kCheckList);
    PlaceInDialogUnits(m_checks, 16, 32, 160, 100);
    auto* hidden = new CEditListCtrl(this);
    SetControlId(hidden, kHiddenList);
    hidden->setEnabled(false);
    hidden->hide();
}

bool CWizardObjectsPage::OnInitDialog()
{
    m_checks->clear();
    for (int id : {res::IDS_WIZARD_PROPERTY_TABLE, res::IDS_WIZARD_LINE_CHART, res::IDS_WIZARD_HISTOGRAM}) {
        auto* item = new QListWidgetItem(WizardString(id), m_checks);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_checks->item(0)->setCheckState(Qt::Checked);
    return CWizardPage::OnInitDialog();
}

bool CWizardObjectsPage::IsChecked(int item) const
{
    return item >= 0 && item < m_checks->count() && m_checks->item(item)->checkState() == Qt::Checked;
}
