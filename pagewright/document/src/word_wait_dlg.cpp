#include "document/word_wait_dlg.h"

#include <QLabel>
#include <QVBoxLayout>

CWordWaitDlg::CWordWaitDlg(QWidget* parent) : QDialog(parent)
{
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    m_notice = new QLabel(QStringLiteral("正在生成MS Word文件，请稍等......"), this);
    m_notice->setObjectName(QString::number(kNotice));
    m_notice->setProperty("controlId", kNotice);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(m_notice);
}

std::unique_ptr<CWordWaitDlg> ShowWaitNotice(const QString& text)
{
    auto wait = std::make_unique<CWordWaitDlg>();
    wait->Notice()->setText(text);
    wait->show();
    return wait;
}
