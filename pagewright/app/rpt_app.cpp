#include "rpt_app.h"

#include "about_dlg.h"
#include "app_environment.h"
#include "locale_paper.h"
#include "main_frame.h"
#include "skin/message_box.h"
#include "palette_loader.h"
#include "platform/program_folder.h"
#include "platform/qt_translations.h"
#include "resource_ids.h"
#include "rpt_template.h"
#include "rpt_view.h"
#include "split_frame.h"
#include "string_table.h"
#include "unit_dlg.h"

#include "document/rpt_doc.h"

#include "platform/dialog_folder.h"
#include "platform/ini_file.h"
#include "platform/settings.h"
#include "skin/file_filters.h"
#include "skin/skin_style.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <dlfcn.h>

#include <cmath>
#include <cstring>

namespace {

CDI_RptApp* g_app = nullptr;

const QString kCommon = QStringLiteral("COMMON");

// The default printer's printable area in millimetres.
std::optional<QSizeF> askDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return std::nullopt;
    QPrinter printer(info);
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    if (area.isEmpty())
        return std::nullopt;
    return area.size();
}

// MulDiv: the nearest whole number of a x b / c.
int mulDiv(int a, int b, int c) { return int(std::lround(double(a) * b / c)); }

} // namespace

CDI_RptApp& theApp() { return *g_app; }
CDI_RptApp* theAppOrNull() { return g_app; }

CDI_RptApp::CDI_RptApp(StartupOptions options)
    : m_options(std::move(options))
{
    g_app = this;
    SetupCommands();
}

CDI_RptApp::~CDI_RptApp()
{
    ExitInstance();
    delete m_mainFrame;
    m_mainFrame = nullptr;
    if (g_app == this)
        g_app = nullptr;
}

void CDI_RptApp::SetupCommands()
{
    OnCommand(res::ID_APP_ABOUT, [this](int) { OnAppAbout(); });
    OnCommand(res::ID_UNITS, [this](int) { OnUnits(); });
    OnCommand(res::ID_FILE_PRINT_SETUP, [this](int) { OnFilePrintSetup(); });
    OnCommand(res::ID_BATCH, [this](int) { OnBatch(); });
    OnCommand(res::ID_FILE_NEW, [this](int) { OnFileNew(); });
    OnCommand(res::ID_FILE_OPEN, [this](int) { OnFileOpen(); });
    OnCommandRange(res::ID_FILE_MRU_FILE1, res::ID_FILE_MRU_FILE4,
                   [this](int id) { OpenRecentFile(id - res::ID_FILE_MRU_FILE1); });
    OnCommand(res::ID_APP_EXIT, [this](int) {
        if (m_mainFrame)
            m_mainFrame->close();
    });
}

bool CDI_RptApp::OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) { return DispatchOwn(id, mode, ui); }

QString CDI_RptApp::FieldIniPath() const { return platform::ResolveProgramFile(m_programDir, QStringLiteral("field.ini")); }

bool CDI_RptApp::CheckEdition()
{
    const QString edition = QString::fromLatin1(kEdition);
    if (m_settings->readString(QStringLiteral("Edition"), QStringLiteral("Edition"), QStringLiteral("ss")) == edition)
        return true;
    // Settings of another edition: none of them is trusted.
    m_settings->deleteProgramKey();
    m_settings->writeString(QStringLiteral("Edition"), QStringLiteral("Edition"), edition);
    return false;
}

