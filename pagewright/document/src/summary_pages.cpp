#include "document/summary_pages.h"

#include "platform/summary_info.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* AddEdit(QFormLayout* form, const char* label, int id, const QString& text)
{
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QString::number(id));
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

QLabel* AddValue(QFormLayout* form, const char* label, int id, const QString& text)
{
    auto* value = new QLabel(text);
    value->setObjectName(QString::number(id));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromUtf8(label), value);
    return value;
}

} // namespace

CSummPage::CSummPage(const platform::CSummaryInfo& s, QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QString::fromUtf8("报表简介"));
    auto* form = new QFormLayout(this);
    m_title = AddEdit(form, "标题", kTitle, s.GetTitle());
    m_subject = AddEdit(form, "内容", kSubject, s.GetSubject());
    m_author = AddEdit(form, "作者", kAuthor, s.GetAuthor());
    m_keywords = AddEdit(form, "关键词", kKeywords, s.GetKeywords());
    m_comments = AddEdit(form, "备注", kComments, s.GetComments());
    m_template = AddEdit(form, "模板", kTemplate, s.GetTemplate());
    m_appName = AddValue(form, "应用程序", kAppName, s.GetAppName());
}

QLineEdit* CSummPage::Edit(ControlId id) const
{
    switch (id) {
    case kAuthor: return m_author;
    case kKeywords: return m_keywords;
    case kComments: return m_comments;
    case kTitle: return m_title;
    case kSubject: return m_subject;
    case kTemplate: return m_template;
    default: return nullptr;
    }
}

bool CSummPage::Apply(platform::CSummaryInfo& s) const
{
    const auto set = [](const QString& now, const QString& text, auto setter) {
        if (now == text)
            return false;
        setter(text);
        return true;
    };
    bool changed = false;
    changed |= set(s.GetAuthor(), m_author->text(), [&s](const QString& t) { s.SetAuthor(t); });
    changed |= set(s.GetKeywords(), m_keywords->text(), [&s](const QString& t) { s.SetKeywords(t); });
    changed |= set(s.GetSubject(), m_subject->text(), [&s](const QString& t) { s.SetSubject(t); });
    changed |= set(s.GetComments(), m_comments->text(), [&s](const QString& t) { s.SetComments(t); });
    changed |= set(s.GetTemplate(), m_template->text(), [&s](const QString& t) { s.SetTemplate(t); });
    changed |= set(s.GetTitle(), m_title->text(), [&s](const QString& t) { s.SetTitle(t); });
    return changed;
}

CStatPage::CStatPage(const platform::CSummaryInfo& s, QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QString::fromUtf8("报表信息"));
    auto* form = new QFormLayout(this);
    AddValue(form, "最后更新", kLastAuthor, s.GetLastAuthor());
    AddValue(form, "修订次数", kRevision, s.GetRevNum());
    AddValue(form, "编辑时间", kEditTime, s.GetEditTime());
    AddValue(form, "最后打印", kLastPrinted, s.GetLastPrintDate());
    AddValue(form, "创建时间", kCreated, s.GetCreateDate());
    AddValue(form, "最后保存", kLastSaved, s.GetLastSaveDate());
    AddValue(form, "页数", kPages, s.GetNumPages());
    AddValue(form, "字数", kWords, s.GetNumWords());
    AddValue(form, "字符数", kChars, s.GetNumChars());
    AddValue(form, "安全性", kSecurity, s.GetSecurity());
}

QString CStatPage::Value(ControlId id) const
{
    const auto* label = findChild<QLabel*>(QString::number(id));
    return label != nullptr ? label->text() : QString();
}

CSummarySheet::CSummarySheet(const platform::CSummaryInfo& summary, const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget;
    m_summary = new CSummPage(summary);
    m_stat = new CStatPage(summary);
    m_tabs->addTab(m_summary, m_summary->windowTitle());
    m_tabs->addTab(m_stat, m_stat->windowTitle());
    layout->addWidget(m_tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
