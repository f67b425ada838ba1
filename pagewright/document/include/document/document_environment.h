// DocumentEnvironment: what the report document needs from the program
// around it: string texts, message boxes, the program folder, the default
// printer's page, the remembered save folder, the template chooser, file,
// colour and property dialogs, the main frame's lock indicator and page list.
//
// The application fills it with its own settings and windows; on its own it
// is headless (no printer, no dialogs, messages to standard error), which is
// what tools and tests use. Every member has that headless default.
#pragma once

#include "document/geometry.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QDialog;

// String ids the document uses.
namespace doc_string {
inline constexpr int kAppTitle = 57344;        // "Pagewright"
inline constexpr int kLock = 61469;            // "锁定(&L)"
inline constexpr int kUnlock = 61470;          // "解锁(&U)"
inline constexpr int kReport = 61497;          // "Report": new page titles are "Report1", ...
inline constexpr int kVersionMismatch = 61503; // undo refused in a document of another version
inline constexpr int kHideNumbers = 61506;     // "隐藏编号(&H)"
inline constexpr int kShowNumbers = 61507;     // "显示编号(&X)"
inline constexpr int kNone = 61491;            // status pane 2 without a numbered object
inline constexpr int kTempReadout = 61477;     // "温度:%.1f 宽度:%.1f"
inline constexpr int kDeletePage = 61467;      // delete the current page?
inline constexpr int kExportedOpenIt = 61462;  // the report was exported; open it?
inline constexpr int kOpenDocumentCaption = 61476; // "打开文档"
inline constexpr int kTargetInUse = 61502;     // the target file is in use
// Texts of this library (the program's table may override them).
inline constexpr int kOpenFailed = 61600;      // %1: file; %2: reason
inline constexpr int kBadFormat = 61601;       // damaged or not a report
inline constexpr int kUnknownObject = 61602;   // an object class this program cannot read
inline constexpr int kNewerVersion = 61603;    // %1: the file's version
inline constexpr int kSaveFailed = 61604;      // %1: file; %2: reason
inline constexpr int kAskToSave = 61605;       // %1: document title
inline constexpr int kUndoReset = 61606;       // an undo step did not fit the report
inline constexpr int kPropertiesTitle = 61607; // "Analysis Objects Property"
inline constexpr int kEmbeddedObject = 61608;  // a report with embedded items, which this platform cannot open
// Messages of the data exchange of dialogs and property pages.
inline constexpr int kEnterNumber = 61609;     // a text that is no number
inline constexpr int kEnterInteger = 61610;    // a text that is no integer
inline constexpr int kNumberRange = 61611;     // %1, %2: the bounds
inline constexpr int kIntegerRange = 61612;    // %1, %2: the bounds
// Texts of the infrared image object.
inline constexpr int kTempUnitText = 61449;    // + unit: "℃", "℉", " K"
inline constexpr int kLengthUnitText = 61452;  // + unit: "m", "ft"
inline constexpr int kNoAnalysis = 61478;      // "(无)"
inline constexpr int kLineWord = 61479;        // "线"
inline constexpr int kPointWord = 61482;       // "点"
inline constexpr int kAreaWord = 61492;        // "区域"
inline constexpr int kIRSettingsTitle = 61475; // "设置...."
inline constexpr int kIsothermWord = 61500;    // "等温"
inline constexpr int kEmissivityRange10 = 61508; // "请填入一个0.1到1之间的数字！"
inline constexpr int kEmissivityRange1 = 61509;  // "请填入一个0.01到1之间的数字！"
inline constexpr int kTemperature = 33500;     // "温度"
inline constexpr int kMaxTemperature = 33205;  // "最高温度"
inline constexpr int kMinTemperature = 33206;  // "最低温度"
inline constexpr int kAvgTemperature = 33603;  // "平均温度"
} // namespace doc_string

// The main frame's file combo box and file-name window, through which an
// infrared image shows its picture-folder list.
class FileComboHost {
public:
    virtual ~FileComboHost() = default;
    virtual void ResetContent() = 0;
    virtual void AddString(const QString& text) = 0;
    virtual void SetCurSel(int index) = 0;
    virtual int GetCurSel() const = 0;
    virtual void SetFileNameText(const QString& text) = 0;
    virtual void FocusFileName() = 0;
};

class DocumentEnvironment {
public:
    // Button sets and answers of message boxes (the original's values).
    static constexpr int kOk = 0x0;
    static constexpr int kYesNoCancel = 0x3;
    static constexpr int kYesNo = 0x4;
    static constexpr int kIconStop = 0x10;
    static constexpr int kIconQuestion = 0x20;
    static constexpr int kIconExclamation = 0x30;
    static constexpr int kIconInformation = 0x40;
    static constexpr int kAnswerOk = 1;
    static constexpr int kAnswerCancel = 2;
    static constexpr int kAnswerYes = 6;
    static constexpr int kAnswerNo = 7;

    virtual ~DocumentEnvironment() = default;

    // The text of a string id: the document's built-in texts; empty for an id
    // it does not know.
    virtual QString LoadString(int id) const;
    // Shows a message (stringId: the id the text came from, 0 for none) and
    // returns the button pressed. Headless: the text goes to standard error,
    // the answer is OK (No for questions).
    virtual int MessageBox(const QString& text, int type, int stringId);
    int MessageBox(int stringId, int type = kOk) { return MessageBox(LoadString(stringId), type, stringId); }
    // The caption of the box of a string id: the question whether to open a
    // file just exported (61462) carries "打开文档" (61476); every other box
    // the program's title (an empty text).
    QString MessageBoxCaption(int stringId) const;

