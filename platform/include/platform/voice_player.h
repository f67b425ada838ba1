// The voice player: plays a voice note (a WAV file) asynchronously, the way
// a camera program plays a note: one player for the whole process, no
// default sound when the file cannot be played, and a new note replacing
// the one still playing.
//
// The process's player is a silent one until a program installs the Qt
// Multimedia player (platform_voice_qt, QtVoicePlayerInstance) at start;
// tests install the recording player.
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

// The process's player: the one installed, else a silent one.
VoicePlayer& CurrentVoicePlayer();
// Installs a player for the whole process (null: the silent one again);
// returns the one installed before (null for the default). The caller keeps
// ownership.
VoicePlayer* InstallVoicePlayer(VoicePlayer* player);
// The Qt Multimedia player (platform_voice_qt): one sound effect for the
// process, made on first use on the program's thread.
VoicePlayer& QtVoicePlayerInstance();

} // namespace platform
