// The voice player: plays a voice note (a WAV file) asynchronously, the way
// a camera program plays a note: one player for the whole process, no
// default sound when the file cannot be played, and a new note replacing
// the one still playing.
//
// The process's player is the Qt Multimedia one (platform_voice) unless a
// program or a test installs another (the recording player of tests).
#pragma once

#include <QString>

namespace platform {

class VoicePlayer {
public:
    virtual ~VoicePlayer() = default;
    // Starts playing the WAV file at path and returns at once; a note still
    // playing stops. False when the file cannot be read (nothing plays).
    virtual bool PlayFile(const QString& path) = 0;
    // Stops what is playing (nothing when silent).
    virtual void Stop() = 0;
};

// The process's player: the one installed, else the Qt Multimedia player.
VoicePlayer& CurrentVoicePlayer();
// Installs a player for the whole process (null: the Qt Multimedia player
// again); returns the one installed before (null for the default). The
// caller keeps ownership.
VoicePlayer* InstallVoicePlayer(VoicePlayer* player);

} // namespace platform
