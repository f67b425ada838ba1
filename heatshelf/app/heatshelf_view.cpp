#include "heatshelf_view.h"

#include "category_icons.h"
#include "current_folder.h"
#include "frame_resources.h"
#include "heatshelf_app.h"
#include "palette_table.h"
#include "rename_dlg.h"
#include "resource_ids.h"
#include "string_table.h"
#include "taller_item_delegate.h"

#include "heatshelf/file_rename.h"
#include "heatshelf/folder_walk.h"
#include "heatshelf/header_ctrl_cl.h"
#include "heatshelf/range_slider.h"
#include "heatshelf/result_rows.h"
#include "heatshelf/scroll_list_ctrl.h"
#include "heatshelf/skin_list_ctrl.h"
#include "heatshelf/theme.h"
#include "platform/dib.h"
#include "platform/open_refusal.h"
#include "skin/message_box.h"
#include "platform/voice_player.h"
#include "skin/color_status_bar.h"
#include "skin/colors.h"
#include "skin/flat_combo_box.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_scroll_frame.h"

#include <QAction>
#include <QHelpEvent>
#include <QToolTip>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QThread>

#include <algorithm>

namespace heatshelf {

namespace {

// The lists' text and background in the theme's base shade.
void paintListIn(QWidget* list, COLORREF base)
{
    QPalette pal = list->palette();
    const QColor c = skin::ToQColor(base);
    pal.setColor(QPalette::Base, c);
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::AlternateBase, c);
    list->setPalette(pal);
}

QString cellText(const Cell& cell) { return cell.stringId != 0 ? LoadStringRes(cell.stringId) : cell.text; }

} // namespace

CHeatshelfView::CHeatshelfView(const Theme& theme, const PaletteTable& palettes, const QString& programFolder,
                               QWidget* parent)
    : CFolderView(parent), m_theme(theme), m_palettes(palettes), m_core(programFolder),
      m_scan(std::make_unique<FolderScan>(m_core.openTest(), std::clamp(QThread::idealThreadCount() / 2, 1, 4))),
      m_worker(std::make_unique<ThumbnailWorker>(programFolder, kThumbPicture, thermcore::ExportedCalls(),
                                                 std::clamp(QThread::idealThreadCount() - 1, 1, 4)))
{
    m_cboPalette = new CFlatComboBox(this);
    m_cboPalette->setObjectName(QString::number(res::ID_PALETTE_SELECT));
    m_lstResults = new CScrollListCtrl(this);
    m_lstResults->setObjectName(QString::number(kResultList));
    m_lstCategories = new CSkinListCtrl(this);
    m_lstCategories->setObjectName(QString::number(kCategoryList));
    m_sldLevel = new CRangeSlider(this);
    m_sldLevel->setObjectName(QString::number(kLevelSlider));
    m_hdrResults = new CHeaderCtrlCl;
    // A click in the grid or the picture takes the keyboard, as the class
    // library's views do: keys no longer reach the folder tree.
    setFocusPolicy(Qt::ClickFocus);

    m_timer1.setSingleShot(true);
    m_timer1.setInterval(10);
    connect(&m_timer1, &QTimer::timeout, this, [this] { update(); });
    m_timer2.setSingleShot(true);
    m_timer2.setInterval(10);
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        if (CMainFrame* frame = mainFrame())
            frame->RecalcPaneLayout();
    });
    // Emitted on this thread, a batch of results per turn of the event loop.
    connect(m_worker.get(), &ThumbnailWorker::rendered, this, &CHeatshelfView::onThumbRendered);
    connect(m_scan.get(), &FolderScan::found, this, &CHeatshelfView::onFilesFound);
    connect(m_cboPalette, qOverload<int>(&QComboBox::activated), this, [this](int) {
        m_bPaletteChosen = true;
        Step(res::kStepAgain, false);
    });
    connect(m_sldLevel, &CRangeSlider::thumbMoved, this, &CHeatshelfView::OnLevelSpan);
    connect(m_lstCategories, &QTreeWidget::itemClicked, this, [this] { OnCategoryClick(); });
    connect(m_lstCategories, &QTreeWidget::itemDoubleClicked, this, [this] { OnCategoryDblClk(); });

    askNewName = [this](const QString& oldName, const TryName& tryName) {
        CRenameDlg dlg(m_theme, this);
        dlg.m_strNewName = oldName;
        dlg.tryName = tryName;
        return dlg.exec() == QDialog::Accepted;
    };
    OnInitialUpdate();
}

