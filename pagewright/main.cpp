// Pagewright, the report designer.
#include "skin/message_box.h"
#include "rpt_app.h"

#include "document/draw_class.h"
#include "content/table_objects.h"
#include "content/chart_objects.h"
#include "content/text_objects.h"
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"
#include "platform/quit_on_signals.h"
#include "platform/startup_probe.h"
#include "platform/voice_probe.h"
#include "skin/dialog_base.h"
#include "wizard_dialogs.h"
#include "platform/voice_player.h"

#include <QApplication>

#include <cstdio>

// Cardpull shows its messages through this hook of the host program.
extern "C" __attribute__((visibility("default"))) void cardpull_message_hook(const char* text, const char* caption)
{
    AfxMessageBox(QString::fromUtf8(text ? text : ""), MB_ICONEXCLAMATION, QString::fromUtf8(caption ? caption : ""));
}

int main(int argc, char** argv)
{
    // Without a window system Qt would only list its platform plugins.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "pagewright: the report designer needs a graphical session "
                             "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    QApplication qapp(argc, argv);
    // SIGTERM, SIGINT and SIGHUP end the event loop: the program then leaves
    // the normal way and removes its temporary files.
    platform::QuitOnSignals quitOnSignals;
    // The object classes a report may hold beyond the document's own.
    CDrawIR::Register(DrawClassRegistry::Standard());
    RegisterTextObjects(DrawClassRegistry::Standard());
    RegisterTableObjects(DrawClassRegistry::Standard());
    RegisterChartObjects(DrawClassRegistry::Standard());
    CDraw3DMap::Register(DrawClassRegistry::Standard());
    // Voice notes play through Qt Multimedia, loaded on the first note.
    const platform::InstalledVoicePlayer voicePlayer(platform::MakeLazyVoicePlayer());
    QApplication::setApplicationName(QStringLiteral("Pagewright"));
    QApplication::setOrganizationName(QStringLiteral("kestrelworksA"));

    // Start-up measurement (bench/pagewright) and the voice exit test: the
    // first new report starts empty instead of waiting in the template
    // chooser.
    if (qEnvironmentVariableIsSet("PAGEWRIGHT_STARTUP_PROBE") || qEnvironmentVariableIsSet("KESTREL_VOICE_PROBE"))
        SetWizardDialogRunner([](CDialog&) { return CDialog::kIdOk; });

    StartupOptions options;
    options.arguments = QApplication::arguments().mid(1);
    CDI_RptApp app(options);
    if (!app.InitInstance())
        return app.ExitInstance();

    // Start-up measurement (bench/pagewright).
    platform::ArmStartupProbe("PAGEWRIGHT_STARTUP_PROBE");
    // The voice player's exit test (platform/tests/voice_exit_test.py).
    platform::ArmVoiceProbe("KESTREL_VOICE_PROBE");
    const int result = quitOnSignals.exec();
    app.ExitInstance();
    return result;
}
