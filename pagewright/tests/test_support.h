// Shared pieces of the report designer's tests: one QApplication, a
// start-up in private folders, and a record of the message boxes shown.
#pragma once

#include "skin/message_box.h"
#include "rpt_app.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

void EnsureQApplication();

// A program folder, config folder and defaults folder of its own, and the
// message boxes shown while it lives (answered with OK, but see saveAnswer).
class StartupSandbox {
public:
    StartupSandbox();
    ~StartupSandbox();

    StartupOptions Options() const;
    // Starts an application object (not shown); null when start-up failed.
    std::unique_ptr<CDI_RptApp> Start(StartupOptions options);
    std::unique_ptr<CDI_RptApp> Start() { return Start(Options()); }

    QString ProgramFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString ConfigFolder() const { return m_root.filePath(QStringLiteral("config")); }
    QString DefaultsFolder() const { return QStringLiteral(PAGEWRIGHT_DEFAULT_DATA); }
    QString Path(const QString& name) const { return m_root.filePath(name); }

    // Writes a file into the program folder (made when missing).
    void WriteProgramFile(const QString& name, const QByteArray& bytes) const;

    std::vector<MessageBoxRequest> messages;
    // The answer to "save the changes?" when a report with unsaved work
    // closes. Not "yes": that would open a save dialog nobody closes.
    int saveAnswer = IDNO_ANSWER;
    // How many of the messages shown came from string stringId.
    int Shown(int stringId) const;

private:
    QTemporaryDir m_root;
};

// A field.ini in GBK with CRLF line ends from UTF-8 lines.
QByteArray FieldIni(std::initializer_list<const char*> lines);

// A 24-bit or 8-bit BMP file, one row high, of the given colours (the
// 8-bit form gets a colour table of exactly those colours, pixel i = i).
QByteArray PaletteBmp24(const std::vector<QRgb>& row);
QByteArray PaletteBmp8(const std::vector<QRgb>& table, const std::vector<int>& row);