CHeatshelfView::~CHeatshelfView()
{
    // The workers' results must not reach a half-destroyed view.
    disconnect(m_worker.get(), nullptr, this, nullptr);
    disconnect(m_scan.get(), nullptr, this, nullptr);
    m_worker.reset();
    m_scan.reset();
}

CMainFrame::ViewFactory CHeatshelfView::Factory()
{
    return [](QWidget* parent) -> IImageViewState* {
        CHeatshelfApp* app = TheApp();
        if (app == nullptr)
            return nullptr;
        return new CHeatshelfView(app->GetTheme(), app->Palettes(), app->ProgramDir(), parent);
    };
}

void CHeatshelfView::OnInitialUpdate()
{
    SkinWndScroll(m_lstResults, m_theme.SkinScrollBitmap(), true);
    SkinWndScroll(m_lstCategories, m_theme.SkinScrollBitmap(), true);
    for (int i = 1; i <= 10; ++i)
        m_cboPalette->addItem(QString::asprintf("Pallette%d", i));
    m_cboPalette->setEditable(false);
    m_cboPalette->setCurrentIndex(0);
    // The list's items stand two pixels taller than the list's own drawing asks.
    m_cboPalette->setItemDelegate(new CTallerItemDelegate(m_cboPalette->itemDelegate(), 2, m_cboPalette));
    m_cboPalette->setMaxVisibleItems(10);
    m_bRelayout = true;
    m_sldLevel->SetRange(0.0f, 100.0f);

    m_lstCategories->setHeaderHidden(true);
    m_lstCategories->setRootIsDecorated(false);
    m_lstCategories->setIndentation(0);
    m_lstCategories->setColumnCount(1);
    m_lstCategories->setIconSize(QSize(16, 16));
    m_lstCategories->setSelectionMode(QAbstractItemView::SingleSelection);
    const QList<QIcon> icons = CategoryIcons();
    for (int i = 0; i < 4; ++i) {
        auto* item = new QTreeWidgetItem({LoadStringRes(res::IDS_FIRST_LIST_TEXT + i)});
        item->setIcon(0, icons.value(i));
        m_lstCategories->addTopLevelItem(item);
    }
    m_lstResults->setRootIsDecorated(false);
    m_lstResults->setIndentation(0);
    m_lstResults->setHeader(m_hdrResults);
    m_hdrResults->setStretchLastSection(false);
    m_hdrResults->setSectionsMovable(false);
    m_nCategory = kNoCategory;
    ApplyTheme();
    m_lstCategories->setCurrentItem(m_lstCategories->topLevelItem(0));
    OnCategoryClick();
    // Nothing is shown until a folder is chosen.
    showControls(false);
}

QString CHeatshelfView::UnitText() { return LoadStringRes(res::IDS_TEMPERATURE_UNIT); }

CMainFrame* CHeatshelfView::mainFrame() const
{
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CMainFrame*>(w))
            return frame;
    }
    return nullptr;
}

QString CHeatshelfView::folderPath(const QString& name) const { return QDir(m_core.folder()).filePath(name); }

bool CHeatshelfView::HasSoundNote() const
{
    return const_cast<ImageViewCore&>(m_core).HasSoundNote() != 0;
}

void CHeatshelfView::Step(int what, bool force)
{
    m_core.SetFolder(CurrentFolder());
    // The tree shows the folder of the file shown, whatever brought it here.
    if (CMainFrame* frame = mainFrame())
        frame->FollowFolder(m_core.folder());
    if (force) {
        m_gridTopLeft = -1;
        m_gridTopWanted = -1;
    }
    if (what == res::kStepAgain) {
        if (m_displayBits != 2) {
            if (m_bThumbnails) {
                m_gridTopLeft = GridTopRow();
                stopGrid();
                startTimer2();
            }
        } else {
            m_bAtLast = m_bAtFirst = m_bNoFile = true;
            if (!m_bThumbnails && !force && m_core.walk().index >= 0) {
                // Back from the single image: its file is selected in the
                // grid and scrolled to once found (its place among the
                // files that open is its cell).
                m_selectName = m_core.walk().current;
                m_nThumbSelected = m_core.walk().index;
                // The grid comes back where the user left it.
                m_gridTopWanted = m_gridTopLeft;
            }
            if (!m_bThumbnails || force) {
                m_bThumbnails = true;
                startTimer2();
            }
        }
    } else if (force) {
        startTimer2();
    }
    if (m_core.currentFile().isEmpty())
        what = res::kStepFirst;
    if (m_bThumbnails) {
        if (force) {
            m_rcThumbSelection = QRect();
            m_nThumbSelected = 0;
            m_selectName.clear();
        } else if (m_selectName.isEmpty() && m_nThumbSelected >= 0 && m_nThumbSelected < int(m_thumbs.size())) {
            // The grid made again keeps its selection.
            m_selectName = m_thumbs[size_t(m_nThumbSelected)].name;
        }
        renderThumbnails();
        return;
    }
    if (m_bPaletteChosen) {
        m_nPalette = m_cboPalette->currentIndex();
        m_bPaletteChosen = false;
    } else {
        m_nPalette = -1;
    }
    m_core.SetInvert(m_bInvert);
    m_core.ChooseFile(what, m_nPalette);
    const WalkResult& w = m_core.walk();
    m_bNoFile = w.index == -1;
    m_bAtFirst = w.index == 0;
    m_bAtLast = w.atLast;
    RenderCurrent();
    OnCategoryClick();
    startTimer1();
}

