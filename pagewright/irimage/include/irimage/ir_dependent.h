// What an infrared image calls on the objects that show its data (fields,
// tables, 3D maps). Such an object derives from IRImageDependent; the
// registration is kept on both sides, so that neither the image's list nor
// the dependent ever holds a dead object: whichever is destroyed first leaves
// the other.
#pragma once

#include <vector>

class CDrawIR;

class IRImageDependent {
public:
    IRImageDependent() = default;
    IRImageDependent(const IRImageDependent&) = delete;
    IRImageDependent& operator=(const IRImageDependent&) = delete;
    // Leaves every image it is registered with.
    virtual ~IRImageDependent();

    // The image's data changed (a file loaded, a range, a palette, a
    // measurement).
    virtual void OnIRImageChanged(CDrawIR& image) = 0;
    // Whether the object shows the data of the image with this number (the
    // image collects such objects when it is made).
    virtual bool IsBoundToImage(int number) const = 0;

    // The images this object is registered with.
    const std::vector<CDrawIR*>& Images() const { return m_images; }

private:
    friend class CDrawIR;
    std::vector<CDrawIR*> m_images;
};
