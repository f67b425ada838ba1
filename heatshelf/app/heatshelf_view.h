// CHeatshelfView: the browser's right pane (form 130). It shows the infrared
// files of the current folder one at a time (the picture with its stored
// marks, colour bar and scale, the visible photo, the palette combo 32773,
// the level slider 1002, the category list 1054 and the result list 1005)
// or as a grid of thumbnails. The frame drives it through IImageViewState;
// the headless work (walk, render, level, voice note) is ImageViewCore's,
// the thumbnails' pictures are ThumbnailWorker's.
#pragma once

#include "folder_view.h"
#include "main_frame.h"
#include "view_state.h"

#include "heatshelf/folder_scan.h"
#include "heatshelf/file_rename.h"
#include "heatshelf/image_view_core.h"
#include "heatshelf/thumbnail_cache.h"
#include "heatshelf/thumbnail_worker.h"
#include "heatshelf/view_geometry.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QPixmap>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CFlatComboBox;
class QMenu;

namespace heatshelf {

class CHeaderCtrlCl;
class CRangeSlider;
class CScrollListCtrl;
class CSkinListCtrl;
class PaletteTable;
class Theme;

class CHeatshelfView : public CFolderView, public IImageViewState {
    Q_OBJECT
public:
    // Control ids of the form.
    static constexpr int kLevelSlider = 1002;
    static constexpr int kResultList = 1005;
    static constexpr int kCategoryList = 1054;
    static constexpr int kNoCategory = 5;
    // The level slider: its top below the picture's bottom, its height.
    static constexpr int kSliderTop = 45;
    static constexpr int kSliderHeight = 30;
    // Thumbnails' pictures: the grid cell less its frame and name.
    static constexpr QSize kThumbPicture{64, 48};

    CHeatshelfView(const Theme& theme, const PaletteTable& palettes, const QString& programFolder,
                   QWidget* parent = nullptr);
    ~CHeatshelfView() override;

    // The image view of the running application (its theme, palettes and
    // program folder), for StartupOptions::makeView.
    static CMainFrame::ViewFactory Factory();

    // ---- what the frame asks and tells ----
    CFolderView* View() override { return this; }
    int DisplayBits() const override { return m_displayBits; }
    void SetDisplayBits(int bits) override { m_displayBits = bits; }
    QString CurrentFileName() const override { return m_core.currentFile(); }
    void SetCurrentFileName(const QString& name) override { SetCurrentFile(name); }
    bool NoFile() const override { return m_bNoFile; }
    bool IsFirst() const override { return m_bAtFirst; }
    bool IsLast() const override { return m_bAtLast; }
    bool Invert() const override { return m_bInvert; }
    void SetInvert(bool on) override { m_bInvert = on; }
    bool ShowMeasureObjects() const override { return m_bShowObjects; }
    void SetShowMeasureObjects(bool on) override { m_bShowObjects = on; }
    bool HasSoundNote() const override;
    bool SoundButton() const override { return m_bSoundChecked; }
    // Message 2024.
    void Step(int what, bool force) override;
    // Message 2029 (posted by the frame).
    void PlayVoiceNote() override { OnPlayVoice(); }
    void Scroll(bool vertical, int code, int position) override;
    void ApplyTheme() override;

    void SetCurrentFile(const QString& path) { m_core.SetCurrentFile(path); }
    // Message 2025: which 1 the low end, 2 the high end. Nothing happens
    // without a picture.
    void OnLevelSpan(int which, float temperature);
    // Message 2029: the player's answer for the note just extracted; 0 when
    // there is no note (or no current file), -1 when the file does not open.
    int OnPlayVoice();
    // Rebuild the result list for the selected category.
    void OnCategoryClick();
    void OnCategoryDblClk() { OnCategoryClick(); }
    // Command 32775: the rename dialog for the thumbnail last right-clicked;
    // a refused name is said and the dialog stays open.
    void OnRename();
    // Renames thumbnail index to a plain new name of the same folder. A file
    // that no longer opens under its new name (an extension the browser
    // does not show) leaves the grid; the current file moves to the cell
    // that takes its place.
    RenameOutcome RenameThumbnail(int index, const QString& newName);
    // The question asked before a camera file gets an extension the browser
    // does not show (naming the consequence); empty when none is asked.
    static QString ExtensionChangeQuestion(const QString& oldName, const QString& newName);
    // Why a rename to newName was refused, for the user.
    static QString RenameRefusal(RenameOutcome outcome, const QString& newName);
    // The rename dialog; tests replace it. It offers names to tryName, which
    // renames or says why not (empty when the name was taken), until one is
    // taken (true) or the user cancels (false).
    using TryName = std::function<QString(const QString& name)>;
    std::function<bool(const QString& oldName, const TryName& tryName)> askNewName;

    // ---- state, for the frame's timers and for tests ----
    bool IsThumbnails() const { return m_bThumbnails; }
    int CurrentIndex() const { return m_core.walk().index; }
    int Category() const { return m_nCategory; }
    int Palette() const { return m_nPalette; }
    ImageViewCore& Core() { return m_core; }
    const ImageViewCore& Core() const { return m_core; }
    ThumbnailWorker& Worker() { return *m_worker; }
    // The grid's files are still being found (listed and open-tested off
    // this thread); they appear as their tests end.
    bool IsListing() const { return m_listing; }
    ThumbnailCache& ThumbCache() { return m_thumbCache; }
    CFlatComboBox* PaletteCombo() const { return m_cboPalette; }
    CScrollListCtrl* ResultList() const { return m_lstResults; }
    CSkinListCtrl* CategoryList() const { return m_lstCategories; }
    CRangeSlider* LevelSlider() const { return m_sldLevel; }
    CHeaderCtrlCl* ResultHeader() const { return m_hdrResults; }
    // Where the picture goes in the present client area.
    std::optional<Rect> PictureRectangle() const;