void CHeatshelfView::RenderCurrent()
{
    if (m_bThumbnails) {
        renderThumbnails();
        return;
    }
    m_photoDib.clear();
    // The slider drives temperatures: without them (Thermcore's bad-handle
    // value) it is not shown.
    const bool temperatures = thermcore::IsTemperature(m_core.rangeLower()) &&
                              thermcore::IsTemperature(m_core.rangeUpper()) &&
                              thermcore::IsTemperature(m_core.windowLow()) && thermcore::IsTemperature(m_core.windowHigh());
    if (m_core.imageShown()) {
        if (m_core.rangeReset() && temperatures) {
            m_sldLevel->SetRange(m_core.rangeLower(), m_core.rangeUpper());
            m_sldLevel->SetMarkedInterval(m_core.windowLow(), m_core.windowHigh());
            m_sldLevel->SetThumbValues(m_core.windowLow(), m_core.windowHigh());
        }
        m_nPalette = m_core.palette();
        m_cboPalette->setCurrentIndex(m_nPalette);
        if (!m_core.photo().isNull())
            m_photoDib = platform::BitmapToDIB(m_core.photo().convertToFormat(QImage::Format_RGB32), 24);
        if (m_lstResults->isHidden())
            showControls(true);
        m_sldLevel->setVisible(temperatures);
        m_sldLevel->update();
    } else if (!m_lstResults->isHidden()) {
        showControls(false);
    }
    update();
}

void CHeatshelfView::showControls(bool show)
{
    m_cboPalette->setVisible(show);
    m_lstCategories->setVisible(show);
    m_lstResults->setVisible(show);
    m_sldLevel->setVisible(show);
    if (show)
        m_bRelayout = true;
}

void CHeatshelfView::OnLevelSpan(int which, float temperature)
{
    if (!m_core.SetLevel(which, temperature))
        return;
    // The picture and the scale under it: the scale's labels end 43 pixels
    // under the picture, below the top 60 % of a view lower than about 460
    // pixels.
    int bottom = int(height() * 0.6);
    if (const std::optional<Rect> p = PictureRectangle())
        bottom = std::max(bottom, p->bottom + 45);
    update(0, 0, width(), bottom);
}

int CHeatshelfView::OnPlayVoice()
{
    QString path;
    const int result = m_core.ExtractVoiceNote(&path);
    if (result < 0 && m_core.holder().handle() == nullptr)
        return -1;
    if (result != 1 || path.isEmpty() || QFileInfo(path).size() <= 0)
        return 0;
    platform::VoicePlayer& player = platform::CurrentVoicePlayer();
    // Without a sound output the note would play unheard: say so.
    if (!player.HasOutput()) {
        if (CMainFrame* frame = mainFrame(); frame != nullptr && frame->StatusBarCtrl() != nullptr)
            frame->StatusBarCtrl()->SetPaneText(0, LoadStringRes(res::IDS_NO_SOUND_OUTPUT));
    }
    return player.PlayFile(path) ? 1 : 0;
}

