// A voice player for tests: it plays nothing and records each note it was
// asked to play (the path and the file's bytes at that moment, which later
// writes of the same scratch file do not change).
#pragma once

#include "platform/voice_player.h"

#include <QByteArray>
#include <QFile>

#include <vector>

namespace platform {

class RecordingVoicePlayer : public VoicePlayer {
public:
    struct Played {
        QString path;
        QByteArray bytes;
    };

    // Installs itself for its lifetime.
    RecordingVoicePlayer() : m_previous(InstallVoicePlayer(this)) {}
    ~RecordingVoicePlayer() override { InstallVoicePlayer(m_previous); }
    RecordingVoicePlayer(const RecordingVoicePlayer&) = delete;
    RecordingVoicePlayer& operator=(const RecordingVoicePlayer&) = delete;

    bool PlayFile(const QString& path) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        played.push_back({path, file.readAll()});
        playing = true;
        return true;
    }
    void Stop() override { playing = false; }
    bool HasOutput() const override { return hasOutput; }

    std::vector<Played> played;
    bool playing = false;
    bool hasOutput = true; // false: as on a machine without sound output

private:
    VoicePlayer* m_previous;
};

} // namespace platform