bool CDI_RptApp::InitInstance()
{
    m_started = true;
    // Qt's own buttons and dialogs in Chinese, before anything is shown.
    platform::InstallQtTranslations();
    // 1-2: the drawing and control libraries need no start here.
    // 3: the per-user settings of the program.
    m_settings = m_options.configFolder.isEmpty()
                     ? std::make_unique<platform::Settings>(QStringLiteral("Pagewright"))
                     : std::make_unique<platform::Settings>(QStringLiteral("Pagewright"), m_options.configFolder);
    // 4: settings of another edition are wiped.
    CheckEdition();
    // 5: units.
    tempetype = m_settings->readInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 0);
    metertype = m_settings->readInt(QStringLiteral("metertype"), QStringLiteral("metertype"), 0);
    // 6: the object linking library needs no start here.
    // 7: the program folder, seeded from the installed defaults.
    if (m_options.executableFolder.isEmpty())
        m_options.executableFolder = QCoreApplication::applicationDirPath();
    m_programDir = m_options.programFolder.isEmpty() ? platform::DefaultProgramFolder() : m_options.programFolder;
    const QString defaults = m_options.defaultDataFolder.isEmpty() ? platform::DefaultDataFolder(m_options.executableFolder)
                                                                   : m_options.defaultDataFolder;
    platform::SeedProgramFolder(m_programDir, defaults);
    // 8: skin colour.
    const platform::IniFile ini(FieldIniPath());
    m_skin.m_nStyleNum = ini.readInt(kCommon, QStringLiteral("StyleNum"), 0);
    const COLORREF custom = RGB(ini.readInt(kCommon, QStringLiteral("CustomR"), 192),
                                ini.readInt(kCommon, QStringLiteral("CustomG"), 192),
                                ini.readInt(kCommon, QStringLiteral("CustomB"), 192));
    m_skin.BuildSkinBitmaps(m_skin.StyleColor(m_skin.m_nStyleNum, custom));
    skin::SetCurrentSkin(&m_skin);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        QApplication::setStyle(new skin::SkinStyle(&m_skin));
    // 9: palettes and object types.
    if (!LoadFieldIni())
        return false;
    // 10: the four most recent files.
    m_recentFiles = CRecentFileList(m_settings.get());
    m_recentFiles.ReadList();
    // 11: strings of the override file beside the program.
    m_languageLoaded = LoadStringOverrides(m_options.executableFolder + QLatin1Char('/') +
                                           QString::fromLatin1(kStringOverrideFile));
    // 12: page size (a printer given by the caller is known from the start).
    if (m_options.printablePageMm)
        AskPrinter();
    TakeDefaultPageSize();
    // 13.
    skin::InstallMenuBorderHook();
    // 14: the document template: reports open in a child frame of their own.
    m_docEnv = std::make_unique<CAppEnvironment>(*this);
    m_template = std::make_unique<CDI_RptTemplate>(res::IDR_REPORTTYPE);
    m_template->SetOpener([this](const QString& path) { return OpenReport(path); });
    // 15: the main frame.
    auto* frame = new CMainFrame(*this);
    if (!frame->LoadFrame(res::IDR_MAINFRAME)) {
        delete frame;
        return false;
    }
    m_mainFrame = frame;
    SetMessageBoxParent(frame);
    // 16: file types are registered by the installed .desktop and MIME files.
    // 17-18: the command line: a report to open, else a new report; a
    // "template|data" argument makes the new report from a filled copy.
    QString file = m_options.arguments.isEmpty() ? QString() : m_options.arguments.first();
    const QString filled = PrepareCommandLineFill(file);
    m_startFile = filled;
    m_template->OpenDocumentFile(file);
    // 19: only the first new document opens the start file; the filled copy
    // (the report read it through a working copy of its own) goes.
    m_startFile.clear();
    if (!filled.isEmpty())
        QFile::remove(filled);
    // 20: show the frame.
    frame->LoadMenuImages(nullptr, true);
    frame->LoadMenuImages(frame->menuBar(), false);
    frame->SetCaptionActive(true);
    if (m_options.showMainFrame)
        frame->showMaximized();
    // 21-22: unit texts and folders.
    UpdateUnitTexts();
    // Nothing remembered yet: the dialogs propose the user's documents
    // folder (platform::ProposedFolder), never the hidden program folder;
    // templates are looked for where they are kept.
    m_picPath = m_settings->readString(QStringLiteral("PicPath"), QStringLiteral("PicPath"));
    m_savePath = m_settings->readString(QStringLiteral("SavePath"), QStringLiteral("SavePath"));
    m_templatePath = m_settings->readString(QStringLiteral("TemplatePath"), QStringLiteral("TemplatePath"),
                                            m_programDir + QStringLiteral("/template"));
    // 23: the card reader's firmware.
    CallCardpull();
    return true;
}

int CDI_RptApp::ExitInstance()
{
    if (!m_started)
        return 0;
    m_started = false;
    ClearStringOverrides();
    m_languageLoaded = false;
    m_palettes.clear();
    m_paletteCount = 0;
    skin::RemoveMenuBorderHook();
    SetMessageBoxParent(nullptr);
    return 0;
}