void CHeatshelfView::OnCategoryClick()
{
    const QList<QTreeWidgetItem*> chosen = m_lstCategories->selectedItems();
    if (chosen.isEmpty())
        return;
    m_nCategory = m_lstCategories->indexOfTopLevelItem(chosen.first());
    m_lstResults->clear();
    m_hdrResults->m_titles.clear();
    const bool shown = m_core.imageShown() && !m_bThumbnails;
    const ResultTable table =
        BuildResultTable(m_nCategory, shown ? &m_core.holder() : nullptr, shown ? m_core.currentFile() : QString());
    QStringList titles;
    for (const Column& c : table.columns)
        titles << cellText(c.title);
    m_lstResults->setColumnCount(int(titles.size()));
    m_lstResults->setHeaderLabels(titles);
    m_hdrResults->m_titles = titles;
    for (int i = 0; i < int(table.columns.size()); ++i)
        m_lstResults->setColumnWidth(i, table.columns[size_t(i)].width);
    QList<QTreeWidgetItem*> items;
    for (const std::vector<Cell>& row : table.rows) {
        QStringList texts;
        for (const Cell& c : row)
            texts << cellText(c);
        items << new QTreeWidgetItem(texts);
    }
    m_lstResults->addTopLevelItems(items);
    m_hdrResults->update();
}

void CHeatshelfView::ApplyTheme()
{
    SetSkinScrollBitmap(m_lstResults, m_theme.SkinScrollBitmap());
    SetSkinScrollBitmap(m_lstCategories, m_theme.SkinScrollBitmap());
    paintListIn(m_lstResults, m_theme.SkinBase());
    paintListIn(m_lstCategories, m_theme.SkinBase());
    m_hdrResults->SetColors(m_theme.SkinBase(), 4);
    m_cboPalette->RecreateBrushes();
    for (QWidget* w : {static_cast<QWidget*>(m_lstResults), static_cast<QWidget*>(m_lstCategories),
                       static_cast<QWidget*>(m_sldLevel), static_cast<QWidget*>(m_cboPalette)}) {
        w->update();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
            area->viewport()->update();
    }
    update();
}

// ---- layout ----

void CHeatshelfView::layoutLists()
{
    const int h = height();
    // Below the level slider: in a low window (under about 480 pixels) the
    // slider under the picture reaches past 65 % of the height.
    int top = int(0.65 * h);
    if (const std::optional<Rect> picture = PictureRectangle())
        top = std::max(top, picture->bottom + kSliderTop + kSliderHeight + 2);
    const int bottom = std::max(top, h - 4);
    m_lstCategories->setGeometry(QRect(QPoint(0, top), QPoint(89, bottom - 1)));
    m_lstResults->setGeometry(QRect(QPoint(90, top), QPoint(std::max(90, width() - 1), bottom - 1)));
}

void CHeatshelfView::resizeEvent(QResizeEvent* e)
{
    CFolderView::resizeEvent(e);
    m_bRelayout = true;
    layoutLists();
    if (m_bThumbnails) {
        // A selected cell in view stays in view (the frame narrows the
        // grid when its bar appears, which can move the cell down a row).
        const int sel = m_nThumbSelected;
        bool shown = false;
        if (sel >= 0 && sel < int(m_thumbs.size()) && e->oldSize().isValid()) {
            const int row = sel / ThumbColumns(e->oldSize().width());
            const int top = GridTopRow();
            shown = row >= top && row < top + std::max(1, e->oldSize().height() / 70);
        }
        updateGridBar();
        if (shown)
            scrollToThumb(sel);
        prioritiseVisible();
    }
    startTimer1();
}

std::optional<Rect> CHeatshelfView::PictureRectangle() const { return PictureRect(Rect{0, 0, width(), height()}); }

void CHeatshelfView::placeControls(const Rect& picture)
{
    const int comboHeight = std::max(20, m_cboPalette->sizeHint().height());
    m_cboPalette->setGeometry(picture.right + 6, picture.bottom + 3, 90, comboHeight);
    const int right = picture.right + 6 + 90 + 5;
    m_sldLevel->setGeometry(picture.left, picture.bottom + kSliderTop, std::max(40, right - picture.left), kSliderHeight);
}

// ---- thumbnails ----

// The files are found off this thread: the grid starts empty and shows
// them as their open tests end, in name order, each with the picture kept
// from an earlier visit or one the worker renders.
void CHeatshelfView::renderThumbnails()
{
    showControls(false);
    m_worker->Cancel();
    clearThumbs();
    m_core.SetCurrentFile(QString());
    m_listing = true;
    m_thumbBatch = m_worker->Start({});
    m_scanBatch = m_scan->Start(m_core.folder());
    updateGridBar();
    update();
}

