#include "about_dlg.h"

#include "program_icon.h"
#include "resource_ids.h"
#include "rpt_app.h"

#include "skin/caption.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(res::IDD_ABOUTBOX, parent)
{
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlag(Qt::FramelessWindowHint);
    setContentsMargins(skin::SM_CXFRAME, skin::CaptionBandHeight(), skin::SM_CXFRAME, skin::SM_CYFRAME);
    m_caption = skin::MakeSkinCaptionBar(this, skin::kCloseOnly);
    m_caption->setObjectName(QStringLiteral("Caption"));
    connect(m_caption, &skin::CaptionBar::buttonClicked, this, [this](int button) {
        if (button == skin::kCloseButton)
            close();
    });
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
    p.fillRect(rect(), skin::CurrentRoles().background);
    if (const skin::SkinState* s = skin::CurrentSkin())
        skin::PaintFrameBorder(p, size(), skin::CaptionBandHeight(), skin::SkinCaptionColors(*s, m_caption->IsActive()));
}

void CAboutDlg::resizeEvent(QResizeEvent* e)
{
    CDialog::resizeEvent(e);
    m_caption->setGeometry(0, 0, width(), skin::CaptionBandHeight());
}

bool CAboutDlg::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate)
        m_caption->SetActive(e->type() == QEvent::WindowActivate);
    return CDialog::event(e);
}
