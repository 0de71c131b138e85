// The text description the suite's mouse pictures are drawn from, read into
// the objects of a region-data file.
//
//   file "NAME"                     the file's name
//   stamp DAYS                      its time stamp (days since 30 December 1899)
//   lit #RRGGBB                     the colour a lit region takes
//   define NAME ... end             a named list of drawing lines
//   picture NAME WIDTH HEIGHT       an object; the drawing lines below draw it
//
// Drawing lines (each paints the plain and the highlighted picture alike):
//   fill #RRGGBB                    the whole picture
//   use NAME                        the lines of a definition
//   line X0 Y0 X1 Y1 #RRGGBB        one pixel wide, end points included
//   SHAPE [fill #RRGGBB] [edge #RRGGBB] [clip L T R B]
//   region ID SHAPE [fill ...] [edge ...] [clip ...]
// where SHAPE is "rect L T R B", "ellipse L T R B" (the ellipse in that box)
// or "roundrect L T R B RADIUS"; right and bottom are exclusive. A pixel
// belongs to a shape when its centre lies inside. "edge" colours the shape's
// pixels that touch a pixel outside it. A region is drawn with its fill on
// the plain picture and with the lit colour on the highlighted one; its
// pixels are its outline and their bounding box its rectangle.
// "#" followed by a blank starts a comment.
#pragma once

#include "krd_writer.h"

#include <istream>

namespace krd {

// Fails with std::runtime_error naming the line of a mistake.
FileSpec ReadPictureDescription(std::istream& text);

}  // namespace krd
