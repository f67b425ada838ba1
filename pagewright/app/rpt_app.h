// CDI_RptApp: the report designer's application object. It holds the
// program-wide settings every other part reads (units and their texts, the
// palette table, the program folder, remembered folders, page size, skin),
// starts the program in a fixed order, runs the commands that belong to no
// document, and undoes its start-up work at exit.
//
// One object exists while the program runs; theApp() returns it.
#pragma once

#include "app_signals.h"
#include "skin/recent_file_list.h"
#include "skin/cmd_target.h"

#include "irimage/ir_analysis.h"
#include "skin/skin_colors.h"

#include "irimage/ir_analysis.h"

#include <QByteArray>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {
class Settings;
class IniFile;
}
class CMainFrame;
class CDI_RptTemplate;
class CAppEnvironment;
class CDI_RptView;
class CSplitFrame;

// Where start-up finds and keeps things; every empty field takes the
// program's normal place, so tests can run it in folders of their own.
struct StartupOptions {
    QString programFolder;     // the per-user program folder
    QString defaultDataFolder; // installed defaults seeded into it
    QString configFolder;      // folder of kestrelworksA/Pagewright.conf
    QString executableFolder;  // override strings and Cardpull are looked for here
    QStringList arguments;     // command line, without the program name
    // Printable width and height of the default printer in millimetres;
    // nullopt when there is no printer; asked at start. Unset: the print
    // system is asked when printing or setting up the printer, and until
    // then the page is the paper of the user's locale (start-up does not
    // load the printing support for a page size).
    std::function<std::optional<QSizeF>()> printablePageMm;
    // By its SONAME: the unversioned name is a development file.
    QString cardpullLibrary = QStringLiteral("libcardpull.so.1");
    bool showMainFrame = true;
};

class CDI_RptApp : public CCmdTarget {
public:
    // The edition that the settings belong to; other settings are wiped.
    static constexpr char kEdition[] = "Oct  8 2013";
    static constexpr int kMaxPaletteNames = 20;
    static constexpr int kStyleCount = 7;

    explicit CDI_RptApp(StartupOptions options = {});
    ~CDI_RptApp() override;
    CDI_RptApp(const CDI_RptApp&) = delete;
    CDI_RptApp& operator=(const CDI_RptApp&) = delete;

    // Start-up in order; false ends the program.
    bool InitInstance();
    // Undoes start-up; safe to call once after any InitInstance.
    int ExitInstance();

    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override;

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnUnits();
    void OnBatch();
    // Batch generation over m_batchFiles into folder.
    void BatchReports(const QString& templatePath, const QString& folder);
    void BatchPictures(const QString& folder, bool colourBar, int palette);
    void OnAppAbout();
    void OnFilePrintSetup();

    // Palettes, object types (field.ini); false when no palette is set up.
    bool LoadFieldIni();

    // The folder of the running program (the per-user program folder).
    QString GetAppDirectory() const { return m_programDir; }
    QString FieldIniPath() const;

    platform::Settings& GetSettings() const { return *m_settings; }
    CMainFrame* GetMainFrame() const { return m_mainFrame; }
    CDI_RptTemplate* GetDocTemplate() const { return m_template.get(); }
    const StartupOptions& GetOptions() const { return m_options; }

    // Settings every part reads.
    int tempetype = 0;          // 0 Celsius, 1 Fahrenheit, 2 Kelvin
    int metertype = 0;          // 0 metre, 1 feet
    QString m_strTempUnit;      // "℃", "℉", " K"
    QString m_strLengthUnit;    // "m", "ft"
    QString m_templatePath;
    QString m_savePath;
    QString m_picPath;
    float m_pageWidth = 0;      // inches
    float m_pageHeight = 0;
    int m_pageKind = 0;
    int m_defaultFontId = 17;   // the user-interface font
    bool m_newShell = true;
    CAppSignals m_signals;
    // The skin: style number, presets, shades and images.
    skin::SkinState m_skin;
    bool m_languageLoaded = false; // the string override file was read
    QString m_startFile;        // a report the next new document opens
    // The data file of a command-line filling: infrared file paths (names)
    // and values, one per line, and the analyses carried between images.
    QStringList m_fieldNames;
    QStringList m_fieldValues;
    int m_fieldCount = 0;
    IRAnalysisArray m_analysisArray;
    QStringList m_objectTypes;
    CRecentFileList m_recentFiles; // the File menu's last reports, newest first
    QStringList m_paletteNames; // kMaxPaletteNames slots
    // The batch command: its kind (0 reports, 1 pictures), input files in
    // the order added, output folder; and the measurements of a batch
    // template, copied for each file.
    int m_batchType = 0;
    QStringList m_batchFiles;
    QString m_batchFolder;
    IRAnalysisArray m_irAnalyses;

