// The module that holds the voice player and the sound libraries it plays
// through, loaded by the lazy player (MakeLazyVoicePlayer) on the first note.
#include "platform/voice_player.h"

extern "C" Q_DECL_EXPORT platform::VoicePlayer* kestrel_make_voice_player()
{
    return platform::MakeSinkVoicePlayer().release();
}
