// CWordWaitDlg: the notice shown while a word-processor or spreadsheet file
// is generated (dialog 1501). Modeless: the exporter creates and shows it
// and deletes it when done.
#pragma once

#include <QDialog>

#include <memory>

class QLabel;

class CWordWaitDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 1501;
    static constexpr int kNotice = 487;

    explicit CWordWaitDlg(QWidget* parent = nullptr);

    QLabel* Notice() const { return m_notice; }

private:
    QLabel* m_notice;
};

// The notice with text, shown (centred) until the returned dialog goes.
std::unique_ptr<CWordWaitDlg> ShowWaitNotice(const QString& text);