void CHeatshelfView::onFilesFound(int batch, const QList<ScannedFile>& files, bool finished)
{
    if (batch != m_scanBatch || !m_bThumbnails)
        return;
    QStringList render;
    int select = -1;
    for (const ScannedFile& f : files) {
        const QString path = folderPath(f.name);
        GridThumb t;
        t.name = f.name;
        t.stamp = f.stamp;
        if (m_thumbCache.Find(path, f.stamp, &t.picture)) {
            t.state = t.picture.isNull() ? GridThumb::Failed : GridThumb::Ready;
        } else {
            render << path;
            ++m_thumbsPending;
        }
        if (f.name == m_selectName)
            select = int(m_thumbs.size());
        m_thumbIndex.insert(f.name, int(m_thumbs.size()));
        m_thumbs.push_back(std::move(t));
    }
    m_worker->Append(render);
    if (finished)
        m_listing = false;
    updateGridBar();
    if (select >= 0) {
        selectThumb(select);
        const int columns = ThumbColumns(width());
        const int row = select / columns;
        const int page = std::max(1, height() / 70);
        // Where the user left the grid, when the file is still in view
        // there; else the least scroll that shows it.
        if (m_gridTopWanted >= 0 && (row < m_gridTopWanted || row >= m_gridTopWanted + page))
            m_gridTopWanted = -1;
        if (m_gridTopWanted < 0)
            scrollToThumb(select);
    } else if (finished) {
        m_selectName.clear(); // gone meanwhile
    }
    if (m_gridTopWanted >= 0 && m_selectName.isEmpty()) {
        // The rows above the file may still be arriving: the grid goes as
        // far as they reach, and on as more come.
        CSkinScrollBar* bar = GetScrollBarCtrl(1);
        if (bar != nullptr && bar->isEnabled()) {
            const CSkinScrollBar::ScrollInfo info = bar->GetScrollInfo();
            const int page = std::max(1, height() / 70);
            const int top = std::clamp(m_gridTopWanted, info.nMin, std::max(info.nMin, info.nMax - page + 1));
            if (top != info.nPos)
                bar->SetScrollInfo(info.nMin, info.nMax, info.nPage, top);
            if (top == m_gridTopWanted)
                m_gridTopWanted = -1;
        }
        if (finished)
            m_gridTopWanted = -1;
    }
    prioritiseVisible();
    update();
    if (finished)
        emit gridListed();
    if (finished && m_thumbsPending == 0)
        emit thumbnailsDone();
}

void CHeatshelfView::stopGrid()
{
    m_bThumbnails = false;
    m_listing = false;
    m_scan->Cancel();
    m_worker->Cancel();
    clearThumbs();
    m_selectName.clear();
}

void CHeatshelfView::scrollToThumb(int index)
{
    CSkinScrollBar* bar = GetScrollBarCtrl(1);
    if (bar == nullptr || !bar->isEnabled() || index < 0 || index >= int(m_thumbs.size()))
        return;
    const int row = index / ThumbColumns(width());
    const int page = std::max(1, height() / 70);
    const CSkinScrollBar::ScrollInfo info = bar->GetScrollInfo();
    int top = info.nPos;
    if (row < top)
        top = row;
    else if (row >= top + page)
        top = row - page + 1;
    top = std::clamp(top, info.nMin, std::max(info.nMin, info.nMax - page + 1));
    if (top == info.nPos)
        return;
    bar->SetScrollInfo(info.nMin, info.nMax, info.nPage, top);
    prioritiseVisible();
    update();
}

void CHeatshelfView::clearThumbs()
{
    m_thumbs.clear();
    m_thumbIndex.clear();
    m_thumbsPending = 0;
}

// Each result costs the same whatever the folder's size: the grid fills
// while the user scrolls.
void CHeatshelfView::onThumbRendered(int batch, const QString& path, const QByteArray& dib)
{
    if (batch != m_thumbBatch || !m_bThumbnails)
        return;
    const QString name = QFileInfo(path).fileName();
    if (folderPath(name) != path)
        return; // a folder left meanwhile
    const auto found = m_thumbIndex.constFind(name);
    if (found == m_thumbIndex.constEnd())
        return;
    GridThumb& t = m_thumbs[size_t(*found)];
    if (t.state != GridThumb::Pending)
        return;
    t.picture = platform::DibToImage(dib);
    t.state = t.picture.isNull() ? GridThumb::Failed : GridThumb::Ready;
    m_thumbCache.Insert(path, t.stamp, t.picture);
    update(ThumbCellRect(*found));
    if (--m_thumbsPending == 0 && !m_listing)
        emit thumbnailsDone();
}

