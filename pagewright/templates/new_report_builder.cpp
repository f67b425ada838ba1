// A report built from the new-report wizard's answers on the empty report
// NewTemp.rpt: a cover block on the first page, then one page per chosen
// infrared image with logo, heading, information table, the image, its
// visible-light picture, the chosen result table, line profile and
// histogram, and the closing text boxes.
//
// Every rectangle is laid out in the device units of a view at its
// defaults (zoom 1.0, 96 dpi, not scrolled) and mapped to page units, so the
// report never depends on the window it opens in. W and H are the page's
// width and height in those units, u = H / 110, M = W / 2.
#include "rpt_app.h"

#include "app_environment.h"
#include "resource_ids.h"
#include "rpt_view.h"
#include "string_table.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_result_table.h"
#include "content/draw_table.h"
#include "content/draw_text.h"
#include "content/text_format_ops.h"
#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"
#include "platform/char_format.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <cstdlib>

namespace {

// Colours of a new text: as they come, clear (no fill, no frame) or with a
// white frame and no fill.
enum class TextColours { Keep, Clear, WhiteLine };

class NewReportBuilder {
public:
    NewReportBuilder(CDI_RptView& view, CAppEnvironment& env, IRAnalysisArray& scratch, const WizardState& state,
                     const WizardFile& wizard)
        : m_view(view), m_doc(*view.GetDocument()), m_env(env), m_scratch(scratch), m_state(state), m_wizard(wizard)
    {
        const QPoint page = m_map.DocToClient(QPoint(m_doc.GetPageSize().width(), m_doc.GetPageSize().height()));
        W = std::abs(page.x());
        H = std::abs(page.y());
        u = H / 110;
        M = W / 2;
    }

    void Build()
    {
        CoverBlock();
        for (int i = 1; i <= m_state.nWizardImageCount; ++i)
            ImagePage(i);
        m_doc.SetCurPage(0);
        m_doc.FillPageTitles();
    }

private:
    DocRect Doc(int left, int top, int right, int bottom) const
    {
        return m_map.ClientToDoc(DocRect(left, top, right, bottom));
    }

    template <class T>
    T* Add(std::unique_ptr<T> object)
    {
        return static_cast<T*>(m_doc.AddNoUndo(std::move(object)));
    }

    // A text box; a null text keeps what a new text object holds, size 0
    // keeps the size in force.
    CDrawText* AddText(int left, int top, int right, int bottom, const QString* text, int align, int size,
                       TextColours colours)
    {
        auto* box = Add(std::make_unique<CDrawText>(&m_view, Doc(left, top, right, bottom)));
        if (text != nullptr)
            box->SetPlainText(&m_view, *text, align, nullptr);
        else
            box->EndEdit(&m_view);
        if (size > 0) {
            platform::CHARFORMAT cf;
            cf.dwMask = platform::CFM_SIZE;
            cf.yHeight = size;
            rich_text::ApplyFormatToStore(*box->GetTextStore(), m_env, 0, 0, &cf);
        }
        if (colours != TextColours::Keep) {
            box->SetFillColor(0xFFFFFFFF);
            box->SetLineColor(colours == TextColours::Clear ? 0xFFFFFFFF : 0xFFFFFF);
        }
        return box;
    }

    void AddText(int left, int top, int right, int bottom, const QString& text, int align, int size, TextColours colours)
    {
        AddText(left, top, right, bottom, &text, align, size, colours);
    }

    void AddCaption(int x, int y, const QString& text) { AddText(x, y - 3 * u, x + 200, y, text, 1, 240, TextColours::Clear); }

    void AddLogo() { Add(std::make_unique<CDrawLogo>(&m_view, Doc(20, 20, W / 10 + 50, W / 10))); }

    void CoverBlock()
    {
        AddText(130, 150, W - 130, 150 + 5 * u, m_state.strWizardReportTitle, 0, 480, TextColours::Clear);
        AddText(230, 150 + 12 * u, W - 230, 150 + 16 * u, m_state.strWizardCompany, 0, 360, TextColours::WhiteLine);
        AddText(230, 150 + 22 * u, W - 230, 150 + 25 * u, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), 0,
                0, TextColours::WhiteLine);
        AddText(100, 150 + 45 * u, W - 100, 150 + 75 * u, m_state.strWizardDescription, 0, 0, TextColours::Keep);
        // The document read logo.jpg of the program folder when it was made.
        AddLogo();
    }

    // A picture for the photo beside image n.
    void AddPhoto(int n, const QString& path)
    {
        const int y0 = Y0();
        AddCaption(M + 6 * u, y0, LoadStringRes(res::IDS_WIZARD_VISIBLE));
        auto photo = std::make_unique<CDrawPhoto>(&m_view, Doc(M + 6 * u, y0, W - 160, y0 + 20 * u));
        photo->SetLinkedIRNumber(n);
        photo->LoadPicture(path);
        Add(std::move(photo));
    }

