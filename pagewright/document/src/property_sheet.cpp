#include "document/property_sheet.h"

#include "document/document_environment.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVariant>
#include <QVBoxLayout>

#include <algorithm>

PropertyPage::PropertyPage(const QString& caption, QWidget* parent) : QWidget(parent), m_caption(caption) {}

void PropertyPage::EnsureInitialised()
{
    if (m_initialised)
        return;
    m_initialised = true;
    OnInitDialog();
}

namespace {
// The property dialogs give their controls their ids under.
const char kIdProperty[] = "controlId";
} // namespace

void PropertyPage::SetControlId(QWidget* control, int id)
{
    control->setProperty(kIdProperty, id);
    control->setObjectName(QString::number(id));
}

QWidget* PropertyPage::GetDlgItem(int id) const
{
    for (QWidget* w : findChildren<QWidget*>())
        if (const QVariant v = w->property(kIdProperty); v.isValid() && v.toInt() == id)
            return w;
    return nullptr;
}

PropertySheet::PropertySheet(const QString& title, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PropertySheet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &PropertySheet::OnCurrentChanged);
}

PropertySheet::~PropertySheet()
{
    // The pages are the caller's: take them out before Qt deletes children.
    for (PropertyPage* page : m_pages) {
        page->setParent(nullptr);
        page->m_sheet = nullptr;
    }
}

void PropertySheet::AddPage(PropertyPage* page)
{
    if (page == nullptr || std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end())
        return;
    page->m_sheet = this;
    m_pages.push_back(page);
    Watch(page);
    m_switching = true;
    m_tabs->addTab(page, page->Caption());
    m_switching = false;
    if (m_current < 0)
        m_current = m_tabs->currentIndex();
}

void PropertySheet::Watch(PropertyPage* page)
{
    // A page that goes first (declared after the sheet) leaves the list.
    connect(page, &QObject::destroyed, this, [this](QObject* gone) {
        m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), gone), m_pages.end());
    });
}

PropertyPage* PropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int PropertySheet::GetTabCount() const { return m_tabs->count(); }

void PropertySheet::RemoveTab(int index)
{
    if (index < 0 || index >= m_tabs->count())
        return;
    QWidget* page = m_tabs->widget(index);
    m_switching = true;
    m_tabs->removeTab(index);
    page->hide();
    m_switching = false;
    m_current = m_tabs->currentIndex();
    if (PropertyPage* p = GetActivePage())
        p->EnsureInitialised();
}

void PropertySheet::InsertTab(int index, PropertyPage* page, const QString& text)
{
    if (page == nullptr || m_tabs->indexOf(page) >= 0)
        return;
    if (std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end()) {
        page->m_sheet = this;
        m_pages.push_back(page);
        Watch(page);
    }
    m_switching = true;
    m_tabs->insertTab(std::clamp(index, 0, m_tabs->count()), page, text);
    m_switching = false;
    m_current = m_tabs->currentIndex();
}

PropertyPage* PropertySheet::GetActivePage() const { return qobject_cast<PropertyPage*>(m_tabs->currentWidget()); }

bool PropertySheet::SetActivePage(PropertyPage* page)
{
    const int index = m_tabs->indexOf(page);
    if (index < 0)
        return false;
    m_tabs->setCurrentIndex(index);
    return m_tabs->currentIndex() == index;
}

void PropertySheet::OnCurrentChanged(int index)
{
    if (m_switching)
        return;
    auto* old = qobject_cast<PropertyPage*>(m_tabs->widget(m_current));
    if (old != nullptr && old != m_tabs->widget(index) && old->IsInitialised() && !old->OnKillActive()) {
        m_switching = true;
        m_tabs->setCurrentIndex(m_current);
        m_switching = false;
        return;
    }
    m_current = index;
    if (PropertyPage* p = GetActivePage())
        p->EnsureInitialised();
}

void PropertySheet::showEvent(QShowEvent* e)
{
    if (PropertyPage* p = GetActivePage())
        p->EnsureInitialised();
    QDialog::showEvent(e);
}

void PropertySheet::accept()
{
    PropertyPage* active = GetActivePage();
    if (active != nullptr) {
        active->EnsureInitialised();
        if (!active->OnKillActive())
            return;
    }
    for (int i = 0; i < m_tabs->count(); ++i)
        if (auto* p = qobject_cast<PropertyPage*>(m_tabs->widget(i)); p != nullptr && p->IsInitialised())
            p->OnOK();
    QDialog::accept();
}

bool PropertySheet::DoModal(DocumentEnvironment& env) { return env.RunDialog(*this); }

void PropertySheet::PressOk() { accept(); }
void PropertySheet::PressCancel() { reject(); }
