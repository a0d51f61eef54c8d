#pragma once
// Pixels for the drawing's large images, kept when an image is let go and handed out again for
// the next image of the same size or a little smaller. The shadow, the shell and their full-size
// layers are painted anew at the size they had (a new scheme or layout, the shell's layer on
// every build) or at the next size of a resize; taking back pixels the process already holds
// spares the system zeroing megabytes of fresh pages each time, which cost as much as a good
// part of the painting.
#include <QImage>

namespace Tessarine::ImagePool {

// A premultiplied ARGB32 image of `width` × `height` pixels whose contents are undefined (fill it).
// It behaves as any other image; when its last copy goes, from any thread, its pixels return to
// the pool, which keeps a few of them and frees the rest. Pixels kept from an image of the same
// size or a little larger serve it.
QImage image(int width, int height);
// The same, cleared to transparent. Cleared here in one pass: QImage::fill hands a large image
// to worker threads and waits for them, which costs more than the clearing.
QImage clearImage(int width, int height);

// Images smaller than this many bytes come straight from QImage: the system serves them from
// memory it has at hand.
inline constexpr qsizetype smallest = 256 * 1024;
// A kept buffer serves an image whose bytes fall short of its own by at most 1 / spareShare of
// the image's.
inline constexpr qsizetype spareShare = 4;
// Most bytes the pool keeps while no image uses them.
inline constexpr qsizetype mostKept = 64 * 1024 * 1024;

// How many bytes the pool keeps now (for tests).
qsizetype keptBytes();

} // namespace Tessarine::ImagePool
