// CHeatshelfApp: the browser's application object. InitInstance, in order:
// the string override file "Shelfpack.txt" beside the program; the program
// folder (seeded from the installed defaults); the ten palettes; the theme
// from field.ini; the menu border; the settings; the document, the main
// frame with its panes, the menu images, the shown window. ExitInstance
// releases all of it.
#pragma once

#include "heatshelf_doc.h"
#include "main_frame.h"
#include "palette_table.h"
#include "skin/recent_file_list.h"

#include "heatshelf/theme.h"
#include "skin/cmd_target.h"

#include <QString>

#include <functional>
#include <memory>

class QPrinter;

namespace platform {
class Settings;
}

namespace heatshelf {

class CAboutDlg;

struct StartupOptions {
    QString programFolder;     // the per-user program folder (KESTRELWORKS_PROGRAM_DIR otherwise)
    QString defaultDataFolder; // installed defaults seeded into it
    QString configFolder;      // where the settings file lives
    QString executableFolder;  // "Shelfpack.txt" is looked for here
    bool showMainFrame = true;
    CMainFrame::ViewFactory makeView; // the right pane (tests and the image view)
};

class CHeatshelfApp : public CCmdTarget {
public:
    explicit CHeatshelfApp(StartupOptions options = {});
    ~CHeatshelfApp() override;

    bool InitInstance();
    int ExitInstance();

    // The palette from "nruler<n>.bmp" (n 1..10) into palette n - 1.
    bool LoadPalette(int n) { return m_palettes.LoadPalette(n, m_programDir); }
    // The About box (template 100) with its texts; OnAppAbout runs it.
    std::unique_ptr<CAboutDlg> MakeAboutBox();
    void OnAppAbout();

    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override { return DispatchOwn(id, mode, ui); }

    // Command 57600: the document starts anew; it holds nothing and its
    // title stays empty, so what the browser shows does not change.
    void OnFileNew();
    // Command 57601: the open dialog (infrared files, or all files) in the
    // current folder, then OpenDocumentFile.
    void OnFileOpen();
    // Command 57606: the page set-up of the program's printer.
    void OnFilePrintSetup();
    // Commands 57616..57619: the recent file; one that cannot be shown
    // leaves the list.
    void OnOpenRecentFile(int id);
    // Shows an infrared file alone in the image view, its folder the
    // current one, and puts it at the top of the recent files. A missing
    // file, or one that does not open, is said in a message box: false.
    bool OpenDocumentFile(const QString& path);
    CRecentFileList& RecentFiles() { return m_recentFiles; }
    // The open dialog (the folder to start in); tests replace it. The
    // chosen path, empty when cancelled.
    std::function<QString(const QString& folder)> askFileToOpen;

    const QString& ProgramDir() const { return m_programDir; }
    QString FieldIniPath() const;
    const PaletteTable& Palettes() const { return m_palettes; }
    Theme& GetTheme() { return m_theme; }
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    CHeatshelfDoc& Document() { return m_doc; }
    platform::Settings* Settings() const { return m_settings.get(); }

private:
    void updateRecentMenu();

    StartupOptions m_options;
    bool m_started = false;
    QString m_programDir;
    PaletteTable m_palettes;
    Theme m_theme;
    std::unique_ptr<platform::Settings> m_settings;
    CRecentFileList m_recentFiles;
    std::unique_ptr<QPrinter> m_printer;
    CHeatshelfDoc m_doc;
    std::unique_ptr<CMainFrame> m_mainFrame;
};

// The one application object while it exists; null otherwise.
CHeatshelfApp* TheApp();

} // namespace heatshelf
