// CFrameFileCombo: the play bar's file list as the report documents see it.
// An infrared image fills it with its picture-folder entries and reads the
// user's choice back; the list lives in the main frame's play bar, so every
// call finds it again and does nothing while there is no frame or no bar.
#pragma once

#include "document/document_environment.h"

class CDI_RptApp;
class QComboBox;

class CFrameFileCombo : public FileComboHost {
public:
    explicit CFrameFileCombo(CDI_RptApp& app) : m_app(app) {}

    void ResetContent() override;
    void AddString(const QString& text) override;
    void SetCurSel(int index) override;
    int GetCurSel() const override;
    // The whole name of the shown entry, as the list's tip: the list is
    // narrow and cuts long names.
    void SetFileNameText(const QString& text) override;
    // The list does not take the keyboard from the report: refilling it
    // happens while the user works in the view.
    void FocusFileName() override {}

private:
    QComboBox* Combo() const;

    CDI_RptApp& m_app;
};