bool CDI_RptApp::LoadFieldIni()
{
    const platform::IniFile ini(FieldIniPath());
    const platform::IniDocument doc = ini.load();
    const int n = doc.readInt(kCommon, QStringLiteral("PalletteNum"), 0);
    if (n <= 0) {
        AfxMessageBox(res::IDS_CONFIG_FILE_MISSING);
        return false;
    }
    // Names have 20 slots; palettes past them have no display name.
    m_paletteCount = n;
    m_palettes = QByteArray(qsizetype(n) * kPaletteBytes, '\0');
    m_paletteNames = QStringList(kMaxPaletteNames);
    const QString paletteKey = LoadStringRes(res::IDS_PALETTE_KEY);
    for (int i = 1; i <= n; ++i) {
        const QString key = paletteKey + QString::number(i);
        const QString file = doc.readString(QStringLiteral("FILENAME"), key, {}, 20);
        LoadPaletteBmp(i, reinterpret_cast<std::uint8_t*>(m_palettes.data()) + std::size_t(i - 1) * kPaletteBytes,
                       file, m_programDir);
        if (i <= kMaxPaletteNames)
            m_paletteNames[i - 1] = doc.readString(kCommon, key, {}, 20);
    }
    m_objectTypes.clear();
    const int m = doc.readInt(QStringLiteral("OBJECTTYPE"), QStringLiteral("ObjectNum"), -1);
    const QString objectKey = LoadStringRes(res::IDS_OBJECT_KEY);
    for (int i = 1; i <= m && i <= 10000; ++i)
        m_objectTypes.append(doc.readString(QStringLiteral("OBJECTTYPE"), objectKey + QString::number(i), {}, 40));
    return true;
}

const std::uint8_t* CDI_RptApp::GetPalette(int index) const
{
    if (index < 0 || index >= m_paletteCount)
        return nullptr;
    return reinterpret_cast<const std::uint8_t*>(m_palettes.constData()) + std::size_t(index) * kPaletteBytes;
}

void CDI_RptApp::UpdateUnitTexts()
{
    m_strLengthUnit = LoadStringRes(metertype == 0 ? res::IDS_METRE : res::IDS_FEET);
    m_strTempUnit = LoadStringRes(res::IDS_TEMP_C + qBound(0, tempetype, 2));
}

void CDI_RptApp::TakeDefaultPageSize()
{
    m_pageWidth = 8.2677f;
    m_pageHeight = 11.6929f;
    m_pageKind = 7;
    const std::optional<QSizeF> mm = PrintablePageMm();
    int w = 8330;
    int h = 11790;
    if (mm) {
        w = mulDiv(int(std::lround(mm->width())), 1008, 254) * 10;
        h = mulDiv(int(std::lround(mm->height())), 1008, 254) * 10;
    }
    m_pageWidth = float(w) * (1.0f / 1008.0f);
    m_pageHeight = float(h) * (1.0f / 1008.0f);
}

std::optional<QSizeF> CDI_RptApp::PrintablePageMm() const
{
    if (m_printerPageMm)
        return *m_printerPageMm;
    return LocalePaperMm();
}

void CDI_RptApp::AskPrinter()
{
    m_printerPageMm = m_options.printablePageMm ? m_options.printablePageMm() : askDefaultPrinter();
}

bool CDI_RptApp::OpenReport(const QString& path)
{
    if (m_mainFrame == nullptr || m_docEnv == nullptr)
        return false;
    // A report already open is shown again.
    for (QMdiSubWindow* w : m_mainFrame->GetMdiClient()->subWindowList()) {
        auto* frame = qobject_cast<CSplitFrame*>(w);
        auto* view = frame != nullptr ? qobject_cast<CDI_RptView*>(frame->GetActiveView()) : nullptr;
        if (view != nullptr && !path.isEmpty() && view->GetDocument() != nullptr &&
            QFileInfo(view->GetDocument()->GetPathName()) == QFileInfo(path)) {
            m_mainFrame->GetMdiClient()->setActiveSubWindow(frame);
            return true;
        }
    }
    auto doc = std::make_unique<CDI_RptDoc>(m_docEnv.get());
    if (path.isEmpty()) {
        if (!doc->OnNewDocument())
            return false;
        if (doc->GetTitle().isEmpty())
            doc->SetTitle(QStringLiteral("Report%1").arg(++m_untitledCount));
    } else {
        if (!doc->OnOpenDocument(path))
            return false;
        doc->SetPathName(path); // and into the recent-file list
    }
    const QString title = doc->GetTitle();
    auto* view = new CDI_RptView(std::move(doc));
    auto* frame = new CSplitFrame(view);
    frame->setWindowTitle(title);
    m_mainFrame->AddChildFrame(frame);
    view->OnInitialUpdate();
    view->setFocus();
    return true;
}

