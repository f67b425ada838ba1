// CDrawIR: construction, dependents, registration and the analyses.
#include "irimage/draw_ir.h"

#include "irimage/ir_dependent.h"
#include "irimage/ir_property_pages.h"
#include "irimage/temperature_text.h"

#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace {

std::vector<CDrawIR*>& LiveImageList()
{
    static std::vector<CDrawIR*> images;
    return images;
}

void AfterUndoRead(CDrawObj& object, DrawView* view, bool recreated)
{
    (void)view, (void)recreated;
    static_cast<CDrawIR&>(object).RefreshAfterUndo();
}

std::uint32_t Now() { return static_cast<std::uint32_t>(std::time(nullptr)); }

} // namespace

const DrawClass CDrawIR::kClass{
    {"CDrawIR", 0, &platform::createArchiveObject<CDrawIR>}, &CDrawObj::kClass, &CreateDrawObjForUndo<CDrawIR>,
    &AfterUndoRead};

CDrawIR::CDrawIR() : m_image(std::make_unique<CIrImage>())
{
    brush.color = 0xFFFFFF;
    m_fHumidity = 0.0f;
    m_timeCreated = Now();
    for (IRIsotherm& iso : m_isotherms)
        iso.enabled = 0;
    LiveImageList().push_back(this);
}

CDrawIR::CDrawIR(DrawView* view, const DocRect& rect)
    : CDrawObj(view, rect),
      m_image(std::make_unique<CIrImage>(
          view != nullptr && view->GetDocument() != nullptr ? &view->GetDocument()->Environment() : nullptr))
{
    brush.color = 0xFFFFFF;
    m_timeCreated = Now();
    for (int i = 0; i < kIsotherms; ++i)
        m_isotherms[static_cast<std::size_t>(i)] = IRIsotherm{0, 0, 0, kIsoDefaultColors[static_cast<std::size_t>(i)]};
    LiveImageList().push_back(this);
    CollectDependents();
}

CDrawIR::~CDrawIR()
{
    g_analysisBanding = false;
    auto& live = LiveImageList();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    for (IRImageDependent* d : m_dependents)
        d->m_images.erase(std::remove(d->m_images.begin(), d->m_images.end(), this), d->m_images.end());
    m_dependents.clear();
    m_dib.clear();
    m_analyses.RemoveAll();
    m_oldItems.RemoveAll();
}

