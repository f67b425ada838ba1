// The report's properties sheet (command 32792): the summary page (title,
// subject, author, keywords, comments, template; application name) and the
// statistics page (last author, revision, editing time, dates, counts,
// security). Closing it with OK writes the six editable texts back.
//
// Controls carry their dialog ids as object names ("115", ...).
#pragma once

#include <QDialog>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTabWidget;

namespace platform {
class CSummaryInfo;
}

// Dialog 113 "报表简介".
class CSummPage : public QWidget {
public:
    enum ControlId { kAuthor = 115, kKeywords = 118, kComments = 120, kTitle = 122, kSubject = 124, kTemplate = 126,
                     kAppName = 148 };

    explicit CSummPage(const platform::CSummaryInfo& summary, QWidget* parent = nullptr);

    QLineEdit* Edit(ControlId id) const;
    QLabel* AppName() const { return m_appName; }
    // Writes the edit texts into the summary; true when a value changed.
    bool Apply(platform::CSummaryInfo& summary) const;

private:
    QLineEdit* m_author;
    QLineEdit* m_keywords;
    QLineEdit* m_subject;
    QLineEdit* m_comments;
    QLineEdit* m_template;
    QLineEdit* m_title;
    QLabel* m_appName;
};

// Dialog 116 "报表信息".
class CStatPage : public QWidget {
public:
    enum ControlId { kLastAuthor = 129, kRevision = 132, kEditTime = 135, kLastPrinted = 138, kCreated = 140,
                     kLastSaved = 141, kPages = 143, kWords = 144, kChars = 146, kSecurity = 149 };

    explicit CStatPage(const platform::CSummaryInfo& summary, QWidget* parent = nullptr);

    // The text shown by a value control.
    QString Value(ControlId id) const;
};

class CSummarySheet : public QDialog {
public:
    CSummarySheet(const platform::CSummaryInfo& summary, const QString& caption, QWidget* parent = nullptr);

    CSummPage* SummaryPage() const { return m_summary; }
    CStatPage* StatPage() const { return m_stat; }
    // Writes the summary page back; true when a value changed.
    bool Apply(platform::CSummaryInfo& summary) const { return m_summary->Apply(summary); }

private:
    QTabWidget* m_tabs;
    CSummPage* m_summary;
    CStatPage* m_stat;
};