void CDI_RptApp::AddToRecentFileList(const QString& path)
{
    m_recentFiles.Add(path);
}

bool CDI_RptApp::OpenRecentFile(int index)
{
    const QString path = m_recentFiles.At(index);
    if (path.isEmpty())
        return false;
    if (m_template->OpenDocumentFile(path))
        return true;
    m_recentFiles.Remove(index);
    return false;
}

bool CDI_RptApp::CallCardpull()
{
    if (m_options.cardpullLibrary.isEmpty())
        return false;
    // Beside the program first, then wherever the loader finds it.
    const QString beside = m_options.executableFolder + QLatin1Char('/') + m_options.cardpullLibrary;
    void* library = nullptr;
    if (QFileInfo::exists(beside))
        library = dlopen(QFile::encodeName(beside).constData(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        library = dlopen(QFile::encodeName(m_options.cardpullLibrary).constData(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return false;
    using Function = int (*)();
    void* symbol = dlsym(library, "fnMydll");
    if (symbol != nullptr) {
        Function fn;
        std::memcpy(&fn, &symbol, sizeof fn);
        (void)fn();
    }
    dlclose(library);
    return symbol != nullptr;
}

void CDI_RptApp::OnFileNew() { m_template->OpenDocumentFile(QString()); }

void CDI_RptApp::OnFileOpen()
{
    // The save folder, with the default report name selected only when such
    // a report is there: a name that names no file is no choice to offer.
    const QString folder = platform::ProposedFolder(m_savePath);
    QString name = QDir(folder).filePath(QStringLiteral("RirovEre.rpt"));
    if (!QFileInfo::exists(name))
        name = folder;
    const QString filter = skin::FileDialogFilter(m_template->GetDocString(CDI_RptTemplate::filterName) + QStringLiteral(";;*"));
    const QString path = QFileDialog::getOpenFileName(m_mainFrame, LoadStringRes(res::AFX_IDS_OPENFILE), name, filter);
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!info.fileName().isEmpty()) {
        m_savePath = platform::FolderOf(path);
        m_settings->writeString(QStringLiteral("SavePath"), QStringLiteral("SavePath"), m_savePath);
    }
    m_template->OpenDocumentFile(path);
}

void CDI_RptApp::OnUnits()
{
    CUnitDlg dlg(m_mainFrame);
    dlg.m_lengthUnit = metertype;
    dlg.m_tempUnit = tempetype;
    if (dlg.DoModal() != res::IDOK)
        return;
    metertype = dlg.m_lengthUnit;
    m_docEnv->SetLengthUnit(metertype);
    m_docEnv->SetTempUnit(dlg.m_tempUnit); // sets tempetype
    // The units are stored whether or not "save as default" was ticked.
    m_settings->writeInt(QStringLiteral("metertype"), QStringLiteral("metertype"), metertype);
    m_settings->writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), tempetype);
    UpdateUnitTexts();
    if (m_mainFrame) {
        if (CSplitFrame* child = m_mainFrame->MDIGetActive(); child != nullptr && child->GetActiveView() != nullptr)
            child->GetActiveView()->OnUnitsChanged();
    }
}

void CDI_RptApp::OnAppAbout()
{
    CAboutDlg dlg(m_mainFrame);
    dlg.DoModal();
}

void CDI_RptApp::OnFilePrintSetup()
{
    QPrinter printer;
    QPageSetupDialog dlg(&printer, m_mainFrame);
    if (dlg.exec() != QDialog::Accepted || !m_mainFrame)
        return;
    AskPrinter();
    if (CSplitFrame* child = m_mainFrame->MDIGetActive(); child != nullptr && child->GetActiveView() != nullptr)
        child->GetActiveView()->OnPrinterChanged();
}
