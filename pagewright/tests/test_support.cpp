#include "test_support.h"

#include "skin/dialog_base.h"
#include "wizard_dialogs.h"

#include "document/document_environment.h"

#include "platform/codepage.h"
#include "platform/dib.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>

// Fontconfig keeps its caches for the life of the process and leaves them
// to the operating system at exit; the leak checker is told so.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

void EnsureQApplication()
{
    static QApplication* app = [] {
        static int argc = 1;
        static char name[] = "pagewright_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

StartupSandbox::StartupSandbox()
{
    EnsureQApplication();
    SetMessageBoxHook([this](const MessageBoxRequest& request) {
        messages.push_back(request);
        return request.stringId == doc_string::kAskToSave ? saveAnswer : IDOK_ANSWER;
    });
    // The template chooser of a new report answers "empty report" at once.
    SetWizardDialogRunner([](CDialog&) { return CDialog::kIdOk; });
}

StartupSandbox::~StartupSandbox()
{
    SetMessageBoxHook({});
    SetWizardDialogRunner({});
}

int StartupSandbox::Shown(int stringId) const
{
    return int(std::count_if(messages.begin(), messages.end(),
                             [stringId](const MessageBoxRequest& m) { return m.stringId == stringId; }));
}

StartupOptions StartupSandbox::Options() const
{
    StartupOptions o;
    o.programFolder = ProgramFolder();
    o.configFolder = ConfigFolder();
    o.defaultDataFolder = DefaultsFolder();
    o.executableFolder = m_root.filePath(QStringLiteral("bin"));
    o.printablePageMm = [] { return std::nullopt; };
    o.cardpullLibrary.clear();
    o.showMainFrame = false;
    return o;
}

std::unique_ptr<CDI_RptApp> StartupSandbox::Start(StartupOptions options)
{
    auto app = std::make_unique<CDI_RptApp>(std::move(options));
    if (!app->InitInstance())
        return nullptr;
    return app;
}

void StartupSandbox::WriteProgramFile(const QString& name, const QByteArray& bytes) const
{
    QDir().mkpath(ProgramFolder());
    QFile f(ProgramFolder() + QLatin1Char('/') + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray FieldIni(std::initializer_list<const char*> lines)
{
    QByteArray out;
    for (const char* line : lines)
        out += platform::toGbk(QString::fromUtf8(line)) + "\r\n";
    return out;
}

QByteArray PaletteBmp24(const std::vector<QRgb>& row)
{
    QImage img(int(row.size()), 1, QImage::Format_RGB32);
    for (int x = 0; x < int(row.size()); ++x)
        img.setPixel(x, 0, row[std::size_t(x)]);
    return platform::SaveDIB(platform::BitmapToDIB(img, 24));
}

QByteArray PaletteBmp8(const std::vector<QRgb>& table, const std::vector<int>& row)
{
    QImage img(int(row.size()), 1, QImage::Format_Indexed8);
    img.setColorTable(QVector<QRgb>(table.begin(), table.end()));
    for (int x = 0; x < int(row.size()); ++x)
        img.setPixel(x, 0, uint(row[std::size_t(x)]));
    return platform::SaveDIB(platform::BitmapToDIB(img, 8));
}
