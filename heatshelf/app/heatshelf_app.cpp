#include "heatshelf_app.h"

#include "current_folder.h"
#include "resource_ids.h"
#include "string_table.h"

#include "heatshelf/about_dlg.h"
#include "heatshelf/folder_walk.h"
#include "platform/ini_file.h"
#include "platform/open_refusal.h"
#include "platform/program_folder.h"
#include "platform/qt_translations.h"
#include "platform/settings.h"
#include "skin/file_filters.h"
#include "skin/message_box.h"
#include "skin/skin_colors.h"
#include "skin/skin_style.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
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
    OnCommand(res::ID_FILE_NEW, [this](int) { OnFileNew(); });
    OnCommand(res::ID_FILE_OPEN, [this](int) { OnFileOpen(); });
    OnCommand(res::ID_FILE_PRINT_SETUP, [this](int) { OnFilePrintSetup(); });
    OnCommandRange(res::ID_FILE_MRU_FILE1, res::ID_FILE_MRU_LAST, [this](int id) { OnOpenRecentFile(id); });
    OnUpdateRange(res::ID_FILE_MRU_FILE1, res::ID_FILE_MRU_LAST, [this](CCmdUI& ui) {
        ui.Enable(ui.GetID() - res::ID_FILE_MRU_FILE1 < m_recentFiles.Count());
    });
    askFileToOpen = [this](const QString& folder) {
        const QString filters = skin::FileDialogFilter(LoadStringRes(res::IDS_INFRARED_FILTER) + QStringLiteral(";;") +
                                                       LoadStringRes(res::AFX_IDS_ALLFILTER));
        return QFileDialog::getOpenFileName(m_mainFrame.get(), QString(), folder, filters);
    };
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
    // Settings under the "Heatshelf" key, with the four recent files.
    m_settings = m_options.configFolder.isEmpty()
                     ? std::make_unique<platform::Settings>(QStringLiteral("Heatshelf"))
                     : std::make_unique<platform::Settings>(QStringLiteral("Heatshelf"), m_options.configFolder);
    m_recentFiles = CRecentFileList(m_settings.get());
    m_recentFiles.ReadList();
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
    updateRecentMenu();
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
    m_printer.reset();
    m_recentFiles = CRecentFileList();
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

void CHeatshelfApp::OnFileNew()
{
    m_doc.OnNewDocument();
    m_doc.SetTitle(QString());
}

void CHeatshelfApp::OnFileOpen()
{
    if (!askFileToOpen)
        return;
    const QString folder = CurrentFolder().isEmpty() ? QDir::homePath() : CurrentFolder();
    const QString path = askFileToOpen(folder);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CHeatshelfApp::OnFilePrintSetup()
{
    if (m_printer == nullptr)
        m_printer = std::make_unique<QPrinter>();
    QPageSetupDialog dlg(m_printer.get(), m_mainFrame.get());
    dlg.exec();
}

void CHeatshelfApp::OnOpenRecentFile(int id)
{
    const int index = id - res::ID_FILE_MRU_FILE1;
    if (index < 0 || index >= m_recentFiles.Count())
        return;
    const QString path = m_recentFiles.At(index);
    if (!OpenDocumentFile(path)) {
        m_recentFiles.Remove(index);
        updateRecentMenu();
    }
}

bool CHeatshelfApp::OpenDocumentFile(const QString& path)
{
    // Each refusal names its cause, in the words the report designer's image
    // dialog uses (platform/open_refusal.h).
    const auto refuse = [&path](platform::OpenRefusal why) {
        AfxMessageBox(platform::OpenRefusalText(why, path), MB_OK | MB_ICONEXCLAMATION);
        return false;
    };
    if (const platform::OpenRefusal why = platform::CheckReadable(path); why != platform::OpenRefusal::None)
        return refuse(why);
    const QFileInfo file(path);
    IImageViewState* view = m_mainFrame != nullptr ? m_mainFrame->GetRightView() : nullptr;
    if (view == nullptr)
        return false;
    const QString absolute = file.absoluteFilePath();
    // A file that is no camera file leaves the view as it was.
    if (!IsInfraredName(file.fileName()))
        return refuse(platform::OpenRefusal::NotCameraFile);
    if (!OpenTest()(absolute))
        return refuse(platform::OpenFailureCause(absolute));
    CurrentFolder() = file.absolutePath();
    view->SetDisplayBits(1);
    view->SetCurrentFileName(absolute);
    view->Step(res::kStepAgain, true);
    if (view->NoFile() || QFileInfo(view->CurrentFileName()).absoluteFilePath() != absolute)
        return refuse(platform::OpenFailureCause(absolute));
    m_doc.OnNewDocument();
    m_doc.SetTitle(QString());
    m_recentFiles.Add(absolute);
    updateRecentMenu();
    return true;
}

void CHeatshelfApp::updateRecentMenu()
{
    if (m_mainFrame == nullptr)
        return;
    QStringList texts;
    for (int i = 0; i < m_recentFiles.Count(); ++i)
        texts << m_recentFiles.MenuText(i);
    m_mainFrame->SetRecentFiles(texts);
    m_mainFrame->UpdateCommandUI();
}

} // namespace heatshelf
