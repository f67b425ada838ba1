// The module that holds the Qt Multimedia voice player, loaded by the lazy
// player (MakeLazyVoicePlayer) on the first note.
#include "platform/voice_player.h"

extern "C" Q_DECL_EXPORT platform::VoicePlayer* kestrel_make_voice_player()
{
    return platform::MakeQtVoicePlayer().release();
}
