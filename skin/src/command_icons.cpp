#include "skin/command_icons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QStandardPaths>

#include <cmath>

// The icons are compiled into this static library: registered on first use.
static void initSkinIcons() { Q_INIT_RESOURCE(skin_icons); }

namespace skin {

namespace {

constexpr unsigned R = kReportIcons, B = kBrowserIcons, RB = kBothIcons;

// Command id -> icon. Names without a theme counterpart are our own
// drawings in skin/icons/. To give a new command an image, add its row
// here and its id to the program's toolbar or menu-image resource.
constexpr CommandIconEntry kTable[] = {
    // Files, editing and help (report designer's standard bar).
    {R, 57600, "document-new"},
    {R, 57601, "document-open"},
    {R, 57602, "document-close"},
    {R, 57603, "document-save"},
    {R, 57604, "document-save-as"},
    {R, 57607, "document-print"},
    {R, 57609, "document-print-preview"},
    {R, 57632, "edit-delete"},
    {R, 57634, "edit-copy"},
    {R, 57635, "edit-cut"},
    {R, 57637, "edit-paste"},
    {R, 57642, "edit-select-all"},
    {R, 32824, "edit-undo"},
    {R, 32825, "edit-redo"},
    {RB, 57664, "help-about"},
    {RB, 57665, "application-exit"},
    {R, 32792, "documentinfo"},          // report summary
    {R, 32817, "document-export"},       // export to the word processor
    {R, 32785, "document-properties"},   // object properties
    {R, 34000, "document-multiple"},     // batch reports
    {R, 33029, "measure"},               // temperature and distance units

    // Object bar and the insert menu.
    {R, 32770, "edit-select"},
    {R, 32771, "draw-line"},
    {R, 34023, "draw-arrow"},            // arrow tool
    {R, 34024, "draw-arrow"},            // arrowhead drop-down
    {R, 32772, "draw-rectangle"},
    {R, 32773, "draw-rectangle-rounded"},
    {R, 32774, "draw-ellipse"},
    {R, 32782, "draw-polygon"},
    {R, 32812, "draw-text"},
    {R, 32815, "thermal-image"},
    {R, 32816, "code-variable"},         // data field
    {R, 32820, "insert-table"},
    {R, 32966, "thermal-result-table"},
    {R, 32813, "office-chart-line"},     // temperature curve
    {R, 33086, "office-chart-bar"},      // histogram
    {R, 34007, "thermal-time-profile"},
    {R, 32804, "camera-photo"},          // visible-light photo
    {R, 32972, "insert-image"},          // logo
    {R, 32973, "insert-image"},          // the report's logo
    {R, 34020, "thermal-3d-map"},
    {R, 114, "format-text-color"},
    {R, 32981, "format-fill-color"},
    {R, 32776, "format-fill-color"},     // fill colour (menu)
    {R, 32982, "format-stroke-color"},
    {R, 32775, "format-stroke-color"},   // line colour (menu)
    {R, 32998, "line-width"},
    {R, 32781, "color-fill"},            // page background colour

    // Measurement bar and the image object's menu images.
    {R, 32840, "thermal-image-open"},
    {R, 32841, "configure"},             // image settings
    {R, 32842, "thermal-spot"},
    {R, 32855, "thermal-spot"},
    {R, 32843, "thermal-line"},
    {R, 32844, "thermal-area"},
    {R, 32851, "thermal-circle"},
    {R, 32865, "thermal-isotherm"},
    {R, 32845, "edit-delete"},           // delete an analysis
    {R, 32863, "edit-delete"},           // delete the analyses
    {R, 32847, "thermal-range"},
    {R, 32867, "palette-previous"},
    {R, 32868, "palette-next"},
    {R, 32850, "audio-volume-high"},     // voice note
    {R, 32852, "view-pim-notes"},        // text note
    {R, 32866, "camera-photo"},          // visible-light image

    // Adjust bar: alignment and stacking order.
    {R, 34002, "align-horizontal-left"},
    {R, 34003, "align-horizontal-right"},
    {R, 34004, "align-vertical-bottom"}, // the lower edges (as the menu says)
    {R, 34005, "align-vertical-top"},
    {R, 32777, "object-order-front"},
    {R, 32778, "object-order-back"},
    {R, 32779, "object-order-raise"},
    {R, 32780, "object-order-lower"},

    // Page bar and the page menu.
    {R, 32826, "page-add"},
    {R, 1499, "page-remove"},
    {R, 1506, "edit-rename"},            // page title
    {R, 32829, "go-first"},
    {R, 32830, "go-previous"},
    {R, 32831, "go-next"},
    {R, 32832, "go-last"},
    {R, 32833, "zoom-in"},
    {R, 32834, "zoom-out"},
    {R, 32835, "zoom-fit-page"},

    // Playback bar (frames of a sequence).
    {R, 34009, "media-skip-backward"},
    {R, 34010, "media-seek-backward"},
    {R, 34011, "go-previous"},
    {R, 34013, "media-playback-start"},
    {R, 34012, "media-playback-stop"},
    {R, 34014, "go-next"},
    {R, 34015, "media-seek-forward"},
    {R, 34016, "media-skip-forward"},
    {R, 34017, "list-remove"},           // delete a frame
    {R, 34018, "list-add"},              // add a frame

    // Text format bar.
    {R, 104, "format-text-bold"},
    {R, 108, "format-text-italic"},
    {R, 111, "format-text-underline"},
    {R, 117, "format-justify-left"},
    {R, 119, "format-justify-center"},
    {R, 121, "format-justify-right"},

    // Image browser.
    {B, 1006, "view-preview"},           // one image
    {B, 1004, "view-list-icons"},        // thumbnails
    {B, 1005, "go-previous"},
    {B, 1007, "go-next"},
    {B, 1008, "unused-slot"},            // always disabled
    {B, 1009, "view-refresh"},
    {B, 1010, "color-mode-invert-image"},
    {B, 1011, "audio-volume-high"},      // voice note
    {B, 1012, "thermal-measure-objects"},
    {B, 32773, "thermal-palette"},
};

struct Key {
    SkinLook program;
    int command;
    bool operator==(const Key&) const = default;
};

size_t qHash(const Key& k, size_t seed = 0) { return ::qHash(int(k.program) * 100003 + k.command, seed); }

unsigned bitOf(SkinLook program) { return program == SkinLook::Browser ? kBrowserIcons : kReportIcons; }

QString ownPath(const QString& name) { return QStringLiteral(":/skin/icons/") + name + QStringLiteral(".svg"); }

struct Found {
    IconSource source = IconSource::None;
    QIcon icon;
};

const Found& lookUp(SkinLook program, int command)
{
    static QHash<Key, Found> cache;
    const Key key{program, command};
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;
    Found f;
    if (const char* name = CommandIconName(program, command)) {
        const QString n = QString::fromLatin1(name);
        f.icon = OwnIcon(n);
        if (!f.icon.isNull()) {
            f.source = IconSource::Own;
        } else if (QIcon::hasThemeIcon(n)) {
            f.icon = QIcon::fromTheme(n);
            f.source = IconSource::Theme;
        }
    }
    return *cache.insert(key, f);
}

} // namespace

std::span<const CommandIconEntry> CommandIconTable() { return kTable; }

void UseIconTheme()
{
    // Platforms without a desktop theme of their own look nowhere: the data
    // folders' icon directories go on the search path.
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList found = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                        QStandardPaths::LocateDirectory);
    for (const QString& dir : found) {
        if (!paths.contains(dir))
            paths.append(dir);
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(QString::fromLatin1(kIconTheme));
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

const char* CommandIconName(SkinLook program, int command)
{
    const unsigned bit = bitOf(program);
    for (const CommandIconEntry& e : kTable) {
        if (e.command == command && (e.programs & bit) != 0)
            return e.name;
    }
    return nullptr;
}

IconSource CommandIconSource(SkinLook program, int command) { return lookUp(program, command).source; }

QIcon CommandIcon(SkinLook program, int command) { return lookUp(program, command).icon; }

QIcon OwnIcon(const QString& name)
{
    static const bool registered = (initSkinIcons(), true);
    (void)registered;
    const QString path = ownPath(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QImage RenderCommandStrip(SkinLook program, const std::vector<int>& commands, QSize imageSize, qreal dpr,
                          const IconFallback& fallback)
{
    if (dpr <= 0)
        dpr = 1;
    int images = 0;
    for (int c : commands)
        images += c != 0 ? 1 : 0;
    const QSize logical(std::max(1, images) * imageSize.width(), imageSize.height() + 1);
    QImage strip(int(std::lround(logical.width() * dpr)), int(std::lround(logical.height() * dpr)),
                 QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(dpr);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Square icons: a cell one pixel lower than wide shows the icon's top
    // rows (themes leave the bottom row of small icons empty).
    const int side = std::max(imageSize.width(), imageSize.height());
    int x = 0;
    for (int c : commands) {
        if (c == 0)
            continue;
        const QRect cell(QPoint(x, 0), imageSize);
        const QIcon icon = CommandIcon(program, c);
        if (!icon.isNull()) {
            p.save();
            p.setClipRect(cell);
            const QPixmap pm = icon.pixmap(QSize(side, side), dpr);
            p.drawPixmap(QRect(x + (imageSize.width() - side) / 2, 0, side, side), pm);
            p.restore();
        } else if (fallback) {
            p.save();
            p.setClipRect(cell);
            fallback(p, cell, c);
            p.restore();
        }
        x += imageSize.width();
    }
    p.end();
    QImage out = strip.convertToFormat(QImage::Format_ARGB32);
    // The strip's corner pixels are the bars' and menus' see-through colour.
    out.setPixel(0, 0, 0);
    if (out.width() > 1 && out.height() > 1)
        out.setPixel(1, 1, 0);
    return out;
}

} // namespace skin