int CHeatshelfView::GridTopRow() const
{
    CSkinScrollBar* bar = GetScrollBarCtrl(1);
    if (bar == nullptr || !bar->isEnabled())
        return 0;
    return std::max(0, bar->GetScrollInfo().nPos);
}

namespace {

QRect toQRect(const Rect& r, int dy) { return QRect(r.left, r.top + dy, r.width(), r.height()); }

} // namespace

QRect CHeatshelfView::ThumbCellRect(int index) const
{
    return toQRect(ThumbCell(index, ThumbColumns(width())).shrunk(1, 1, 1, 1), -GridTopRow() * 70);
}

QRect CHeatshelfView::ThumbFrameQRect(int index) const
{
    return toQRect(ThumbFrameRect(ThumbCell(index, ThumbColumns(width())).shrunk(1, 1, 1, 1)), -GridTopRow() * 70);
}

QRect CHeatshelfView::ThumbNameQRect(int index) const
{
    return toQRect(ThumbNameRect(ThumbCell(index, ThumbColumns(width())).shrunk(1, 1, 1, 1)), -GridTopRow() * 70);
}

void CHeatshelfView::updateGridBar()
{
    CSkinScrollBar* bar = GetScrollBarCtrl(1);
    if (bar == nullptr)
        return;
    const int rows = ThumbScrollSize(width(), int(m_thumbs.size())).height() / 70;
    const int page = std::max(1, height() / 70);
    const bool enable = m_bThumbnails && rows > page;
    const CSkinScrollBar::ScrollInfo info = bar->GetScrollInfo();
    const int pos = enable ? std::clamp(info.nPos, 0, std::max(0, rows - page)) : 0;
    bar->SetScrollInfo(0, std::max(0, rows - 1), page, pos);
    if (bar->isEnabled() != enable) {
        bar->setEnabled(enable);
        startTimer2();
    }
}

void CHeatshelfView::prioritiseVisible()
{
    if (!m_bThumbnails || m_thumbs.empty())
        return;
    const int columns = ThumbColumns(width());
    const int first = GridTopRow() * columns;
    const int last = std::min(int(m_thumbs.size()), first + (height() / 70 + 2) * columns);
    QStringList visible;
    for (int i = std::max(0, first); i < last; ++i) {
        if (m_thumbs[size_t(i)].state == GridThumb::Pending)
            visible << folderPath(m_thumbs[size_t(i)].name);
    }
    if (!visible.isEmpty())
        m_worker->Prioritise(visible);
}

void CHeatshelfView::Scroll(bool vertical, int, int)
{
    if (!vertical || !m_bThumbnails)
        return;
    m_gridTopWanted = -1; // the user scrolls
    // The frame moves its bar after passing the code on.
    QTimer::singleShot(0, this, [this] {
        prioritiseVisible();
        update();
    });
}

void CHeatshelfView::selectThumb(int index)
{
    if (index < 0 || index >= int(m_thumbs.size()))
        return;
    // The frame last drawn is kept in grid coordinates: the grid may have
    // scrolled since, so it is wiped where it now stands on screen.
    update(m_rcThumbSelection.translated(0, -GridTopRow() * 70).adjusted(-3, -3, 3, 3));
    m_nThumbSelected = index;
    m_selectName.clear();
    m_rcThumbSelection = ThumbFrameQRect(index).translated(0, GridTopRow() * 70);
    update(m_rcThumbSelection.translated(0, -GridTopRow() * 70).adjusted(-3, -3, 3, 3));
    m_core.SetCurrentFile(folderPath(m_thumbs[size_t(index)].name));
}

void CHeatshelfView::removeThumb(int index)
{
    if (index < 0 || index >= int(m_thumbs.size()))
        return;
    const QString path = folderPath(m_thumbs[size_t(index)].name);
    if (m_thumbs[size_t(index)].state == GridThumb::Pending)
        --m_thumbsPending;
    m_thumbs.erase(m_thumbs.begin() + index);
    m_thumbIndex.clear();
    for (int i = 0; i < int(m_thumbs.size()); ++i)
        m_thumbIndex.insert(m_thumbs[size_t(i)].name, i);
    m_nThumbMenuItem = -1;
    update(); // every cell after it moves up
    updateGridBar();
    // The selection stays on the cell that takes the file's place (the
    // one before it at the end); the current file follows it.
    int sel = m_nThumbSelected > index ? m_nThumbSelected - 1 : m_nThumbSelected;
    sel = std::min(sel, int(m_thumbs.size()) - 1);
    if (sel >= 0) {
        selectThumb(sel);
    } else {
        m_nThumbSelected = 0;
        m_rcThumbSelection = QRect();
        if (m_core.currentFile() == path || m_thumbs.empty())
            m_core.SetCurrentFile(QString());
    }
    prioritiseVisible();
}

