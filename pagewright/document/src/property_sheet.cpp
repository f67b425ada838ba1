#include "document/property_sheet.h"

#include "document/document_environment.h"
#include "skin/dialog_base.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QHash<QString, PropertyPageFactory>& PageClasses()
{
    static QHash<QString, PropertyPageFactory> classes;
    return classes;
}

} // namespace

// ---- DataExchange

QString DataExchange::FloatText(double value) { return QString::asprintf("%.*g", 6, value); }

QWidget* DataExchange::Control(int id)
{
    if (m_failed)
        return nullptr;
    m_lastId = id;
    return m_page.GetDlgItem(id);
}

void DataExchange::Fail(const QString& message, int stringId, int type)
{
    if (m_failed)
        return;
    m_failed = true;
    m_page.Environment().MessageBox(message, type, stringId);
    if (QWidget* control = m_page.GetDlgItem(m_lastId)) {
        control->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->selectAll();
    }
}

void DataExchange::Text(int id, float& value)
{
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (edit == nullptr)
        return;
    if (!m_save) {
        edit->setText(FloatText(value));
        return;
    }
    bool ok = false;
    const double read = edit->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(read) || std::fabs(read) > 3.4e38) {
        Fail(m_page.Environment().LoadString(doc_string::kEnterNumber), doc_string::kEnterNumber);
        return;
    }
    value = static_cast<float>(read);
}

void DataExchange::Text(int id, int& value)
{
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (edit == nullptr)
        return;
    if (!m_save) {
        edit->setText(QString::number(value));
        return;
    }
    bool ok = false;
    const int read = edit->text().trimmed().toInt(&ok);
    if (!ok) {
        Fail(m_page.Environment().LoadString(doc_string::kEnterInteger), doc_string::kEnterInteger);
        return;
    }
    value = read;
}

void DataExchange::Text(int id, QString& value, int maxChars)
{
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (edit == nullptr)
        return;
    if (!m_save) {
        if (maxChars > 0)
            edit->setMaxLength(maxChars);
        edit->setText(value);
        return;
    }
    value = maxChars > 0 ? edit->text().left(maxChars) : edit->text();
}

void DataExchange::Check(int id, int& value)
{
    auto* box = qobject_cast<QAbstractButton*>(Control(id));
    if (box == nullptr)
        return;
    if (!m_save)
        box->setChecked(value != 0);
    else
        value = box->isChecked() ? 1 : 0;
}

void DataExchange::ComboText(int id, QString& value)
{
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr)
        return;
    if (m_save) {
        value = combo->currentText();
        return;
    }
    const int at = combo->findText(value);
    if (combo->isEditable()) {
        combo->setCurrentIndex(at);
        combo->setEditText(value);
    } else {
        combo->setCurrentIndex(at);
    }
}

void DataExchange::ComboIndex(int id, int& value)
{
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr)
        return;
    if (m_save)
        value = combo->currentIndex();
    else
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

void DataExchange::MinMax(float value, float min, float max)
{
    if (m_failed || !m_save)
        return;
    if (value < min || value > max)
        Fail(m_page.Environment().LoadString(doc_string::kNumberRange).arg(FloatText(min), FloatText(max)),
             doc_string::kNumberRange);
}

void DataExchange::MinMax(int value, int min, int max)
{
    if (m_failed || !m_save)
        return;
    if (value < min || value > max)
        Fail(m_page.Environment().LoadString(doc_string::kIntegerRange).arg(min).arg(max),
             doc_string::kIntegerRange);
}

// ---- PropertyPage

PropertyPage::PropertyPage(int templateId, const QString& caption, QWidget* parent)
    : QWidget(parent), m_templateId(templateId), m_caption(caption)
{
}

void PropertyPage::SetControlId(QWidget* control, int id) { SetDialogControlId(control, id); }

QWidget* PropertyPage::GetDlgItem(int id) const { return FindDialogControl(this, id); }

DocumentEnvironment& PropertyPage::Environment() const
{
    return m_env != nullptr ? *m_env : DefaultDocumentEnvironment();
}

bool PropertyPage::UpdateData(bool save)
{
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool PropertyPage::OnInitDialog() { return UpdateData(false); }

bool PropertyPage::OnSetActive()
{
    if (!m_initialized) {
        m_initialized = true;
        OnInitDialog();
    }
    return true;
}

bool PropertyPage::OnKillActive() { return UpdateData(true); }

// ---- PropertySheet

PropertySheet::PropertySheet(DocumentEnvironment& env, const QString& title, QWidget* parent)
    : QDialog(parent), m_env(env), m_tabs(new QTabBar(this)), m_stack(new QStackedWidget(this))
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_tabs->setDrawBase(true);
    m_tabs->setExpanding(false);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    PropertyPage::SetControlId(ok, kIdOk);
    PropertyPage::SetControlId(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole), kIdCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);
    layout->addWidget(buttons);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) {
        if (m_switching || i == m_active)
            return;
        if (!SetActivePage(i)) {
            m_switching = true;
            m_tabs->setCurrentIndex(m_active);
            m_switching = false;
        }
    });
}