IRImageDependent::~IRImageDependent()
{
    for (CDrawIR* image : m_images) {
        auto& list = image->m_dependents;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

DocumentEnvironment& CDrawIR::Environment() const
{
    if (document != nullptr)
        return document->Environment();
    if (view != nullptr && view->GetDocument() != nullptr)
        return view->GetDocument()->Environment();
    return DefaultDocumentEnvironment();
}

void CDrawIR::SyncHolderEnvironment() { m_image->SetEnvironment(&Environment()); }

const std::vector<CDrawIR*>& CDrawIR::LiveImages() { return LiveImageList(); }

void CDrawIR::Register(DrawClassRegistry& registry)
{
    if (registry.Find(kClass.Name()) == nullptr)
        registry.Add(kClass);
    DocumentEnvironment::AddTempUnitObserver(&CDrawIR::OnTempUnitChanged);
    RegisterIRPropertyPages();
    SetToolObjectFactory(kShapeIRImage, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawIR>(&view, rect);
    });
}

void CDrawIR::OnTempUnitChanged(DocumentEnvironment& env)
{
    // Copied: a dependent told of the change may remove objects.
    const std::vector<CDrawIR*> images = LiveImageList();
    for (CDrawIR* image : images) {
        const auto& live = LiveImageList();
        if (std::find(live.begin(), live.end(), image) == live.end())
            continue;
        if (!image->m_reading && &image->Environment() == &env)
            image->RecomputeForUnit();
    }
}

void CDrawIR::RecomputeForUnit()
{
    if (!HasImage())
        return;
    RecomputeAll();
    NotifyDependents();
}

void CDrawIR::NoteChange(bool count)
{
    m_bChanged = 1;
    if (count && !m_measuringOnly)
        ++m_changeCount;
}

float CDrawIR::AtmosphericTransmittance(float t, float rh, float d) { return ::AtmosphericTransmittance(t, rh, d); }

// ---- dependents

void CDrawIR::AddDependent(IRImageDependent* dependent)
{
    if (dependent == nullptr || std::find(m_dependents.begin(), m_dependents.end(), dependent) != m_dependents.end())
        return;
    m_dependents.push_back(dependent);
    dependent->m_images.push_back(this);
}

void CDrawIR::RemoveDependent(IRImageDependent* dependent)
{
    const auto it = std::find(m_dependents.begin(), m_dependents.end(), dependent);
    if (it == m_dependents.end())
        return;
    m_dependents.erase(it);
    auto& images = dependent->m_images;
    images.erase(std::remove(images.begin(), images.end(), this), images.end());
}

void CDrawIR::NotifyDependents()
{
    const std::vector<IRImageDependent*> dependents = m_dependents;
    for (IRImageDependent* d : dependents) {
        if (std::find(m_dependents.begin(), m_dependents.end(), d) != m_dependents.end())
            d->OnIRImageChanged(*this);
    }
    RepaintLinkedObjects();
}

void CDrawIR::RepaintLinkedObjects()
{
    // Result tables and charts read the image at every draw: they repaint
    // now, where they stood and where they stand after fitting themselves.
    CDI_RptDoc* doc = document;
    if (doc == nullptr || m_reading)
        return;
    const std::vector<CDrawObj*> objects = doc->GetObjects();
    for (CDrawObj* obj : objects) {
        IRLinkedObject* linked = obj != this ? AsIRLinked(obj) : nullptr;
        if (linked == nullptr || linked->GetLinkedIRNumber() != m_nNumber)
            continue;
        obj->Invalidate();
        linked->OnLinkedImageChanged();
        obj->Invalidate();
    }
}

void CDrawIR::SetNumber(int number)
{
    m_nNumber = number;
    CollectDependents();
}

void CDrawIR::CollectDependents()
{
    const CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    if (doc == nullptr)
        return;
    for (CDrawObj* obj : doc->GetObjects()) {
        auto* dependent = dynamic_cast<IRImageDependent*>(obj);
        if (dependent != nullptr && dependent->IsBoundToImage(m_nNumber))
            AddDependent(dependent);
    }
}

// ---- analyses

int CDrawIR::NextAnalysisNumber(int category) const
{
    const std::size_t n = m_analyses.GetSize();
    if (n > std::size_t(kMaxAnalyses))
        return 1;
    if (category != kCategoryPoint && category != kCategoryLine && category != kCategoryArea)
        return 1;
    std::array<bool, kMaxAnalyses + 2> used{};
    int inCategory = 0;
    for (const IRAnalysisItem& item : m_analyses) {
        if (!IRAnalysisItem::InCategory(item.kind, category))
            continue;
        if (item.number >= 1 && item.number <= kMaxAnalyses + 1)
            used[static_cast<std::size_t>(item.number)] = true;
        ++inCategory;
    }
    for (std::size_t k = 1; k <= n; ++k) {
        if (!used[k])
            return static_cast<int>(k);
    }
    return inCategory + 1;
}

void CDrawIR::MeasureAnalysis(IRAnalysisItem& item)
{
    SyncHolderEnvironment();
    switch (item.kind) {
    case kAnalysisPoint:
        m_image->GetPointTemp(item.shape.left, item.shape.top, item.emissivity, item.distance, item.background,
                             &item.maximum);
        break;
    case kAnalysisLine:
        m_image->MeasureLine(item);
        break;
    case kAnalysisEllipse:
        m_image->MeasureArea(item);
        break;
    case kAnalysisRect: {
        const IRShape& s = item.shape;
        const std::int64_t w = std::abs(std::int64_t(s.right) - s.left);
        const std::int64_t h = std::abs(std::int64_t(s.bottom) - s.top);
        // Room for every pixel of the image: a rectangle inside it always
        // fits, a larger one is refused by the query.
        const std::int64_t room = std::int64_t(m_image->Width()) * m_image->Height();
        std::vector<float> values(w * h <= room ? static_cast<std::size_t>(w * h) : 0);
        int count = static_cast<int>(std::min<std::int64_t>(room, 0x7FFFFFFF));
        if (values.empty() || m_image->GetRectTemps(s.left, s.top, s.right, s.bottom, item.emissivity, item.distance,
                                                   item.background, values.data(), &count) == 0)
            count = 0;
        float max = IRAnalysisItem::kNoMaximum;
        float min = IRAnalysisItem::kNoMinimum;
        double sum = 0;
        for (int i = 0; i < count; ++i) {
            const float v = values[static_cast<std::size_t>(i)];
            const auto x = static_cast<std::int32_t>(i / h);
            const auto y = static_cast<std::int32_t>(i % h);
            if (v > max) {
                max = v;
                item.maxX = x;
                item.maxY = y;
            }
            if (v < min) {
                min = v;
                item.minX = x;
                item.minY = y;
            }
            sum += v;
        }
        item.maximum = max;
        item.minimum = min;
        item.average = count == 0 ? 0.0f : static_cast<float>(sum / count);
        break;
    }
    default:
        return;
    }
    NoteChange();
}

void CDrawIR::ComputeAnalysis(std::size_t index)
{
    if (index < m_analyses.GetSize())
        MeasureAnalysis(m_analyses[index]);
}

void CDrawIR::RecomputeAll()
{
    for (std::size_t i = 0; i < m_analyses.GetSize(); ++i)
        ComputeAnalysis(i);
    NoteChange();
}

bool CDrawIR::GetAnalysisName(int kind, int number, QString& name) const
{
    for (const IRAnalysisItem& item : m_analyses) {
        if (item.kind == kind && item.number == number) {
            name = item.Name();
            return true;
        }
    }
    name = Environment().LoadString(doc_string::kNoAnalysis);
    return false;
}

const IRAnalysisItem* CDrawIR::FindAnalysis(int number, bool area) const
{
    for (const IRAnalysisItem& item : m_analyses) {
        const bool kindMatches =
            area ? (item.kind == kAnalysisRect || item.kind == kAnalysisEllipse) : item.kind == kAnalysisLine;
        if (kindMatches && item.number == number)
            return &item;
    }
    return nullptr;
}

bool CDrawIR::FindLine(int number, IRShape& shape, float& emissivity, float& distance, float& background,
                       QString& name) const
{
    const IRAnalysisItem* item = FindAnalysis(number, false);
    if (item == nullptr) {
        name = Environment().LoadString(doc_string::kNoAnalysis);
        return false;
    }
    shape = item->shape;
    emissivity = item->emissivity;
    distance = item->distance;
    background = item->background;
    name = item->Name();
    return true;
}

bool CDrawIR::FindArea(int number, IRShape& shape, float& emissivity, float& distance, float& background, int& kind,
                       QString& name) const
{
    const IRAnalysisItem* item = FindAnalysis(number, true);
    if (item == nullptr)
        return false;
    shape = item->shape;
    emissivity = item->emissivity;
    distance = item->distance;
    background = item->background;
    kind = item->kind;
    name = item->Name();
    return true;
}

namespace {

// The statistic of the last analysis of that kind and number (a wanted
// rectangle also matches an ellipse); false when none matches.
bool ScanReference(const IRAnalysisArray& analyses, int kind, int number, int selector, double& value)
{
    bool found = false;
    for (const IRAnalysisItem& item : analyses) {
        const bool kindMatches = item.kind == kind || (kind == kAnalysisRect && item.kind == kAnalysisEllipse);
        if (!kindMatches || item.number != number)
            continue;
        value = selector == 2 ? item.minimum : (selector == 3 ? item.average : item.maximum);
        found = true;
    }
    return found;
}

} // namespace

double CDrawIR::GetReferenceTemp(std::size_t index) const
{
    // Fixed references are in Celsius; statistics of an analysis are in the
    // display unit already and are not converted again (a second conversion
    // would give 1.8 x F + 32 in Fahrenheit). The image's reference analysis
    // gives the statistic its parameter page chose (maximum, minimum or
    // average).
    double value = 0;
    bool celsius = true;
    if (m_bUseRefTemp != 0) {
        value = m_fReference;
    } else if (m_bUseRefTarget != 0) {
        if (ScanReference(m_analyses, m_nRefKind, m_nRefNumber, m_nRefIndex, value))
            celsius = false;
    }
    if (index < m_analyses.GetSize()) {
        const IRAnalysisItem& item = m_analyses[index];
        if (item.ownReference != 0) {
            value = item.referenceTemp;
            celsius = true;
        } else if (item.refFromAnalysis != 0) {
            if (ScanReference(m_analyses, item.refKind, item.refNumber, item.refValue, value))
                celsius = false;
        }
    }
    return celsius ? CelsiusToUnitF32(value, Environment().TempUnit()) : value;
}

void CDrawIR::CopyAnalysesTo(IRAnalysisArray& target) const
{
    for (const IRAnalysisItem& item : m_analyses)
        target.Add(item);
}

// ---- undo

void CDrawIR::RefreshAfterUndo()
{
    if (!HasImage())
        return;
    m_image->SetRangeTemps(m_fLimits[4], m_fLimits[5]);
    for (int i = 0; i < kIsotherms; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (m_isothermsBeforeRead[at].enabled != 0 && m_isotherms[at].enabled == 0)
            m_image->SetIsothermTemp(0, 0, 0, m_isotherms[at].color, i);
    }
    ApplyIsotherms();
    RecomputeAll();
    Render();
    NotifyDependents();
}
