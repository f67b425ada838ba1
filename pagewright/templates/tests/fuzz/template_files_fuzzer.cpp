// Fuzz target: a template's layout file and the wizard file, read from the
// input as template conversion, the wizard and its summary read them.
// Whatever the bytes:
// - the layout reader's counts stay within what a layout may describe (a
//   larger claim makes the file damaged and every count 0), and its readers
//   finish (no loop over a claimed count);
// - the wizard file built from the layout and a wizard state holds every
//   text and cell as the state has it (line breaks and backslashes
//   escaped), and reads back through the wizard file reader;
// - the wizard file reader reads the input as a wizard file.
#include "layout_file.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include "platform/ini_document.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Texts that the profile format keeps as they are apart from the escaped
// characters: letters, a Chinese character, backslashes and line breaks.
QString TextOf(const std::uint8_t* data, std::size_t size, std::size_t at, std::size_t length)
{
    static const char16_t kAlphabet[] = {u'a', u'b', u'\\', u'\r', u'\n', u'n', u'r', u'中'};
    QString text;
    text += u'x';
    for (std::size_t i = 0; i < length && size > 0; ++i)
        text += QChar(kAlphabet[data[(at + i) % size] % 8]);
    text += u'x';
    return text;
}

// Objects the checks below visit of one kind.
constexpr int kVisit = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const LayoutFile layout{platform::IniDocument(bytes)};

    qint64 cells = 0;
    for (int section = 0; section < kLayoutSectionCount; ++section) {
        const int count = layout.ObjCount(section);
        Check(count >= 0 && count <= kMaxLayoutObjects);
        Check(!layout.IsDamaged() || count == 0);
        layout.StoredObjCount(section);
    }
    for (int n = 1; n <= std::min(layout.ObjCount(kLayoutTable), kVisit); ++n) {
        const int rows = layout.TableRows(n);
        const int cols = layout.TableCols(n);
        Check(rows >= 0 && cols >= 0 && rows <= kMaxLayoutObjects && cols <= kMaxLayoutObjects);
        cells += qint64(rows) * cols;
        for (int r = 0; r < std::min(rows, 8); ++r) {
            for (int c = 0; c < std::min(cols, 8); ++c) {
                layout.CellContent(n, r, c);
                layout.CellAlign(n, r, c);
            }
        }
    }
    Check(cells <= kMaxLayoutCells);
    for (int t = 1; t <= std::min(layout.ObjCount(kLayoutText), kVisit); ++t) {
        layout.TextContent(t);
        layout.TextAlign(t);
    }
    for (int i = 1; i <= std::min(layout.ObjCount(kLayoutIR), kVisit); ++i) {
        const int photo = LayoutPhotoOfImage(layout, i);
        Check(photo >= 0 && photo <= layout.ObjCount(kLayoutPhoto));
    }

    // The wizard's answers: two texts, a photo for image 1, cells of
    // 3 rows of 2.
    WizardState state;
    state.nWizardImageCount = 2;
    state.astrWizardTexts = {TextOf(data, size, 0, 6), TextOf(data, size, 6, 3)};
    state.astrWizardIRPaths = {QStringLiteral("/a/1.VNI"), QStringLiteral("/a/2.VNI")};
    state.astrWizardPhotoPaths = {QStringLiteral("/a/1.jpg")};
    state.abWizardUsePhoto = {true};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 2; ++c)
            state.SetCell(r, c, TextOf(data, size, std::size_t(r * 2 + c), 4));
    }
    state.nWizardTableRows = 3;
    state.nWizardTableCols = 2;

    // A file claiming many objects is bounded, but writing a million cells
    // takes seconds: the round trip runs on the smaller ones.
    qint64 work = cells;
    for (int section = 0; section < kLayoutSectionCount; ++section)
        work += layout.ObjCount(section);
    if (work <= 20000) {
        for (int kind : {kTemplateWizard, kNewReportWizard}) {
            const WizardFile wizard{platform::IniDocument(BuildWizardFile(state, kind, layout).toBytes())};
            Check(wizard.IRPath(1) == (kind == kNewReportWizard || layout.ObjCount(kLayoutIR) >= 1
                                           ? state.astrWizardIRPaths[0]
                                           : QString()));
            if (kind != kTemplateWizard)
                continue;
            for (int t = 1; t <= std::min(layout.ObjCount(kLayoutText), kVisit); ++t)
                Check(wizard.Text(t) == WizardState::At(state.astrWizardTexts, t - 1));
            int rowsSoFar = 0;
            for (int n = 1; n <= std::min(layout.ObjCount(kLayoutTable), kVisit); ++n) {
                const int rows = layout.TableRows(n);
                rowsSoFar += rows;
                for (int r = 0; r < std::min(rows, 8); ++r) {
                    for (int c = 0; c < std::min(layout.TableCols(n), 8); ++c)
                        Check(wizard.Cell(n, r, c) == state.Cell(state.nWizardTableRows - rowsSoFar + r, c));
                }
            }
        }
    }

    // The input as a wizard file.
    const WizardFile wizard{platform::IniDocument(bytes)};
    for (int i = 1; i <= 4; ++i) {
        wizard.IRPath(i);
        wizard.PhotoPath(i);
        wizard.PageTitle(i);
        wizard.Section(i);
        wizard.DeviceName(i);
        wizard.Text(i);
        wizard.Cell(i, i - 1, i - 1);
    }
    return 0;
}