    int Y0() const { return 60 + 16 * u; }

    // The image of page i from file path: its number, and its device bottom
    // in *bottom.
    CDrawIR* AddImage(const QString& path)
    {
        const int y0 = Y0();
        AddCaption(80, y0, LoadStringRes(res::IDS_WIZARD_IR_IMAGE));
        const DocRect device(80, y0, M, y0 + 20 * u);
        auto owned = std::make_unique<CDrawIR>(&m_view, Doc(device.left, device.top, device.right, device.bottom));
        CDrawIR* image = owned.get();
        image->SetNumber(m_view.NextFreeIRNumber());
        // The width follows from the height (4:3 and a margin for the scale).
        DocRect rect = image->position.Normalized();
        rect.right = int(double(rect.left) + double(rect.bottom - rect.top) * 1.33333 + 1000.0);
        image->position = rect;
        Add(std::move(owned));
        m_view.InsertIRObject(image);
        const std::vector<CDrawObj*>& images = m_view.GetIRObjects();
        m_view.ShiftImageList(int(std::find(images.begin(), images.end(), image) - images.begin()), 1);

        if (!m_scratch.IsEmpty())
            m_scratch.RemoveAll();
        image->CopyAnalysesTo(m_scratch);
        if (!image->LoadIRFile(path) || !image->HasImage())
            return image;
        const float scale = float(image->ImageHeight()) / float(rect.bottom - rect.top);
        image->m_fScaleX = scale;
        image->m_fScaleY = scale;
        image->AddAreaAnalysis(DocRect(m_map.ClientToDoc(QPoint(device.left + 20, device.top + 20)),
                                       m_map.ClientToDoc(QPoint(device.right - 110, device.bottom - 20))));
        return image;
    }

    void ImagePage(int i)
    {
        m_doc.InsertPage(0, QStringLiteral("Page%1").arg(i));
        m_view.HideTextEditor();
        m_view.InvalidateAll();
        AddLogo();
        const QString title = m_wizard.PageTitle(i);
        AddText(130, 60, W - 130, 60 + 5 * u, title, 0, 480, TextColours::Clear);

        // The page's image is known before its information table, whose
        // fields show it (a page without an image leaves them unbound).
        const QString irPath = m_wizard.IRPath(i);
        const int imageNumber = irPath.isEmpty() ? 0 : m_view.NextFreeIRNumber();
        int bottom = AddInformationTable(i, imageNumber);

        const int y0 = Y0();
        bool photoPlaced = false;
        if (imageNumber > 0) {
            CDrawIR* image = AddImage(irPath);
            m_table->RegisterWithImages(&m_view);
            bottom = y0 + 20 * u;
            const QString picture = image->WriteVisiblePhoto(m_env.TemporaryFolder());
            if (!picture.isEmpty()) {
                AddPhoto(imageNumber, picture);
                QFile::remove(picture);
                photoPlaced = true;
            }
        }
        const QString chosen = m_wizard.PhotoPath(i);
        if (!chosen.isEmpty()) {
            AddPhoto(imageNumber, chosen);
            photoPlaced = true;
        }
        bottom = AddOptionalObjects(imageNumber, photoPlaced, bottom);
        AddClosingTexts(bottom);
        m_view.ClearSelection();
        m_view.InvalidateAll();
    }

