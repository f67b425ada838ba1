#include "about_dlg.h"

#include "program_icon.h"
#include "resource_ids.h"
#include "rpt_app.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(res::IDD_ABOUTBOX, parent)
{
    setWindowTitle(QStringLiteral("关于"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    SetControlId(icon, res::IDC_ABOUT_ICON);
    auto* title = new QLabel(QStringLiteral("红外热像报表软件 V1.0.146"), this);
    SetControlId(title, res::IDC_ABOUT_TITLE);
    auto* line2 = new QLabel(QStringLiteral("版权所有 (C) 2013"), this);
    SetControlId(line2, res::IDC_ABOUT_LINE2);
    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(line2, 1, 1);
    layout->addWidget(MakeOkCancel(false), 2, 0, 1, 2);
}

void CAboutDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const CDI_RptApp* app = theAppOrNull();
    p.fillRect(rect(), app != nullptr && app->m_skin.background.isValid() ? app->m_skin.background
                                                                          : palette().window().color());
}
