// templatedata: writes the default data that new reports start from into a
// data folder:
//
//     templatedata OUTDIR
//
// OUTDIR/template/NewTemp.rpt  an empty report of one page (A4, the page
//                              size of a program without a printer), the
//                              start of a report made by the new-report
//                              wizard
// OUTDIR/logo.jpg              the logo that new reports show: a warm disc
//                              with a thermometer, 240 x 180 pixels
//
// Exit status 0 on success, 1 when a file could not be written, 2 for wrong
// arguments.
#include "document/rpt_doc.h"
#include "platform/dib_image.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

// Messages of the document go to standard error.
class ToolEnvironment : public DocumentEnvironment {
public:
    int MessageBox(const QString& text, int type, int stringId) override
    {
        (void)type, (void)stringId;
        std::fprintf(stderr, "templatedata: %s\n", text.toUtf8().constData());
        return kAnswerOk;
    }
};

QImage MakeLogo()
{
    QImage image(240, 180, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A disc running from deep blue at its rim to white-hot at its centre.
    QRadialGradient heat(QPointF(120, 90), 80, QPointF(105, 75));
    heat.setColorAt(0.0, QColor(255, 250, 220));
    heat.setColorAt(0.3, QColor(255, 190, 30));
    heat.setColorAt(0.6, QColor(220, 50, 40));
    heat.setColorAt(0.85, QColor(110, 0, 140));
    heat.setColorAt(1.0, QColor(20, 10, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(heat);
    p.drawEllipse(QPointF(120, 90), 80, 80);
    // A thermometer standing in the disc.
    const QColor glass(250, 250, 250);
    p.setBrush(glass);
    p.setPen(QPen(QColor(40, 40, 60), 3));
    QPainterPath tube;
    tube.addRoundedRect(QRectF(111, 30, 18, 100), 9, 9);
    tube.addEllipse(QPointF(120, 135), 16, 16);
    p.drawPath(tube.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 20, 20));
    p.drawRoundedRect(QRectF(116, 60, 8, 76), 4, 4);
    p.drawEllipse(QPointF(120, 135), 11, 11);
    // Scale marks.
    p.setPen(QPen(QColor(40, 40, 60), 2));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(132, 42 + 16 * i), QPointF(i % 2 == 0 ? 142 : 138, 42 + 16 * i));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: templatedata OUTDIR\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out + QStringLiteral("/template"))) {
        std::fprintf(stderr, "templatedata: cannot make %s/template\n", argv[1]);
        return 1;
    }

    ToolEnvironment env;
    CDI_RptDoc doc(&env);
    doc.DeleteContents();
    if (!doc.SaveToPath(out + QStringLiteral("/template/NewTemp.rpt")))
        return 1;

    platform::CDibImage logo;
    if (!logo.SetImage(MakeLogo()) || !logo.Save(out + QStringLiteral("/logo.jpg"), platform::CDibImage::kTypeJpg)) {
        std::fprintf(stderr, "templatedata: cannot write %s/logo.jpg\n", argv[1]);
        return 1;
    }
    return 0;
}
