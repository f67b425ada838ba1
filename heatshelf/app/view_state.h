// What the main frame asks of the image view (the right pane): its display
// mode and file flags for the commands' enable and radio rules, and the
// steps it is told to take. The image view implements it; tests use a fake.
#pragma once

#include <QString>

class QWidget;

namespace heatshelf {

class CFolderView;

class IImageViewState {
public:
    virtual ~IImageViewState() = default;

    // The pane's widget.
    virtual CFolderView* View() = 0;

    // Display bits: 1 single image, 2 thumbnail grid (0 before the first
    // command update, which makes it 1).
    virtual int DisplayBits() const = 0;
    virtual void SetDisplayBits(int bits) = 0;
    bool IsThumbnailMode() const { return DisplayBits() == 2; }

    virtual QString CurrentFileName() const = 0;
    virtual void SetCurrentFileName(const QString& name) = 0;
    // No current file; the current file is the first, the last.
    virtual bool NoFile() const = 0;
    virtual bool IsFirst() const = 0;
    virtual bool IsLast() const = 0;

    virtual bool Invert() const = 0;
    virtual void SetInvert(bool on) = 0;
    virtual bool ShowMeasureObjects() const = 0;
    virtual void SetShowMeasureObjects(bool on) = 0;
    // The current file carries a voice note; the sound button's flag.
    virtual bool HasSoundNote() const = 0;
    virtual bool SoundButton() const = 0;

    // Message 2024: first (0), previous (1), next (2), show again (3);
    // force re-lays the view out.
    virtual void Step(int what, bool force) = 0;
    // Message 2029, posted: play the current voice note.
    virtual void PlayVoiceNote() = 0;
    // A scroll code of a skin bar, forwarded unchanged.
    virtual void Scroll(bool vertical, int code, int position) = 0;
    // The theme changed: new brushes, skin bitmaps and a repaint.
    virtual void ApplyTheme() = 0;
};

} // namespace heatshelf
