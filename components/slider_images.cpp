// The slider's default bitmaps and hand cursor, drawn as XPM text.
#include "components/slider_images.h"

#include <QPixmap>

#include <cstring>

namespace vardel {
namespace {

// clang-format off
// Colours: o olive (see-through), k black, d dark grey, s silver, w white.
#define VARDEL_SLIDER_COLOURS "o c #808000", "k c #000000", "d c #808080", "s c #C0C0C0", "w c #FFFFFF"

// A thumb pointing down: raised edges, then the pressed state with a checkered face.
const char* const kHThumb[] = {
    "18 17 5 1",
    VARDEL_SLIDER_COLOURS,
    "wwwwwwwwkwwwwwwwwk",
    "wssssssdkwswswswdk",
    "wssssssdkwwswswsdk",
    "wssssssdkwswswswdk",
    "wssssssdkwwswswsdk",
    "wssssssdkwswswswdk",
    "wssssssdkwwswswsdk",
    "wssssssdkwswswswdk",
    "wssssssdkwwswswsdk",
    "wssssssdkwswswswdk",
    "wssssssdkwwswswsdk",
    "wssssssdkwswswswdk",
    "wssssssdkwwswswsdk",
    "owssssdkoowwswsdko",
    "oowssdkoooowwsdkoo",
    "ooowdkoooooowdkooo",
    "ooookooooooookoooo",
};

// A sunken groove; its first and last columns are the ends.
const char* const kHRuler[] = {
    "10 10 5 1",
    VARDEL_SLIDER_COLOURS,
    "oooooooooo",
    "oooooooooo",
    "oooooooooo",
    "dddddddddd",
    "dkkkkkkkkw",
    "dssssssssw",
    "wwwwwwwwww",
    "oooooooooo",
    "oooooooooo",
    "oooooooooo",
};

// The horizontal thumb turned to point right.
const char* const kVThumb[] = {
    "34 9 5 1",
    VARDEL_SLIDER_COLOURS,
    "wwwwwwwwwwwwwoooowwwwwwwwwwwwwoooo",
    "wsssssssssssswooowswswswswswswwooo",
    "wssssssssssssswoowwswswswswswswwoo",
    "wsssssssssssssswowswswswswswswswwo",
    "wssssssssssssssdkwwswswswswswswsdk",
    "wsssssssssssssdkowswswswswswswsdko",
    "wssssssssssssdkoowwswswswswswsdkoo",
    "wddddddddddddkooowddddddddddddkooo",
    "kkkkkkkkkkkkkooookkkkkkkkkkkkkoooo",
};

// The groove standing up; its first and last rows are the ends.
const char* const kVRuler[] = {
    "8 10 5 1",
    VARDEL_SLIDER_COLOURS,
    "oodddwoo",
    "oodkswoo",
    "oodkswoo",
    "oodkswoo",
    "oodkswoo",
    "oodkswoo",
    "oodkswoo",
    "oodkswoo",
    "oodkswoo",
    "oodwwwoo",
};

#undef VARDEL_SLIDER_COLOURS

// A pointing hand, black outline and white inside; hot spot at (5, 0).
const char* const kHand[] = {
    "32 32 3 1",
    "  c None",
    "# c #000000",
    ". c #FFFFFF",
    "     ##                         ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..###                      ",
    "    #..#..##                    ",
    "    #..#..#.##                  ",
    " ## #..#..#.#.#                 ",
    "#..##.......#.#                 ",
    "#...#.........#                 ",
    " #............#                 ",
    "  #...........#                 ",
    "  #..........#                  ",
    "   #.........#                  ",
    "   #........#                   ",
    "    #.......#                   ",
    "    #.......#                   ",
    "    #########                   ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};
// clang-format on

}  // namespace

QImage loadResourceBitmap(const QString& name) {
  const char* const* xpm = nullptr;
  if (name == QLatin1String("W95_HTB"))
    xpm = kHThumb;
  else if (name == QLatin1String("W95_HRL"))
    xpm = kHRuler;
  else if (name == QLatin1String("W95_VTB"))
    xpm = kVThumb;
  else if (name == QLatin1String("W95_VRL"))
    xpm = kVRuler;
  if (!xpm) return {};
  return QImage(xpm).convertToFormat(QImage::Format_RGB32);
}

QCursor loadHandCursor() { return QCursor(QPixmap(kHand), 5, 0); }

}  // namespace vardel
