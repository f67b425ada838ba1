// Heatshelf, the image browser.
#include "heatshelf_app.h"
#include "heatshelf_view.h"

#include "platform/quit_on_signals.h"
#include "platform/startup_probe.h"
#include "platform/voice_probe.h"
#include "platform/voice_player.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "heatshelf: the image browser needs a graphical session "
                             "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    QApplication qapp(argc, argv);
    // SIGTERM, SIGINT and SIGHUP end the event loop: the program then leaves
    // the normal way and removes its temporary files.
    platform::QuitOnSignals quitOnSignals;
    QApplication::setApplicationName(QStringLiteral("Heatshelf"));
    QApplication::setOrganizationName(QStringLiteral("kestrelworksA"));

    const platform::InstalledVoicePlayer voicePlayer(platform::MakeLazyVoicePlayer());
    heatshelf::StartupOptions options;
    options.makeView = heatshelf::CHeatshelfView::Factory();
    heatshelf::CHeatshelfApp app(std::move(options));
    if (!app.InitInstance())
        return app.ExitInstance();
    // The camera file the program was started with (the menu entry's %f, a
    // file manager's "open with").
    if (const QStringList files = QApplication::arguments().mid(1); !files.isEmpty())
        app.OpenDocumentFile(files.first());

    // Start-up measurement (bench/heatshelf).
    platform::ArmStartupProbe("HEATSHELF_STARTUP_PROBE");
    // The voice player's exit test (platform/tests/voice_exit_test.py).
    platform::ArmVoiceProbe("KESTREL_VOICE_PROBE");
    const int result = quitOnSignals.exec();
    app.ExitInstance();
    return result;
}
