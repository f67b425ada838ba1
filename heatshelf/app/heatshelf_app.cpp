#include "heatshelf_app.h"

#include "resource_ids.h"
#include "string_table.h"

#include "heatshelf/about_dlg.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "platform/qt_translations.h"
#include "platform/settings.h"
#include "skin/message_box.h"
#include "skin/skin_colors.h"
#include "skin/skin_style.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace heatshelf {
namespace {

CHeatshelfApp* g_app = nullptr;
const QString kCommon = QStringLiteral("COMMON");

} // namespace

CHeatshelfApp* TheApp() { return g_app; }

CHeatshelfApp::CHeatshelfApp(StartupOptions options) : m_options(std::move(options))
{
    g_app = this;
    OnCommand(res::ID_APP_ABOUT, [this](int) { OnAppAbout(); });
    OnCommandRange(Theme::kFirstThemeCommand, Theme::kLastThemeCommand, [this](int id) { m_theme.OnTheme(id); });
    OnUpdateRange(Theme::kFirstThemeCommand, Theme::kLastThemeCommand, [this](CCmdUI& ui) { m_theme.OnUpdateTheme(ui); });
}

CHeatshelfApp::~CHeatshelfApp()
{
    ExitInstance();
    if (g_app == this)
        g_app = nullptr;
}

QString CHeatshelfApp::FieldIniPath() const { return platform::ResolveProgramFile(m_programDir, QStringLiteral("field.ini")); }

bool CHeatshelfApp::InitInstance()
{
    m_started = true;
    // Qt's own buttons and dialogs in Chinese, before anything is shown.
    platform::InstallQtTranslations();
    SetMessageBoxStrings(&LoadStringRes);
    // The string override file beside the program.
    if (m_options.executableFolder.isEmpty())
        m_options.executableFolder = QCoreApplication::applicationDirPath();
    LoadStringOverrides(m_options.executableFolder + QLatin1Char('/') + QString::fromLatin1(kStringOverrideFile));
    // The program folder, shared with the report designer.
    m_programDir = m_options.programFolder.isEmpty() ? platform::DefaultProgramFolder() : m_options.programFolder;
    const QString defaults = m_options.defaultDataFolder.isEmpty() ? platform::DefaultDataFolder(m_options.executableFolder)
                                                                   : m_options.defaultDataFolder;
    platform::SeedProgramFolder(m_programDir, defaults);
    // The ten palettes, from a cleared table.
    m_palettes.Clear();
    for (int n = 1; n <= kPaletteCount; ++n)
        LoadPalette(n);
    // The theme.
    const platform::IniFile ini(FieldIniPath());
    m_theme.SetIniPath(FieldIniPath());
    m_theme.SetStyleNum(ini.readInt(kCommon, QStringLiteral("StyleNum"), 0));
    const COLORREF custom = RGB(ini.readInt(kCommon, QStringLiteral("CustomR"), 192) & 0xFF,
                                ini.readInt(kCommon, QStringLiteral("CustomG"), 192) & 0xFF,
                                ini.readInt(kCommon, QStringLiteral("CustomB"), 192) & 0xFF);
    m_theme.ApplySkinColor(m_theme.ThemeColor(m_theme.StyleNum(), custom));
    skin::SetCurrentSkin(&m_theme.State());
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        QApplication::setStyle(new skin::SkinStyle(&m_theme.State()));
    skin::InstallMenuBorderHook();
    // Settings; the recent-file list exists and stays empty.
    m_settings = m_options.configFolder.isEmpty()
                     ? std::make_unique<platform::Settings>(QStringLiteral("Heatshelf"))
                     : std::make_unique<platform::Settings>(QStringLiteral("Heatshelf"), m_options.configFolder);
    // The document and the main frame with its panes.
    m_doc.OnNewDocument();
    m_doc.SetTitle(QString());
    m_mainFrame = std::make_unique<CMainFrame>(m_theme, m_options.makeView);
    m_mainFrame->SetFallback(this);
    if (!m_mainFrame->Create()) {
        m_mainFrame.reset();
        return false;
    }
    SetMessageBoxParent(m_mainFrame.get());
    m_mainFrame->InitMenuImages();
    // A new window takes three quarters of the screen, as the window
    // system's default size did.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size(std::max(area.width() * 3 / 4, 640), std::max(area.height() * 3 / 4, 480));
        m_mainFrame->setGeometry(QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                                              (area.height() - size.height()) / 2),
                                       size));
    }
    if (m_options.showMainFrame)
        m_mainFrame->show();
    return true;
}

int CHeatshelfApp::ExitInstance()
{
    if (!m_started)
        return 0;
    m_started = false;
    SetMessageBoxParent(nullptr);
    m_mainFrame.reset();
    m_settings.reset();
    m_palettes.Clear();
    skin::RemoveMenuBorderHook();
    if (skin::CurrentSkin() == &m_theme.State())
        skin::SetCurrentSkin(nullptr);
    ClearStringOverrides();
    return 0;
}

std::unique_ptr<CAboutDlg> CHeatshelfApp::MakeAboutBox()
{
    auto dlg = std::make_unique<CAboutDlg>(m_theme, m_mainFrame.get());
    dlg->setWindowTitle(QString::fromUtf8("关于 Heatshelf"));
    auto* layout = new QVBoxLayout(dlg.get());
    layout->setContentsMargins(20, 40, 20, 20);
    auto* text = new QLabel(QString::fromUtf8("Heatshelf 红外图像浏览器\n版本 1.0\n\n浏览文件夹中的红外图像文件"), dlg.get());
    layout->addWidget(text);
    return dlg;
}

void CHeatshelfApp::OnAppAbout() { MakeAboutBox()->exec(); }

} // namespace heatshelf
