// The process's voice player: the one installed, else a silent one (a
// program installs the Qt Multimedia player at start).
#include "platform/voice_player.h"

#include <QFileInfo>

namespace platform {
namespace {

class SilentVoicePlayer : public VoicePlayer {
public:
    bool PlayFile(const QString& path) override { return QFileInfo(path).isReadable(); }
    void Stop() override {}
};

VoicePlayer* g_installed = nullptr;

} // namespace

VoicePlayer& CurrentVoicePlayer()
{
    if (g_installed != nullptr)
        return *g_installed;
    static SilentVoicePlayer silent;
    return silent;
}

VoicePlayer* InstallVoicePlayer(VoicePlayer* player)
{
    VoicePlayer* previous = g_installed;
    g_installed = player;
    return previous;
}

} // namespace platform
