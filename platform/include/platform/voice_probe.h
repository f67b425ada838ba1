// The voice exit probe of the programs (platform/tests/voice_exit_test.py
// and its stress run, tools/voice-exit-stress): when the environment
// variable names a WAV file, once the shown main frame has been through the
// event loop the program asks its voice player for the output (as the image
// browser does before a note), plays the file, prints
// "voice output <0|1> played <0|1>" and quits after the milliseconds in
// <variable>_QUIT_MS (0 when unset), while the note may still be playing:
// the way a user plays a note and closes the program.
#pragma once

#include "platform/voice_player.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace platform {

inline void ArmVoiceProbe(const char* variable)
{
    const QString note = qEnvironmentVariable(variable);
    if (note.isEmpty())
        return;
    const int quitMs = qEnvironmentVariableIntValue((QByteArray(variable) + "_QUIT_MS").constData());
    QTimer::singleShot(0, QCoreApplication::instance(), [note, quitMs] {
        VoicePlayer& player = CurrentVoicePlayer();
        const bool output = player.HasOutput();
        const bool played = player.PlayFile(note);
        std::printf("voice output %d played %d\n", output ? 1 : 0, played ? 1 : 0);
        std::fflush(stdout);
        QTimer::singleShot(quitMs, QCoreApplication::instance(), &QCoreApplication::quit);
    });
}

} // namespace platform
