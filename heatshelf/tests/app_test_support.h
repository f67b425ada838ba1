// A sandbox for starting the browser offscreen (program and settings
// folders in a temporary folder, message boxes recorded), a fake image
// view state, and small BMP builders.
#pragma once

#include "heatshelf_app.h"
#include "folder_view.h"
#include "view_state.h"

#include "skin/message_box.h"

#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <vector>

void EnsureQApplication();

class StartupSandbox {
public:
    StartupSandbox();
    ~StartupSandbox();

    heatshelf::StartupOptions Options() const;
    std::unique_ptr<heatshelf::CHeatshelfApp> Start(heatshelf::StartupOptions options);
    std::unique_ptr<heatshelf::CHeatshelfApp> Start() { return Start(Options()); }

    QString ProgramFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString Path(const QString& name) const { return m_root.filePath(name); }
    // Writes a file into the program folder (made when missing).
    void WriteProgramFile(const QString& name, const QByteArray& bytes) const;
    // Seeds the program folder now, as start-up would.
    void Seed() const;

    std::vector<MessageBoxRequest> messages;

private:
    QTemporaryDir m_root;
};

// The image view's state as the frame sees it, with a log of what it was
// told ("step 3 0", "play", "scroll v 0 0", "theme").
class FakeImageView : public heatshelf::CFolderView, public heatshelf::IImageViewState {
public:
    explicit FakeImageView(QWidget* parent = nullptr) : CFolderView(parent) {}

    heatshelf::CFolderView* View() override { return this; }
    int DisplayBits() const override { return bits; }
    void SetDisplayBits(int b) override { bits = b; }
    QString CurrentFileName() const override { return file; }
    void SetCurrentFileName(const QString& name) override { file = name; }
    bool NoFile() const override { return noFile; }
    bool IsFirst() const override { return first; }
    bool IsLast() const override { return last; }
    bool Invert() const override { return invert; }
    void SetInvert(bool on) override { invert = on; }
    bool ShowMeasureObjects() const override { return marks; }
    void SetShowMeasureObjects(bool on) override { marks = on; }
    bool HasSoundNote() const override { return sound; }
    bool SoundButton() const override { return soundButton; }
    void Step(int what, bool force) override { log.push_back(QStringLiteral("step %1 %2").arg(what).arg(int(force))); }
    void PlayVoiceNote() override { log.push_back(QStringLiteral("play")); }
    void Scroll(bool vertical, int code, int position) override
    {
        log.push_back(QStringLiteral("scroll %1 %2 %3").arg(vertical ? "v" : "h").arg(code).arg(position));
    }
    void ApplyTheme() override { log.push_back(QStringLiteral("theme")); }

    int bits = 0;
    QString file;
    bool noFile = true, first = false, last = false, invert = false, marks = true, sound = false,
         soundButton = false;
    std::vector<QString> log;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// BMP files. 8-bit: the colour table as given, one row of pixel values
// (height rows, each the same). 24-bit: pixels as given, width x height.
QByteArray Bmp8(const std::vector<QRgb>& table, const std::vector<int>& row, int height = 1);
QByteArray Bmp24(int width, int height, const std::vector<QRgb>& pixels);

QImage Grab(QWidget& w);
void SaveShot(const QImage& image, const QString& name);
COLORREF PixelAt(const QImage& image, int x, int y);

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
