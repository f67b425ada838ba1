// CTargetSelectDlg: picks one analysis of an infrared image (dialog 374
// "选择"): combo 209 lists the analyses by name ("点01", "线02", "区域03";
// an ellipse is named as an area) and the result is the index of the first
// analysis of the chosen kind and number, -1 for none. Each entry keeps its
// kind and number, so numbers of any width (100, 101) are told apart.
#pragma once

#include "irimage/ir_analysis.h"

#include "skin/dialog_base.h"

class DocumentEnvironment;
class QComboBox;

class CTargetSelectDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 374;
    static constexpr int kTargetCombo = 209;

    // env gives the kind words (strings 61482, 61479, 61492).
    CTargetSelectDlg(const IRAnalysisArray& analyses, const DocumentEnvironment& env, QWidget* parent = nullptr);

    // After OK: the chosen analysis index, or -1.
    int m_nIndex = -1;

    // The name an analysis is listed under.
    static QString EntryName(const IRAnalysisItem& item, const DocumentEnvironment& env);

protected:
    bool DoDataExchange(bool save) override;

private:
    // The kind an entry is chosen by: ellipses answer to the area kind.
    static int ListedKind(std::int32_t kind);

    const IRAnalysisArray& m_analyses;
    QComboBox* m_combo;
};
