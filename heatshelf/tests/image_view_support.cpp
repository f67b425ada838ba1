#include "image_view_support.h"

#include "current_folder.h"
#include "resource_ids.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

QString FixturePath(const QString& name)
{
    return QDir(qEnvironmentVariable("HEATSHELF_FIXTURE_DIR")).filePath(name);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString CopyFixture(const QTemporaryDir& dir, const QString& name, const QString& as)
{
    const QString to = dir.filePath(as.isEmpty() ? QFileInfo(name).fileName() : as);
    QFile::copy(FixturePath(name), to);
    return to;
}

QStringList ThumbNames(const heatshelf::CHeatshelfView& v)
{
    QStringList out;
    for (const heatshelf::CHeatshelfView::GridThumb& t : v.Thumbs())
        out << t.name;
    return out;
}

int RunExtractCheck(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("SUITE_PYTHON"), QStringList{qEnvironmentVariable("THERMCORE_EXTRACT_CHECK")} + args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

ViewFixture::ViewFixture(int width, int height)
{
    heatshelf::StartupOptions options = box.Options();
    options.makeView = heatshelf::CHeatshelfView::Factory();
    app = box.Start(options);
    frame = app ? app->MainFrame() : nullptr;
    if (frame == nullptr)
        return;
    view = dynamic_cast<heatshelf::CHeatshelfView*>(frame->GetRightView());
    frame->resize(width, height);
    frame->show();
    Settle();
}

ViewFixture::~ViewFixture() { heatshelf::CurrentFolder().clear(); }

void ViewFixture::Settle(int ms)
{
    QElapsedTimer t;
    t.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < ms);
}

bool ViewFixture::WaitForGrid(int ms)
{
    return QTest::qWaitFor([this] { return !view->IsThumbnails() || !view->IsListing(); }, ms);
}

void ViewFixture::ShowFolder(const QString& folder)
{
    heatshelf::CurrentFolder() = folder;
    view->Step(heatshelf::res::kStepFirst, true);
    Settle();
    WaitForGrid();
}

void ViewFixture::Run(int command)
{
    frame->UpdateCommandUI();
    frame->RunCommand(command);
    Settle();
    WaitForGrid();
}
