// The voice player: plays a voice note (a WAV file) asynchronously, the way
// a camera program plays a note: one player for the whole process, no
// default sound when the file cannot be played, and a new note replacing
// the one still playing.
//
// The process's player is a silent one until a program installs the sound
// player at start (loaded from its module on first use,
// MakeLazyVoicePlayer), for as long as its application object lives; tests
// install the recording player.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

class VoicePlayer {
public:
    virtual ~VoicePlayer() = default;
    // Starts playing the WAV file at path and returns at once; a note still
    // playing stops. False when the file cannot be read (nothing plays).
    virtual bool PlayFile(const QString& path) = 0;
    // Stops what is playing (nothing when silent).
    virtual void Stop() = 0;
    // False when there is no sound output to play on: a note then plays
    // silently and the program tells the user so.
    virtual bool HasOutput() const = 0;
};

// The process's player: the one installed, else a silent one.
VoicePlayer& CurrentVoicePlayer();
// Installs a player for the whole process (null: the silent one again);
// returns the one installed before (null for the default). The caller keeps
// ownership.
VoicePlayer* InstallVoicePlayer(VoicePlayer* player);
// Owns a player and installs it for its own lifetime; the player installed
// before comes back when it ends. A program makes one after its application
// object, so that the player (and the note it plays) is gone before the
// application object is.
class InstalledVoicePlayer {
public:
    explicit InstalledVoicePlayer(std::unique_ptr<VoicePlayer> player);
    ~InstalledVoicePlayer();
    InstalledVoicePlayer(const InstalledVoicePlayer&) = delete;
    InstalledVoicePlayer& operator=(const InstalledVoicePlayer&) = delete;

private:
    std::unique_ptr<VoicePlayer> m_player;
    VoicePlayer* m_previous;
};

// Where the programs look for the player's module: their own folder,
// lib/kestrel-suite beside it, then the build's module folder.
QStringList VoiceModuleFolders();

// The sound player (platform_voice_qt), used from the program's thread:
// PCM notes (8 or 16 bits, mono or stereo) played from the player's own
// copy of their samples, on a thread of the player's own, through the
// sound server (libpulse, its main loop turned by that thread; PipeWire's
// server too), else ALSA's default device; other files do not play.
// HasOutput asks the server for its outputs (else ALSA for a sound card).
// Its destructor stops the note, closes the output and joins its thread:
// nothing of it runs afterwards, so the program's exit never meets a sound
// library still at work.
std::unique_ptr<VoicePlayer> MakeSinkVoicePlayer();

// The module holding the sound player, and the C function in it that makes
// one (the caller owns it).
inline constexpr char kVoiceModuleName[] = "libkestrel_voice_qt.so";
inline constexpr char kVoiceModuleEntry[] = "kestrel_make_voice_player";

// A player that loads the sound player from the module, looked for
// in folders in order, when the first note plays or the output is asked
// for, so that a program starts without the sound libraries. Without a
// module that loads it is the silent player.
std::unique_ptr<VoicePlayer> MakeLazyVoicePlayer(QStringList folders = VoiceModuleFolders());

} // namespace platform
