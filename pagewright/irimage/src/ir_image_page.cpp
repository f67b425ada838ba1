// The image page, the two pages that are never shown, and the registration
// of the six page classes.
#include "irimage/ir_property_pages.h"

#include "ir_reference_combos.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using ir_pages::Control;

CIRImagePage::CIRImagePage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("图像"), parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* shown = new QGroupBox(QStringLiteral("显示"), this);
    auto* checks = new QVBoxLayout(shown);
    const std::pair<int, const char*> boxes[] = {{kShowBar, "显示色标(&S)"},
                                                 {kShowMarks, "显示分析对象(&A)"},
                                                 {kLiveUpdate, "分析对象温度动态更新(&U)"},
                                                 {k3DEffect, "显示三维效果(&V)"},
                                                 {kReadAnalyses, "读取分析对象信息(&G)"}};
    for (const auto& [id, text] : boxes)
        checks->addWidget(Control(new QCheckBox(QString::fromUtf8(text), shown), id));
    layout->addWidget(shown);

    auto* size = new QGroupBox(QStringLiteral("尺寸"), this);
    auto* grid = new QGridLayout(size);
    grid->addWidget(new QLabel(QStringLiteral("缩放比例"), size), 0, 0);
    auto* zoom = Control(new QLineEdit(size), kZoom);
    zoom->setValidator(new QIntValidator(zoom));
    grid->addWidget(zoom, 0, 1);
    grid->addWidget(Control(new QPushButton(QStringLiteral("3:4"), size), kAspect34), 0, 2);
    grid->addWidget(Control(new QPushButton(QStringLiteral("1:1"), size), kAspect11), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("红外热图号:"), size), 1, 0);
    grid->addWidget(Control(new QLineEdit(size), kImageNumber), 1, 1);
    layout->addWidget(size);

    auto* defaults = new QHBoxLayout;
    defaults->addWidget(Control(new QPushButton(QStringLiteral("作为默认设置"), this), kMakeDefault));
    defaults->addWidget(Control(new QPushButton(QStringLiteral("恢复对象默认参数"), this), kRestoreDefault));
    defaults->addStretch(1);
    layout->addLayout(defaults);
    layout->addStretch(1);
}

void CIRImagePage::DoDataExchange(DataExchange& dx)
{
    dx.Check(kShowBar, m_bShowBar);
    dx.Check(kShowMarks, m_bShowMarks);
    dx.Check(kLiveUpdate, m_bLiveUpdate);
    dx.Check(k3DEffect, m_b3DEffect);
    dx.Check(kReadAnalyses, m_bReadAnalyses);
    dx.Text(kZoom, m_nZoom);
    dx.Text(kImageNumber, m_nImageNumber);
}

CIRScalePage::CIRScalePage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("色标"), parent) {}

CIRCommentPage::CIRCommentPage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("文本注释"), parent) {}

void RegisterIRPropertyPages()
{
    RegisterPropertyPageClass(QStringLiteral("CIRImagePage"), [] { return new CIRImagePage; });
    RegisterPropertyPageClass(QStringLiteral("CIRScalePage"), [] { return new CIRScalePage; });
    RegisterPropertyPageClass(QStringLiteral("CIRParamPage"), [] { return new CIRParamPage; });
    RegisterPropertyPageClass(QStringLiteral("CIRAnalysisPage"), [] { return new CIRAnalysisPage; });
    RegisterPropertyPageClass(QStringLiteral("CIRPalettePage"), [] { return new CIRPalettePage; });
    RegisterPropertyPageClass(QStringLiteral("CIRCommentPage"), [] { return new CIRCommentPage; });
}