    struct GridThumb {
        QString name;
        FileStamp stamp; // the file as it was found
        enum State { Pending, Ready, Failed } state = Pending;
        // What painting keeps between paints: the grid repaints whole at
        // every scroll step while it fills.
        QImage picture;    // scaled to the cell, decoded once; null until it arrives
        QStaticText label; // the name as shown, laid out once
    };
    const std::vector<GridThumb>& Thumbs() const { return m_thumbs; }
    int SelectedThumb() const { return m_nThumbSelected; }
    int ThumbMenuItem() const { return m_nThumbMenuItem; }
    // The grid's first shown row (the frame's vertical bar).
    int GridTopRow() const;
    // The grid cell of a thumbnail in view coordinates, shrunk by its
    // one-pixel gap.
    QRect ThumbCellRect(int index) const;
    // The selection frame's and the name's rectangles of a thumbnail, in
    // view coordinates.
    QRect ThumbFrameQRect(int index) const;
    QRect ThumbNameQRect(int index) const;
    // The scale's unit text.
    static QString UnitText();
    // The name a thumbnail's cell shows (shortened, and cut to the cell),
    // and its tooltip: the whole name when the cell shows less, else empty.
    QString ThumbLabelText(int index) const;
    QString ThumbToolTip(int index) const;

signals:
    // Every file of the grid's folder has been found.
    void gridListed();
    // Every file of the grid's folder has been found and every thumbnail
    // has its picture (or has failed).
    void thumbnailsDone();

protected:
    // Tooltips: a cut name shows whole over its cell.
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    // The wheel scrolls the grid a row per notch through the frame's bar.
    void wheelEvent(QWheelEvent* e) override;

private:
    void OnInitialUpdate();
    void RenderCurrent();
    void renderThumbnails();
    void showControls(bool show);
    void fillCategoryList();
    void layoutLists();
    void startTimer1() { m_timer1.start(); }
    void startTimer2() { m_timer2.start(); }
    void clearThumbs();
    void onThumbRendered(int batch, const QString& path, const QByteArray& dib);
    void onFilesFound(int batch, const QList<ScannedFile>& files, bool finished);
    // Leaves the grid: its files and pictures under way are given up.
    void stopGrid();
    // Scrolls the grid the least that shows the cell whole.
    void scrollToThumb(int index);
    void updateGridBar();
    void prioritiseVisible();
    void selectThumb(int index);
    // Drops a thumbnail whose file no longer opens (renamed away, gone):
    // the grid and the current file follow.
    void removeThumb(int index);
    QString folderPath(const QString& name) const;
    // The main frame the view sits in; null outside one.
    CMainFrame* mainFrame() const;

    void paintSingle(QPainter& p);
    void paintThumbnails(QPainter& p);
    // The picture with its board and stored marks, the size of rect.
    QImage composePicture(const Rect& picture) const;
    void drawScale(QPainter& p, const Rect& picture);
    void placeControls(const Rect& picture);

    const Theme& m_theme;
    const PaletteTable& m_palettes;

    CFlatComboBox* m_cboPalette = nullptr;
    CScrollListCtrl* m_lstResults = nullptr;
    CSkinListCtrl* m_lstCategories = nullptr;
    CRangeSlider* m_sldLevel = nullptr;
    CHeaderCtrlCl* m_hdrResults = nullptr;

    bool m_bAtLast = true;
    bool m_bAtFirst = true;
    bool m_bNoFile = true;
    bool m_bInvert = false;
    bool m_bThumbnails = false;
    bool m_bSoundChecked = false;
    bool m_bShowObjects = true;
    int m_nCategory = kNoCategory;
    bool m_bRelayout = true;
    bool m_bPaletteChosen = false;
    int m_nPalette = -1;
    int m_displayBits = 0;

    ImageViewCore m_core;
    // Finds the grid's files through m_core's open test: declared after it,
    // it is destroyed first.
    std::unique_ptr<FolderScan> m_scan;
    int m_scanBatch = 0;
    bool m_listing = false;
    ThumbnailCache m_thumbCache;
    QString m_selectName; // the file to select once the grid has found it
    QByteArray m_photoDib;  // the current photo as a packed bitmap
    std::unique_ptr<ThumbnailWorker> m_worker;
    int m_thumbBatch = 0;
    std::vector<GridThumb> m_thumbs;
    QHash<QString, int> m_thumbIndex;  // name -> index in m_thumbs
    int m_thumbsPending = 0;            // thumbnails still Pending
    int m_nThumbSelected = 0;
    int m_wheelRemainder = 0; // wheel movement short of a notch
    int m_nThumbMenuItem = -1;
    // The grid's first row when the single image was entered (-1: none),
    // and the row to bring the grid back to once enough files are found.
    int m_gridTopLeft = -1;
    int m_gridTopWanted = -1;
    QRect m_rcThumbSelection;

    QTimer m_timer1;  // repaint
    QTimer m_timer2;  // the frame re-lays its right pane out
    QMenu* m_menu = nullptr;
};

} // namespace heatshelf
