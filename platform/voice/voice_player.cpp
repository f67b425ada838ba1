// The process's voice player: the one installed, else a silent one (a
// program installs the Qt Multimedia player at start).
#include "platform/voice_player.h"

#include "silent_voice_player.h"

namespace platform {
namespace {

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

InstalledVoicePlayer::InstalledVoicePlayer(std::unique_ptr<VoicePlayer> player)
    : m_player(std::move(player)), m_previous(InstallVoicePlayer(m_player.get()))
{
}

InstalledVoicePlayer::~InstalledVoicePlayer()
{
    InstallVoicePlayer(m_previous);
    m_player.reset();
}

} // namespace platform
