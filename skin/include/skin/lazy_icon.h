// An icon made when it is first needed: LazyIcon(make) is a non-null icon
// whose engine calls make() the first time the icon is painted, measured,
// asked for a pixmap, its sizes, its name or whether it is null, and then
// answers as the icon make() returned. With neverNull the caller promises
// that make() gives an icon: whether it is null is then answered without
// making it (widgets ask that while they lay themselves out). Looking icons up in the icon theme
// costs file-system lookups; a program that gives each of its commands an
// icon at start thus pays only for the icons it shows.
#pragma once

#include <QIcon>

#include <functional>

namespace skin {

QIcon LazyIcon(std::function<QIcon()> make, bool neverNull = false);

} // namespace skin
