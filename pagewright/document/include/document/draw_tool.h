// Drawing tools: every mouse action on a report page goes through the tool
// of the current shape kind (g_currentKind). The selection tool selects,
// moves and resizes; the shape and polygon tools make shapes; the band
// tools make one object each from a rubber-band rectangle through a factory
// that the object's module registers (SetToolObjectFactory); the analysis
// tool adds measurements to an infrared image (IRImageObject).
//
// Points given to the tools are client pixels; flags are the mouse key
// flags (MK_LBUTTON, MK_SHIFT, MK_CONTROL). Each tool converts a point with
// the view's ClientToDoc and subtracts the view's m_xOffset from x. Vertical
// moves and the y of new objects snap to multiples of 100 units towards
// zero (SnapY).
//
// The window side (capture, cursor, band overlay, status text, tooltip) is
// reached through DrawView, so the tools run headless in tests as well.
#pragma once

#include "document/geometry.h"

#include <QPoint>

#include <functional>
#include <memory>
#include <vector>

class CDrawObj;
class CDrawPoly;
class DrawView;

// Shape kinds, one tool each.
enum DrawShapeKind {
    kShapeSelect = 0,
    kShapeLine = 1,
    kShapeRect = 2,
    kShapeRoundRect = 3,
    kShapeEllipse = 4,
    kShapePoly = 5,
    kShapeText = 6,
    kShapeIRImage = 7,
    kShapeField = 8,
    kShapeTable = 9,
    kShapeAnalysis = 10,
    kShapeResultTable = 11,
    kShapeProfile = 12,
    kShapeHistogram = 13,
    kShapePhoto = 14,
    kShapeLogo = 15,
    kShape3DMap = 16,
    kShapeTimeProfile = 17,
    kShapeArrow = 18,
    kShapeKindCount = 19
};

// g_toolMode: 0 none, 1 net selection, 2 move, 3 size; 4-10 the analysis
// tool's sub-modes (point, line, rectangle, circle, isotherm mark, spot
// read-out, scale isotherm).
enum ToolMode {
    kModeNone = 0,
    kModeNetSelect = 1,
    kModeMove = 2,
    kModeSize = 3,
    kModePointAnalysis = 4,
    kModeLineAnalysis = 5,
    kModeAreaAnalysis = 6,
    kModeEllipseAnalysis = 7,
    kModeIsothermMark = 8,
    kModeSpotReadout = 9,
    kModeScaleIsotherm = 10
};

// Mouse key flags.
inline constexpr int MK_LBUTTON = 0x1;
inline constexpr int MK_SHIFT = 0x4;
inline constexpr int MK_CONTROL = 0x8;

class CDrawTool {
public:
    explicit CDrawTool(int kind);
    virtual ~CDrawTool();
    CDrawTool(const CDrawTool&) = delete;
    CDrawTool& operator=(const CDrawTool&) = delete;

    virtual void OnLButtonDown(DrawView& view, int flags, QPoint point);
    virtual void OnLButtonDblClk(DrawView& view, int flags, QPoint point);
    virtual void OnLButtonUp(DrawView& view, int flags, QPoint point);
    virtual void OnMouseMove(DrawView& view, int flags, QPoint point);
    virtual void OnEditProperties(DrawView& view);
    virtual void OnCancel();

    int m_kind;
};

// Shared tool state (one user-interface thread).
extern std::vector<CDrawTool*> g_toolList;
extern int g_currentKind;
extern int g_toolMode;
extern QPoint g_downPoint;
extern QPoint g_lastClientPoint;
extern QPoint g_lastDocPoint;
extern bool g_moveStarted;
extern QPoint g_analysisAnchor;
extern bool g_analysisBanding;
extern int g_analysisHitHandle;

// The first tool of g_toolList of that kind, or null.
CDrawTool* FindTool(int kind);

// y - (y rem 100): a multiple of 100 nearer to zero.
constexpr int SnapY(int y) { return y - y % 100; }
// A client point as page units with the page offset removed.
QPoint ToolDocPoint(const DrawView& view, QPoint client);

// The view's mouse events. Button down, up and move go to the current tool
// unless the document is locked and the current kind is neither the
// selection nor the analysis tool; double-clicks always go.
enum class ToolEvent { Down, Up, Move, DoubleClick };
void DispatchToolEvent(DrawView& view, ToolEvent event, int flags, QPoint point);

// Makes the object of a band tool from the band (page units, normalised,
// page offset removed): the table, field, text, image, chart, photo, logo
// and 3D-map modules register theirs. The factory runs the object's dialog
// where it has one and returns null when that was cancelled. The tool adds
// the object (with undo) and selects it. A kind without a factory has its
// command disabled.
using ToolObjectFactory = std::function<std::unique_ptr<CDrawObj>(DrawView& view, const DocRect& rect)>;
void SetToolObjectFactory(int kind, ToolObjectFactory factory);
bool HasToolObjectFactory(int kind);

// The view's selection operations the tools share.
void CloneSelection(DrawView& view);

// Whether an object is of a named class or derives from it.
bool IsKindOfName(const CDrawObj* obj, const char* className);

// The image number the status bar shows for an object: an image's own, or
// the one a bound object follows; 0 for an object with none (any other
// object, and a bound one not bound to any image, as an unlinked 3D map).
int ShownNumber(CDrawObj* obj);