bool CHeatshelfView::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && m_bThumbnails) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QPoint at = help->pos() + QPoint(0, GridTopRow() * 70);
        const int columns = ThumbColumns(width());
        const int index = at.x() / 100 < columns ? at.y() / 70 * columns + at.x() / 100 : -1;
        const QString tip = index >= 0 && index < int(m_thumbs.size()) && ThumbCellRect(index).contains(help->pos())
                                ? ThumbToolTip(index)
                                : QString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            e->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this, ThumbCellRect(index));
        }
        return true;
    }
    return CFolderView::event(e);
}

QString CHeatshelfView::ThumbToolTip(int index) const
{
    if (index < 0 || index >= int(m_thumbs.size()))
        return QString();
    const QString& name = m_thumbs[size_t(index)].name;
    return ThumbLabelText(index) == name ? QString() : name;
}

// ---- mouse ----

void CHeatshelfView::wheelEvent(QWheelEvent* e)
{
    CSkinScrollBar* bar = GetScrollBarCtrl(1);
    if (!m_bThumbnails || bar == nullptr || !bar->isEnabled()) {
        CFolderView::wheelEvent(e);
        return;
    }
    // A notch is 120; smooth wheels and touch pads send parts of one.
    m_wheelRemainder += e->angleDelta().y();
    while (m_wheelRemainder >= 120 || m_wheelRemainder <= -120) {
        const bool up = m_wheelRemainder > 0;
        m_wheelRemainder += up ? -120 : 120;
        m_gridTopWanted = -1;
        emit bar->scrollCode(up ? SB_LINEUP : SB_LINEDOWN, 0);
    }
    emit bar->scrollCode(SB_ENDSCROLL, 0);
    e->accept();
}

void CHeatshelfView::mousePressEvent(QMouseEvent* e)
{
    if (m_bThumbnails && e->button() == Qt::LeftButton) {
        const QPoint p = e->position().toPoint() + QPoint(0, GridTopRow() * 70);
        const int index = ThumbAt(p, int(m_thumbs.size()), ThumbColumns(width()), false);
        if (index >= 0)
            selectThumb(index);
    }
    CFolderView::mousePressEvent(e);
}

void CHeatshelfView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        CFolderView::mouseDoubleClickEvent(e);
        return;
    }
    if (m_bThumbnails) {
        const QPoint p = e->position().toPoint() + QPoint(0, GridTopRow() * 70);
        const int index = ThumbAt(p, int(m_thumbs.size()), ThumbColumns(width()), true);
        if (index < 0)
            return;
        const QString path = folderPath(m_thumbs[size_t(index)].name);
        // The cell's own file or nothing: one that no longer opens leaves
        // the grid, and the status bar says why.
        if (!m_core.openTest()(path)) {
            const QString why = platform::OpenRefusalText(platform::OpenFailureCause(path), path);
            removeThumb(index);
            if (CMainFrame* frame = mainFrame(); frame != nullptr && frame->StatusBarCtrl() != nullptr)
                frame->StatusBarCtrl()->SetPaneText(0, why);
            return;
        }
        // The last of the files found so far may not be the folder's last.
        const bool last = !m_listing && index == int(m_thumbs.size()) - 1;
        m_gridTopLeft = GridTopRow();
        stopGrid();
        startTimer2();
        m_core.SetCurrentFile(path);
        m_bAtLast = last;
        m_displayBits = 1;
        Step(res::kStepAgain, false);
        return;
    }
    // The file shown is selected in the grid once found (see Step).
    m_nThumbSelected = std::max(0, CurrentIndex());
    m_displayBits = 2;
    Step(res::kStepAgain, false);
}

