// The program-wide current folder: written by the folder tree when a folder
// is chosen, read by the image view.
#pragma once

#include <QString>

namespace heatshelf {

inline QString& CurrentFolder()
{
    static QString folder;
    return folder;
}

} // namespace heatshelf
