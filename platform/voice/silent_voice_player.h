// The player of a process without sound: a readable note "plays" in
// silence, and there is no output.
#pragma once

#include "platform/voice_player.h"

#include <QFileInfo>

namespace platform {

class SilentVoicePlayer : public VoicePlayer {
public:
    bool PlayFile(const QString& path) override { return QFileInfo(path).isReadable(); }
    void Stop() override {}
    bool HasOutput() const override { return false; }
};

} // namespace platform