    // The 4 x 2 table of location, camera, date and time; the fields of
    // date and time show image imageNumber (0: none). Its device bottom.
    int AddInformationTable(int i, int imageNumber)
    {
        auto owned = std::make_unique<CDrawTable>(&m_view, Doc(80, 60 + 6 * u, W - 80, 60 + 12 * u), 4, 2);
        owned->RecalcLayout();
        m_table = Add(std::move(owned));
        const int heads[] = {res::IDS_WIZARD_LOCATION, kCameraModel, kCreationDate, kCreationTime};
        for (int c = 0; c < 4; ++c)
            m_table->SetCellText(&m_view, 0, c, LoadStringRes(heads[c]), 0);
        m_table->SetCellText(&m_view, 1, 0, m_wizard.Section(i), 0);
        m_table->SetCellText(&m_view, 1, 1, m_wizard.DeviceName(i), 0);
        // Row 1, columns 2 and 3 (cells 6 and 7) show the image's own date
        // and time.
        m_table->MakeFieldCell(6, imageNumber, kCreationDate);
        m_table->MakeFieldCell(7, imageNumber, kCreationTime);
        // Nothing active or picked: every cell is centred.
        m_table->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("5"), 0);
        return 60 + 12 * u;
    }

    // The result table, line profile and histogram the wizard asked for,
    // each with its caption, showing image n: beside the image where the
    // picture left room, else below it. The device bottom of the last one
    // placed (else bottom).
    int AddOptionalObjects(int n, bool photoPlaced, int bottom)
    {
        const bool P = photoPlaced;
        const bool R = m_state.bWizardAttributeTable;
        const bool F = m_state.bWizardLineProfile;
        const bool G = m_state.bWizardHistogram;
        const int y0 = Y0();
        const int y1 = y0 + 24 * u;
        const int b = y0 + 44 * u;
        if (R) {
            const DocRect d = P ? DocRect(80, y1, M - 80, b) : DocRect(M + 6 * u, y0, W - 80, y0 + 20 * u);
            AddCaption(d.left, d.top, LoadStringRes(res::IDS_WIZARD_PROPERTY_TABLE));
            auto table = std::make_unique<CDrawResultTable>(&m_view, Doc(d.left, d.top, d.right, d.bottom));
            table->SetIRNumber(n);
            table->SetFieldIds({33400, 33401, 33402, 33700}); // emissivity, distance, ambient, area maximum
            table->SetDifference(0);
            table->BuildRows(nullptr);
            // Two headers (parameters, area) and the four fields, at the
            // default row height, until the first draw lays them out.
            table->SetRowLayout(6, CDrawResultTable::kDefaultRowHeight);
            Add(std::move(table));
            bottom = d.bottom;
        }
        if (F) {
            const DocRect d = P && R ? DocRect(M + 3 * u, y1, W - 80, b) : DocRect(80, y1, M, b);
            AddCaption(d.left, d.top, LoadStringRes(res::IDS_WIZARD_LINE_CHART));
            auto profile = std::make_unique<CDrawProfile>(&m_view, Doc(d.left, d.top, d.right, d.bottom));
            profile->SetLinkedIRNumber(n);
            Add(std::move(profile));
            bottom = d.bottom;
        }
        if (G) {
            DocRect d(80, y1, M, b);
            if (P && R && F)
                d = DocRect(80, y1 + 24 * u, W - 80, b + 24 * u);
            else if ((P && R && !F) || (F && !(P && R)))
                d = DocRect(M + 3 * u, y1, W - 80, b);
            AddCaption(d.left, d.top, LoadStringRes(res::IDS_WIZARD_HISTOGRAM));
            auto histogram = std::make_unique<CDrawHistogram>(&m_view, Doc(d.left, d.top, d.right, d.bottom));
            histogram->SetLinkedIRNumber(n);
            histogram->m_bLineMode = 0; // the area measurement added over the image
            Add(std::move(histogram));
            bottom = d.bottom;
        }
        return bottom;
    }

    void AddClosingTexts(int B)
    {
        const QString diagnosis = LoadStringRes(res::IDS_WIZARD_DIAGNOSIS);
        const QString handling = LoadStringRes(res::IDS_WIZARD_HANDLING);
        const QString inspector = LoadStringRes(res::IDS_WIZARD_INSPECTOR);
        if (H - B < 230) {
            AddText(80, B + u, 250, B + 4 * u, diagnosis + QLatin1Char(' ') + handling, 1, 240, TextColours::Clear);
            AddText(80, B + 4 * u, W - 80, B + 9 * u, nullptr, 0, 0, TextColours::Keep);
            AddText(M + 10 * u, B + 10 * u, W - 80, B + 13 * u, inspector, 1, 240, TextColours::Clear);
            return;
        }
        const int g = (H - B - 12 * u - 80) / 2;
        AddText(80, B + u, 250, B + 4 * u, diagnosis, 1, 240, TextColours::Clear);
        AddText(80, B + 4 * u, W - 80, B + g + 4 * u, nullptr, 0, 0, TextColours::Keep);
        AddText(80, B + g + 5 * u, 250, B + g + 8 * u, handling, 1, 240, TextColours::Clear);
        AddText(80, B + g + 8 * u, W - 80, B + 2 * g + 8 * u, nullptr, 0, 0, TextColours::Keep);
        AddText(M + 10 * u, B + 2 * g + 9 * u, W - 80, B + 2 * g + 12 * u, inspector, 1, 240, TextColours::Clear);
    }

    static constexpr int kCameraModel = 33300;
    static constexpr int kCreationDate = 33200;
    static constexpr int kCreationTime = 33201;

    DrawView m_map; // the device mapping of a view at its defaults
    CDrawTable* m_table = nullptr; // the information table of the page being built
    CDI_RptView& m_view;
    CDI_RptDoc& m_doc;
    CAppEnvironment& m_env;
    IRAnalysisArray& m_scratch;
    const WizardState& m_state;
    const WizardFile& m_wizard;
    int W = 0;
    int H = 0;
    int u = 0;
    int M = 0;
};

} // namespace

void CDI_RptApp::BuildReportFromWizard(CDI_RptView& view)
{
    const WizardFile wizard = WizardFile::Load(WizardFilePath(m_programDir));
    NewReportBuilder(view, *m_docEnv, m_analysisArray, TheWizardState(), wizard).Build();
}