PropertySheet::~PropertySheet() = default;

PropertyPage* PropertySheet::AddPage(PropertyPage* page)
{
    page->SetEnvironment(&m_env);
    m_pages.push_back(page);
    m_stack->addWidget(page);
    m_switching = true;
    m_tabs->addTab(page->Caption());
    m_tabs->setCurrentIndex(m_active);
    m_switching = false;
    return page;
}

PropertyPage* PropertySheet::GetPage(int i) const
{
    return i >= 0 && i < GetPageCount() ? m_pages[static_cast<std::size_t>(i)] : nullptr;
}

void PropertySheet::Start()
{
    m_active = std::clamp(m_active, 0, std::max(0, GetPageCount() - 1));
    if (PropertyPage* page = GetActivePage()) {
        m_stack->setCurrentWidget(page);
        page->OnSetActive();
    }
    m_switching = true;
    m_tabs->setCurrentIndex(m_active);
    m_switching = false;
}

bool PropertySheet::SetActivePage(int i)
{
    PropertyPage* next = GetPage(i);
    if (next == nullptr)
        return false;
    if (i == m_active && next->IsInitialized())
        return true;
    PropertyPage* current = GetActivePage();
    if (current != nullptr && current != next && current->IsInitialized() && !current->OnKillActive())
        return false;
    m_active = i;
    m_stack->setCurrentWidget(next);
    next->OnSetActive();
    m_switching = true;
    m_tabs->setCurrentIndex(i);
    m_switching = false;
    return true;
}

int PropertySheet::DoModal()
{
    Start();
    return m_env.RunDialog(*this) ? kIdOk : kIdCancel;
}

void PropertySheet::PressButton(int id)
{
    if (id == kIdOk)
        accept();
    else if (id == kIdCancel)
        reject();
}

void PropertySheet::accept()
{
    if (PropertyPage* page = GetActivePage(); page != nullptr && page->IsInitialized() && !page->OnKillActive())
        return;
    for (PropertyPage* page : m_pages) {
        if (page->IsInitialized())
            page->OnOK();
    }
    QDialog::accept();
}

void PropertySheet::reject()
{
    for (PropertyPage* page : m_pages) {
        if (page->IsInitialized())
            page->OnCancel();
    }
    QDialog::reject();
}

int PropertySheet::GetTabCount() const { return m_tabs->count(); }

QString PropertySheet::GetTabText(int i) const { return m_tabs->tabText(i); }

void PropertySheet::RemoveTab(int i)
{
    PropertyPage* page = GetPage(i);
    if (page == nullptr)
        return;
    m_pages.erase(m_pages.begin() + i);
    m_removed.push_back(page);
    m_switching = true;
    m_tabs->removeTab(i);
    m_switching = false;
    if (m_active > i) {
        --m_active;
    } else if (m_active == i) {
        m_active = std::max(0, i - 1);
        if (PropertyPage* shown = GetActivePage()) {
            m_stack->setCurrentWidget(shown);
            shown->OnSetActive();
        }
    }
    m_switching = true;
    m_tabs->setCurrentIndex(m_active);
    m_switching = false;
}

void PropertySheet::InsertTab(int i, PropertyPage* page, const QString& text)
{
    if (page == nullptr || std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end())
        return;
    const auto removed = std::find(m_removed.begin(), m_removed.end(), page);
    if (removed != m_removed.end()) {
        m_removed.erase(removed);
    } else {
        page->SetEnvironment(&m_env);
        m_stack->addWidget(page);
    }
    i = std::clamp(i, 0, GetPageCount());
    m_pages.insert(m_pages.begin() + i, page);
    m_switching = true;
    m_tabs->insertTab(i, text);
    if (m_active >= i && GetPageCount() > 1)
        ++m_active;
    m_tabs->setCurrentIndex(m_active);
    m_switching = false;
}

// ---- dynamic creation

void RegisterPropertyPageClass(const QString& name, PropertyPageFactory factory)
{
    PageClasses().insert(name, std::move(factory));
}

bool IsPropertyPageClassRegistered(const QString& name) { return PageClasses().contains(name); }

PropertyPage* CreatePropertyPage(const QString& name)
{
    const auto it = PageClasses().constFind(name);
    return it == PageClasses().constEnd() ? nullptr : (*it)();
}