    // The per-user program folder (logo.jpg, template/); empty when none.
    virtual QString ProgramFolder() const { return {}; }
    // Printable width and height of the default printer in whole millimetres;
    // nullopt when there is no printer.
    virtual std::optional<QSize> DefaultPrinterPageMm() const { return std::nullopt; }
    // The program-wide page size in inches (read by printing and the export).
    virtual void SetPageInches(float width, float height) { (void)width, (void)height; }
    // A report that the next new document opens (command-line filling); it is
    // handed out once.
    virtual QString TakeStartFile() { return {}; }

    struct TemplateChoice {
        bool accepted = true; // false: cancelled
        QString path;         // empty: a blank report
    };
    // The template chooser of a new report. Headless: a blank report.
    virtual TemplateChoice ChooseTemplate() { return {}; }

    // The remembered save folder (setting SavePath/SavePath): the folder last
    // saved or exported to. Dialogs propose it through platform::ProposedFolder.
    virtual QString GetSavePath() const { return {}; }
    virtual void SetSavePath(const QString& folder) { (void)folder; }
    // A report was opened from or saved to path: the program's list of
    // recent files takes it.
    virtual void AddToRecentFileList(const QString& path) { (void)path; }
    // The save-file prompt with a proposed path; replace: save (true) or save
    // a copy; filter: the file types offered (empty: reports). Empty when
    // cancelled (headless: always).
    virtual QString PromptSaveFileName(const QString& proposed, bool replace, const QString& filter = {})
    {
        (void)proposed, (void)replace, (void)filter;
        return {};
    }
    // Opens a file with the desktop's default application for its type
    // (headless: nothing).
    virtual void OpenWithDefaultApplication(const QString& path) { (void)path; }
    // The colour dialog; nullopt when cancelled (headless: always).
    virtual std::optional<COLORREF> ChooseColor(COLORREF initial)
    {
        (void)initial;
        return std::nullopt;
    }
    // Runs a modal dialog; true when it was accepted (headless: exec()).
    virtual bool RunDialog(QDialog& dialog);

    // The main frame's lock indicator (status-bar pane 1).
    virtual void SetLockIndicator(bool locked) { (void)locked; }
    // The main frame's page list: how many pages and the current one (the
    // list reads the titles from the view in front).
    virtual void FillPageTitles(int count, int current) { (void)count, (void)current; }

    // Folder of the working copies of templates.
    virtual QString TemporaryFolder() const;

    // ---- what infrared images read of the program
    // The one temperature unit of read-outs, scales and texts (0 Celsius,
    // 1 Fahrenheit, 2 Kelvin). Changing it tells the program
    // (TempUnitChanged) and every observer (the image library recomputes the
    // statistics of every image of every open document).
    int TempUnit() const { return m_tempUnit; }
    void SetTempUnit(int unit);
    // The unit's text (string kTempUnitText + unit).
    QString TempUnitText() const { return LoadString(doc_string::kTempUnitText + m_tempUnit); }
    using TempUnitObserver = void (*)(DocumentEnvironment& env);
    // Adds an observer once (a second call with the same one does nothing).
    static void AddTempUnitObserver(TempUnitObserver observer);

    // The length unit of field texts (0 metres, 1 feet) and its text
    // (string kLengthUnitText + unit).
    int LengthUnit() const { return m_lengthUnit; }
    void SetLengthUnit(int unit) { m_lengthUnit = unit == 1 ? 1 : 0; }
    QString LengthUnitText() const { return LoadString(doc_string::kLengthUnitText + m_lengthUnit); }

    // Number of palettes loaded (headless: none).
    virtual int PaletteCount() const { return 0; }
    // The palette table: PaletteCount() x 256 entries of 4 bytes (blue,
    // green, red, 0); empty when none is loaded.
    virtual QByteArray PaletteTable() const { return {}; }
    // Makes palette index the program's current palette.
    virtual void SelectPalette(int index) { (void)index; }
    // A file of the program folder, its name matched without regard to case;
    // the plain path in the folder when none matches.
    virtual QString FindProgramFile(const QString& name) const;
    // Remembers the last infrared file shown or picture chosen (setting
    // PicPath/PicPath): the picture dialogs open beside it.
    virtual void SetPicPath(const QString& path) { (void)path; }
    // The last infrared file shown or picture chosen (empty: none remembered).
    virtual QString PicPath() const { return {}; }
    // The object types of the settings (field.ini [OBJECTTYPE]); each text
    // begins with an emissivity in per cent.
    virtual QStringList ObjectTypes() const { return {}; }
    // The display name of palette index; empty past the palettes named.
    virtual QString PaletteName(int index) const
    {
        (void)index;
        return {};
    }
    // The data-file table of the command-line filling: the infrared files a
    // report's image loads together.
    virtual QStringList DataFileNames() const { return {}; }
    // The main frame's file combo; null when there is none.
    virtual FileComboHost* FileCombo() { return nullptr; }

protected:
    // Called after the unit changed, before the observers.
    virtual void TempUnitChanged() {}

private:
    int m_tempUnit = 0;
    int m_lengthUnit = 0;
};

// A headless environment shared by documents made without one.
DocumentEnvironment& DefaultDocumentEnvironment();
