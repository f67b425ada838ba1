// The picture file formats behind CDibImage: recognising a file by its
// content, reading BMP, GIF, PCX and JPEG into a BMP file image, and writing
// a BMP file image as BMP, GIF, PCX or JPEG, all in memory.
#pragma once

#include "platform/dib_image.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

class QImageReader;

namespace platform::picture {

// Reads the picture of a reader that has its device, its size first: beyond
// kMaxDibSide a side or kMaxDibPixels pixels it is refused before the pixels
// are allocated (*error kPicErrorTooLarge); unreadable: kPicErrorMalformed.
// stated: the size the file's header states when the caller read it
// (JpegFrameSize), else invalid.
QImage ReadBounded(QImageReader& reader, QSize stated, int* error);

// The size a JPEG stream's frame header (SOFn) states; invalid when no frame
// header comes before the image data.
QSize JpegFrameSize(QByteArrayView file);

// CDibImage::kTypeBmp ... kTypeTif by the first bytes; 0 when unknown.
int DetectFileType(QByteArrayView file);

// A BMP file image (file header, 40-byte info header, colour table, bits,
// rows padded to 4 bytes) of the picture in file, or empty with *error set.
QByteArray Decode(QByteArrayView file, int type, int* error);

// The file bytes of picture (a BMP file image) in the given type, or empty
// with *error set. quality (0-100) is used for JPEG.
QByteArray Encode(const QByteArray& picture, int type, int quality, int* error);

// A BMP file image of an image (8 bits for an indexed image, else 24).
QByteArray ImageToPicture(const QImage& image);

// True when a JPEG stream runs from its start marker through its headers and
// entropy-coded data to an end marker.
bool JpegIsComplete(QByteArrayView file);

// PCX and GIF, which the image plug-ins do not fully cover.
QImage DecodePcx(QByteArrayView file, int* error);
QByteArray EncodePcx(const QImage& image);
QByteArray EncodeGif(const QImage& image);

} // namespace platform::picture
