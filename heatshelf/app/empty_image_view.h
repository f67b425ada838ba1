// The right pane until the image view exists: a form on the theme's base
// shade with the view state of an empty folder (single-image mode, no
// file). The image view replaces it through CMainFrame's view factory.
#pragma once

#include "folder_view.h"
#include "view_state.h"

namespace heatshelf {

class Theme;

class CEmptyImageView : public CFolderView, public IImageViewState {
    Q_OBJECT
public:
    CEmptyImageView(const Theme& theme, QWidget* parent = nullptr);

    CFolderView* View() override { return this; }
    int DisplayBits() const override { return m_bits; }
    void SetDisplayBits(int bits) override { m_bits = bits; }
    QString CurrentFileName() const override { return m_file; }
    void SetCurrentFileName(const QString& name) override { m_file = name; }
    bool NoFile() const override { return true; }
    bool IsFirst() const override { return true; }
    bool IsLast() const override { return true; }
    bool Invert() const override { return m_invert; }
    void SetInvert(bool on) override { m_invert = on; }
    bool ShowMeasureObjects() const override { return m_marks; }
    void SetShowMeasureObjects(bool on) override { m_marks = on; }
    bool HasSoundNote() const override { return false; }
    bool SoundButton() const override { return false; }
    void Step(int, bool) override { update(); }
    void PlayVoiceNote() override {}
    void Scroll(bool, int, int) override {}
    void ApplyTheme() override { update(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const Theme& m_theme;
    int m_bits = 0;
    QString m_file;
    bool m_invert = false;
    bool m_marks = true;
};

} // namespace heatshelf
