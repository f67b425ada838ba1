#include "wizard_file.h"

#include "layout_file.h"
#include "profile_text.h"
#include "wizard_state.h"

#include "platform/ini_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString kPathKey = QStringLiteral("Path");

} // namespace

QString WizardFilePath(const QString& programFolder) { return programFolder + QStringLiteral("/wizard.ini"); }

platform::IniDocument BuildWizardFile(const WizardState& state, int kind, const LayoutFile& layout)
{
    platform::IniDocument ini;
    const int templateImages = layout.ObjCount(kLayoutIR);
    ini.writeInt(u"IROBJ", u"ObjCount", templateImages);
    const int images = kind == kTemplateWizard ? templateImages : std::clamp(state.nWizardImageCount, 0, kMaxLayoutObjects);
    for (int i = 1; i <= images; ++i) {
        ini.writeString(u"IROBJ", LayoutKey(i, "Path"), WizardState::At(state.astrWizardIRPaths, i - 1));
        if (state.UsePhoto(i - 1)) {
            const int k = kind == kTemplateWizard ? LayoutPhotoOfImage(layout, i) : i;
            if (k > 0)
                ini.writeString(u"CCDOBJ", LayoutKey(k, "Path"), WizardState::At(state.astrWizardPhotoPaths, i - 1));
        }
        if (kind != kTemplateWizard) {
            ini.writeString(u"PAGETITLE", LayoutKey(i, "Path"), WizardState::At(state.astrWizardPageTitles, i - 1));
            ini.writeString(u"SECTION", LayoutKey(i, "Path"), WizardState::At(state.astrWizardSections, i - 1));
            ini.writeString(u"DEVNAME", LayoutKey(i, "Path"), WizardState::At(state.astrWizardDeviceNames, i - 1));
        }
    }
    if (kind != kTemplateWizard)
        return ini;

    const int texts = layout.ObjCount(kLayoutText);
    ini.writeInt(u"TEXTOBJ", u"ObjCount", texts);
    for (int t = 1; t <= texts; ++t)
        ini.writeString(u"TEXTOBJ", LayoutKey(t, "Content"), EscapeProfileText(WizardState::At(state.astrWizardTexts, t - 1)));

    // The table page lists the last table first: table t's rows start at
    // the row total less the rows of tables 1 to t.
    const int tables = layout.ObjCount(kLayoutTable);
    ini.writeInt(u"TABLEOBJ", u"ObjCount", tables);
    int rowsSoFar = 0;
    for (int t = 1; t <= tables; ++t) {
        const int rows = layout.TableRows(t);
        const int cols = layout.TableCols(t);
        rowsSoFar += rows;
        const int first = state.nWizardTableRows - rowsSoFar;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c)
                ini.writeString(u"TABLEOBJ", LayoutCellKey(t, r, c, "Content"), EscapeProfileText(state.Cell(first + r, c)));
        }
    }
    return ini;
}

bool WriteWizardFile(const QString& path, const WizardState& state, int kind, const LayoutFile& layout, QString* error)
{
    if (layout.IsDamaged()) {
        if (error != nullptr)
            *error = QStringLiteral("%1: the template's layout file is damaged").arg(path);
        return false;
    }
    platform::IniFile file(path);
    if (file.save(BuildWizardFile(state, kind, layout)))
        return true;
    if (error != nullptr) {
        // The reason as the file system gives it.
        QSaveFile probe(path);
        *error = probe.open(QIODevice::WriteOnly) ? QStringLiteral("%1: write failed").arg(path) : probe.errorString();
        if (probe.isOpen())
            probe.cancelWriting();
    }
    return false;
}

WizardFile WizardFile::Load(const QString& path) { return WizardFile(platform::IniFile(path).load()); }

QString WizardFile::Path(QStringView section, int i) const
{
    return m_ini.value(section, LayoutKey(i, "Path")).value_or(QString());
}

QString WizardFile::Text(int t) const
{
    return UnescapeProfileText(m_ini.value(u"TEXTObj", LayoutKey(t, "Content")).value_or(QString()));
}

QString WizardFile::Cell(int n, int r, int c) const
{
    return UnescapeProfileText(m_ini.value(u"TABLEObj", LayoutCellKey(n, r, c, "Content")).value_or(QString()));
}
