// IRImageObject: what the view and its tools ask of an infrared image
// object on a page. The image object class (CDrawIR) implements it beside
// its CDrawObj base; the view finds it with AsIRImage.
//
// Positions are page units (y upwards, page offset removed), the object's
// rectangles as stored. Handle numbers are the object's own: 1-8 resize,
// 9 to 38 the isotherm bands on the colour bar, 40 onwards the analyses.
#pragma once

#include "document/geometry.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>
#include <utility>

class CDrawObj;

class IRImageObject {
public:
    virtual ~IRImageObject() = default;

    // The image number that fields, tables and charts bind to (1 onwards).
    virtual int GetIRNumber() const = 0;
    virtual void SetIRNumber(int number) = 0;

    // Whether an infrared picture is loaded.
    virtual bool HasPicture() const = 0;
    // Picture size in pixels and page-units-to-pixel scales (0 without a
    // picture).
    virtual QSize ImageSize() const = 0;
    virtual double PixelScaleX() const = 0;
    virtual double PixelScaleY() const = 0;
    // Temperature in degrees Celsius at a picture pixel, with the object's
    // emissivity, distance and measurement parameters; nullopt outside.
    virtual std::optional<float> PointTemperature(int px, int py) const = 0;
    // The colour bar's lower and upper temperature (Celsius).
    virtual std::pair<float, float> ScaleRange() const = 0;

    // Analyses from page positions (the analysis tool). Without a picture
    // they tell the user and add nothing.
    virtual void AddPointAnalysis(QPoint point) = 0;
    virtual void AddLineAnalysis(const DocRect& ends) = 0;
    virtual void AddAreaAnalysis(const DocRect& rect) = 0;
    virtual void AddEllipseAnalysis(const DocRect& rect) = 0;
    // Deletes the isotherm or analysis that owns a handle.
    virtual void DeleteHandleOwner(int handle) = 0;
    // An isotherm from a drag on the colour bar.
    virtual void SetIsothermAtPoint(int x1, int y1, int x2, int y2) = 0;
    // Marks the object as changed (its temperatures are computed again).
    virtual void MarkChanged() = 0;
    // Page area the object paints beside its rectangle (its number below the
    // picture); empty when none.
    virtual DocRect LabelArea() const { return {}; }
    // Writes the visible-light photo the image holds to a new file of a
    // unique name in folder (a JPEG file when the camera stored a JPEG photo,
    // else a BMP file) and returns its path; the caller removes it. Empty,
    // with nothing left behind, when there is no photo or the write failed.
    virtual QString WriteVisiblePhoto(const QString& folder)
    {
        (void)folder;
        return {};
    }
};

// An object bound to an infrared image by its number: photos, 3D maps,
// result tables, profiles, histograms and time profiles. Pasting them with
// an image binds them to the pasted image; the status bar shows the number.
class IRLinkedObject {
public:
    virtual ~IRLinkedObject() = default;
    virtual int GetLinkedIRNumber() const = 0;
    virtual void SetLinkedIRNumber(int number) = 0;
    // Page area the object paints beside its rectangle (its number); empty
    // when none.
    virtual DocRect LabelArea() const { return {}; }
    // The image it is bound to changed (another file, its analyses, its
    // range). The image repaints the object before and after this call; an
    // object whose size follows the image's values fits itself here.
    virtual void OnLinkedImageChanged() {}
};

// The object's image interface, or null when it is not an infrared image.
IRImageObject* AsIRImage(CDrawObj* obj);
const IRImageObject* AsIRImage(const CDrawObj* obj);
IRLinkedObject* AsIRLinked(CDrawObj* obj);
