// The dialogs of the batch command: the kind of output, the input files and
// output folder, then the palette and colour bar (pictures) or the report
// template (reports). Every dialog after the first has a Back button; Back
// and Next/OK both end the dialog with OK so that its data is exchanged,
// and m_next tells them apart (1 forward, 0 back).
#pragma once

#include "skin/dialog_base.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPainter;

// The file and folder choosers of the batch dialogs; each can be replaced
// (tests answer them). An empty result means the user cancelled.
struct BatchChoosers {
    // Several camera files; filterIndex (1-based) in and out.
    std::function<QStringList(QWidget* parent, const QString& filter, int& filterIndex, const QString& folder)>
        openFiles;
    // A folder, starting at start.
    std::function<QString(QWidget* parent, const QString& title, const QString& start)> chooseFolder;
    // One report template.
    std::function<QString(QWidget* parent, const QString& filter, const QString& folder)> openTemplate;
};
// The choosers in use (the system's file dialogs unless replaced).
BatchChoosers& BatchFileChoosers();

// The camera files the file selection offers (every extension in both
// cases: file names are case-sensitive here).
extern const char* const kBatchFileFilter;
extern const char* const kTemplateFilter;

class CBatchTypeDlg : public CDialog {
    Q_OBJECT
public:
    explicit CBatchTypeDlg(QWidget* parent = nullptr);
    int m_type = 0; // 0 reports, 1 pictures

protected:
    bool DoDataExchange(bool save) override;

private:
    QButtonGroup* m_group;
};

class CBatchSettingDlg : public CDialog {
    Q_OBJECT
public:
    explicit CBatchSettingDlg(QWidget* parent = nullptr);

    QString m_folder;              // output folder (edit 472)
    QStringList* m_files = nullptr; // the command's file list, refilled on Next
    int m_next = 0;

    void OnSelect();
    void OnDelete();
    void OnSavePath();
    void OnBack();

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    void OnOK() override;

private:
    void UpdateNext();

    QListWidget* m_list;
    QLineEdit* m_folderEdit;
};

// The preview of a palette: 255 lines, line i at top + i x height / 256 in
// entry 255 - i of the 256 (blue, green, red, 0) entries; only palettes 0
// to 15 are shown.
void PaintPalettePreview(QPainter& painter, const QRect& area, const std::uint8_t* palette, int index);

class PalettePreview : public QWidget {
public:
    explicit PalettePreview(QWidget* parent);
    int m_index = 0;

protected:
    void paintEvent(QPaintEvent* e) override;
};

class CBatchPicSetDlg : public CDialog {
    Q_OBJECT
public:
    explicit CBatchPicSetDlg(QWidget* parent = nullptr);

    int m_barChoice = 0; // 0 with the colour bar, 1 without
    int m_palette = 0;
    int m_next = 0;

    void OnBack();
    QComboBox* Palettes() const { return m_combo; }
    PalettePreview* Preview() const { return m_preview; }

protected:
    bool DoDataExchange(bool save) override;
    void OnOK() override;

private:
    QButtonGroup* m_group;
    QComboBox* m_combo;
    PalettePreview* m_preview;
};

class CTemplatePathDlg : public CDialog {
    Q_OBJECT
public:
    explicit CTemplatePathDlg(QWidget* parent = nullptr);

    QString m_path;
    int m_next = 0;

    void OnChoose();
    void OnBack();

protected:
    bool DoDataExchange(bool save) override;
    void OnOK() override;

private:
    QLineEdit* m_edit;
};
