// CAppEnvironment: what the report documents get from the program: its
// string table and message boxes, the program folder, the printer page, the
// remembered save folder, file, colour and modal dialogs, the main frame's
// lock pane, page list and file list, the start file, the temperature unit,
// and one private scratch folder (removed at exit) for every scratch file.
#pragma once

#include "document/document_environment.h"
#include "frame_file_combo.h"

#include <QTemporaryDir>

class CDI_RptApp;

class CAppEnvironment : public DocumentEnvironment {
public:
    explicit CAppEnvironment(CDI_RptApp& app);

    QString LoadString(int id) const override;
    int MessageBox(const QString& text, int type, int stringId) override;
    QString ProgramFolder() const override;
    std::optional<QSize> DefaultPrinterPageMm() const override;
    void SetPageInches(float width, float height) override;
    QString TakeStartFile() override;
    TemplateChoice ChooseTemplate() override;
    QString GetSavePath() const override;
    void SetSavePath(const QString& folder) override;
    void AddToRecentFileList(const QString& path) override;
    QString PromptSaveFileName(const QString& proposed, bool replace, const QString& filter = {}) override;
    void OpenWithDefaultApplication(const QString& path) override;
    std::optional<COLORREF> ChooseColor(COLORREF initial) override;
    bool RunDialog(QDialog& dialog) override;
    void SetLockIndicator(bool locked) override;
    void FillPageTitles(int count, int current) override;
    int PaletteCount() const override;
    QByteArray PaletteTable() const override;
    QString TemporaryFolder() const override;
    void SetPicPath(const QString& path) override;
    QString PicPath() const override;
    QStringList DataFileNames() const override;
    QString PaletteName(int index) const override;
    QStringList ObjectTypes() const override;
    // The play bar's file list.
    FileComboHost* FileCombo() override { return &m_fileCombo; }

protected:
    // The program's unit setting follows the environment's unit.
    void TempUnitChanged() override;

private:
    CDI_RptApp& m_app;
    QTemporaryDir m_scratch;
    CFrameFileCombo m_fileCombo;
};