    int GetPaletteCount() const { return m_paletteCount; }
    // Palette i (0-based): 256 x (blue, green, red, 0); null past the count.
    const std::uint8_t* GetPalette(int index) const;
    const QByteArray& GetPaletteTable() const { return m_palettes; }

    // Unit texts from the current units.
    void UpdateUnitTexts();
    // Page size from PrintablePageMm, or 8330 x 11790 / 1008 inches.
    void TakeDefaultPageSize();
    // The printable page in millimetres: the default printer's printable
    // area once the printer has been asked (nullopt without a printer),
    // before that the paper of the user's locale.
    std::optional<QSizeF> PrintablePageMm() const;
    // Asks the default printer (or StartupOptions::printablePageMm) for its
    // printable area, which PrintablePageMm gives from then on.
    void AskPrinter();
    // Opens a report (empty path: a new report) in a child frame of its own;
    // false when it did not open.
    bool OpenReport(const QString& path);
    // Puts path at the top of the recent-file list and stores the list.
    void AddToRecentFileList(const QString& path);
    // Opens entry index (0 newest) of the recent-file list; an entry that
    // does not open (the report said why) leaves the list.
    bool OpenRecentFile(int index);
    CAppEnvironment& GetDocumentEnvironment() const { return *m_docEnv; }
    // Loads Cardpull and calls fnMydll once; false when it was not there.
    bool CallCardpull();
    // Opens the report at path, loads the data file's infrared files into
    // its first infrared image object, saves it; false when the report did
    // not open, holds no infrared image or could not be saved.
    bool FillReportFromCommandLine(const QString& path);

    // Template conversion, with the wait cursor: mode 0 writes the layout
    // file beside the template (the template is read without a window and
    // closed unsaved); mode 1 opens a new report from the template and fills
    // it with the answers of the wizard file; mode 2 builds a new report
    // from the wizard's answers on the template (the empty NewTemp.rpt).
    // Both leave the report open, titled reportName, without a path (the
    // first save asks where) and modified until saved. Other modes only open
    // the template.
    void ConvertReportTemplate(const QString& templatePath, const QString& reportName, int mode);

private:
    void WriteTemplateLayout(const QString& templatePath);
    // A new report read from a private copy of templatePath, in a window of
    // its own; null when it did not open.
    CSplitFrame* OpenNewFromTemplate(const QString& templatePath);
    void FillFromWizard(CDI_RptView& view, const QString& layoutPath);
    void BuildReportFromWizard(CDI_RptView& view);

    void SetupCommands();
    // A command line "template|data": reads the data file, fills a copy of
    // the template and returns the copy's path (empty when nothing was
    // filled); file is cleared whenever the argument had that form.
    QString PrepareCommandLineFill(QString& file);
    bool CheckEdition();

    StartupOptions m_options;
    QString m_programDir;
    std::unique_ptr<platform::Settings> m_settings;
    std::unique_ptr<CDI_RptTemplate> m_template;
    std::unique_ptr<CAppEnvironment> m_docEnv;
    CMainFrame* m_mainFrame = nullptr; // owned
    int m_paletteCount = 0;
    // The printer's answer once it has been asked.
    std::optional<std::optional<QSizeF>> m_printerPageMm;
    int m_untitledCount = 0;
    QByteArray m_palettes;
    bool m_started = false;
};

// The running application object; it must exist.
CDI_RptApp& theApp();
CDI_RptApp* theAppOrNull();