void CHeatshelfView::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_bThumbnails && e->button() == Qt::RightButton) {
        const QPoint p = e->position().toPoint() + QPoint(0, GridTopRow() * 70);
        const int index = ThumbAt(p, int(m_thumbs.size()), ThumbColumns(width()), false);
        if (index >= 0) {
            selectThumb(index);
            m_nThumbMenuItem = index;
            CMainFrame* frame = mainFrame();
            if (m_menu == nullptr) {
                m_menu = BuildImageMenu(this, [this](int id, const QString& text) {
                    auto* a = new QAction(text, this);
                    a->setData(id);
                    connect(a, &QAction::triggered, this, [this, id] {
                        if (id == res::ID_RENAME) {
                            OnRename();
                            return;
                        }
                        if (CMainFrame* f = mainFrame())
                            f->RunCommand(id);
                    });
                    return a;
                });
            }
            for (QAction* a : m_menu->actions()) {
                const int id = a->data().toInt();
                if (id != 0 && id != res::ID_RENAME && frame != nullptr)
                    a->setEnabled(frame->QueryCommand(id).IsEnabled());
            }
            m_menu->popup(e->globalPosition().toPoint());
            return;
        }
    }
    CFolderView::mouseReleaseEvent(e);
}

// ---- rename ----

void CHeatshelfView::OnRename()
{
    if (m_nThumbMenuItem < 0 || m_nThumbMenuItem >= int(m_thumbs.size()) || !askNewName)
        return;
    const int index = m_nThumbMenuItem;
    const QString oldName = m_thumbs[size_t(index)].name;
    askNewName(oldName, [this, index, oldName](const QString& name) {
        // The same name: nothing to do.
        if (name == oldName)
            return QString();
        // A camera file given an extension the browser does not show is
        // asked about first; "no" keeps the dialog open.
        const QString question = ExtensionChangeQuestion(oldName, name);
        if (!question.isEmpty() && IsPlainFileName(name) && !QFileInfo::exists(folderPath(name)) &&
            AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES_ANSWER)
            return CRenameDlg::KeepAsking();
        const RenameOutcome outcome = RenameThumbnail(index, name);
        return outcome == RenameOutcome::Renamed ? QString() : RenameRefusal(outcome, name);
    });
}

QString CHeatshelfView::ExtensionChangeQuestion(const QString& oldName, const QString& newName)
{
    if (!IsInfraredName(oldName) || IsInfraredName(newName) || newName.isEmpty())
        return QString();
    const QString suffix = QFileInfo(newName).suffix();
    return QStringLiteral("改名为“%1”后，扩展名%2不是红外图像文件的扩展名（.VNI、.VNV、.JPG）：\n"
                          "浏览器不再显示这个文件，也不能再打开它。\n\n仍要改名吗？")
        .arg(newName, suffix.isEmpty() ? QStringLiteral("为空") : QStringLiteral("“.%1”").arg(suffix));
}

QString CHeatshelfView::RenameRefusal(RenameOutcome outcome, const QString& newName)
{
    switch (outcome) {
    case RenameOutcome::Renamed:
        return QString();
    case RenameOutcome::InvalidName:
        return LoadStringRes(res::IDS_RENAME_INVALID_NAME);
    case RenameOutcome::NameExists:
        return LoadStringRes(res::IDS_RENAME_NAME_EXISTS).arg(newName);
    case RenameOutcome::FolderReadOnly:
        return LoadStringRes(res::IDS_RENAME_FOLDER_READ_ONLY);
    case RenameOutcome::SourceGone:
        return LoadStringRes(res::IDS_RENAME_SOURCE_GONE);
    case RenameOutcome::Failed:
        break;
    }
    return LoadStringRes(res::IDS_RENAME_FAILED);
}

RenameOutcome CHeatshelfView::RenameThumbnail(int index, const QString& newName)
{
    if (index < 0 || index >= int(m_thumbs.size()))
        return RenameOutcome::SourceGone;
    GridThumb& t = m_thumbs[size_t(index)];
    const QString oldPath = folderPath(t.name);
    const RenameOutcome outcome = RenameInFolder(m_core.folder(), t.name, newName);
    if (outcome != RenameOutcome::Renamed)
        return outcome;
    m_thumbIndex.remove(t.name);
    m_thumbIndex.insert(newName, index);
    t.name = newName;
    t.label = QStaticText();
    const QString newPath = folderPath(newName);
    m_thumbCache.Rename(oldPath, newPath);
    if (m_core.currentFile() == oldPath)
        m_core.SetCurrentFile(newPath);
    // The grid shows the files that open, and no other: under a name the
    // browser does not show (or as a file that no longer opens) the cell
    // goes.
    if (!IsInfraredName(newName) || !m_core.openTest()(newPath)) {
        removeThumb(index);
        return RenameOutcome::Renamed;
    }
    // A picture not yet made is made under the new name.
    if (t.state == GridThumb::Pending)
        m_worker->Add(newPath);
    update(ThumbCellRect(index));
    return RenameOutcome::Renamed;
}

} // namespace heatshelf
