// The paper size of the user's locale, for the page of new reports before
// any printer has been asked (asking one loads the printing support).
#pragma once

#include <QSizeF>

// Width and height in millimetres: the C library's paper size of the
// LC_PAPER category where it gives one, else Letter for the US measurement
// system and A4 for all others.
QSizeF LocalePaperMm();
