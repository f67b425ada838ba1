// The pictures of the template chooser and the report wizard, drawn at run
// time: the placeholders a page thumbnail shows for images, photos, charts
// and 3D maps, and the wizard's header band (800 x 33).
#pragma once

#include <QImage>

// The picture of a resource id (res::IDB_WIZARD_HEADER, res::IDB_PLACE_*);
// a null image for any other id. Each is drawn once and kept.
const QImage& TemplatePicture(int id);
