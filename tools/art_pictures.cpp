// The game's larger pictures: menu backgrounds, the title, the studio mark, the test card
// and the badge icons.

#include <string>
#include <vector>

#include "tools/art.h"
#include "tools/pixel_font.h"

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

Color Hue(double degrees, double light = 0.5) {
  // A bright wheel of colours from plain arithmetic: red, yellow, green, cyan, blue, magenta.
  double h = degrees - 360.0 * static_cast<int>(degrees / 360.0);
  if (h < 0) h += 360.0;
  const int sector = static_cast<int>(h / 60.0);
  const double f = h / 60.0 - sector;
  double r = 0, g = 0, b = 0;
  switch (sector) {
    case 0:
      r = 1, g = f;
      break;
    case 1:
      r = 1 - f, g = 1;
      break;
    case 2:
      g = 1, b = f;
      break;
    case 3:
      g = 1 - f, b = 1;
      break;
    case 4:
      r = f, b = 1;
      break;
    default:
      r = 1, b = 1 - f;
      break;
  }
  const Color pure{r, g, b, 1};
  return light < 0.5 ? MixColor(kBlack, pure, light * 2) : MixColor(pure, kWhite, light * 2 - 1);
}

// Polylines of the title's letters in a unit box (x right, y down).
std::vector<std::vector<Point>> LetterStrokes(char letter) {
  switch (letter) {
    case 'V':
      return {{{0, 0}, {0.5, 1}, {1, 0}}};
    case 'E':
      return {{{1, 0}, {0, 0}, {0, 1}, {1, 1}}, {{0, 0.5}, {0.78, 0.5}}};
    case 'X':
      return {{{0, 0}, {1, 1}}, {{1, 0}, {0, 1}}};
    case 'A':
      return {{{0, 1}, {0.5, 0}, {1, 1}}, {{0.24, 0.64}, {0.76, 0.64}}};
    case 'D':
      return {{{0, 0},
               {0, 1},
               {0.5, 1},
               {0.85, 0.86},
               {1, 0.62},
               {1, 0.38},
               {0.85, 0.14},
               {0.5, 0},
               {0, 0}}};
    case 'R':
      return {{{0, 1},
               {0, 0},
               {0.62, 0},
               {0.92, 0.1},
               {1, 0.27},
               {0.92, 0.44},
               {0.62, 0.54},
               {0, 0.54}},
              {{0.5, 0.54}, {1, 1}}};
    case 'M':
      return {{{0, 1}, {0, 0}, {0.5, 0.62}, {1, 0}, {1, 1}}};
    default:
      return {};
  }
}

Shape TitleShape(const std::string& text, double left, double top, double width, double height,
                 double gap, double stroke) {
  Shape shape;
  bool first = true;
  double x = left;
  for (char letter : text) {
    Shape glyph;
    if (letter == 'O') {
      glyph = Outline(Box(x, top, x + width, top + height, width * 0.5), stroke);
    } else {
      bool first_stroke = true;
      for (const std::vector<Point>& line : LetterStrokes(letter)) {
        for (size_t i = 1; i < line.size(); ++i) {
          const Shape part =
              Segment(Point{x + line[i - 1].x * width, top + line[i - 1].y * height},
                      Point{x + line[i].x * width, top + line[i].y * height}, stroke);
          glyph = first_stroke ? part : Union(glyph, part);
          first_stroke = false;
        }
      }
    }
    shape = first ? glyph : Union(shape, glyph);
    first = false;
    x += width + gap;
  }
  return shape;
}

// The menu backgrounds: a tunnel of frames round a glowing heart, each in its own colours and
// outline (squares, rings, diamonds, hexagons), with spokes to the corners.
void DrawTunnel(Canvas& canvas, int frame) {
  const double hues[4] = {230, 300, 160, 20};
  const Color deep = Hue(hues[frame], 0.08);
  const Color mid = Hue(hues[frame], 0.3);
  const Color line = Hue(hues[frame] - 40, 0.7);
  // Flat bands rather than a smooth ramp: they read as the tunnel's walls, and flat runs keep
  // the largest files of the set small.
  std::vector<Shape> outlines;
  double size = 7;
  for (int k = 0; k < 12; ++k) {
    switch (frame) {
      case 0:
        outlines.push_back(Box(128 - size, 128 - size, 128 + size, 128 + size, size * 0.12));
        break;
      case 1:
        outlines.push_back(Circle(128, 128, size * 1.1));
        break;
      case 2:
        outlines.push_back(Star(128, 128, 2, size * 1.35, size * 1.35, 0));
        break;
      default:
        outlines.push_back(Star(128, 128, 3, size * 1.15, size * 1.15, 30));
        break;
    }
    size *= 1.33;
  }
  canvas.Fill(Box(0, 0, 256, 256), deep);
  for (int k = 11; k >= 0; --k) {
    canvas.Fill(outlines[k], MixColor(mid, deep, k / 11.0));
  }
  for (int spoke = 0; spoke < 16; ++spoke) {
    const double a = spoke * 22.5 + 11.25;
    canvas.Fill(Segment(Point{128, 128}, OnCircle(128, 128, a, 200), 1.0),
                Color{line.r, line.g, line.b, 0.16});
  }
  for (int k = 0; k < 12; ++k) {
    const double alpha = 0.22 + 0.5 * (k % 2 == 0 ? 1.0 : 0.55) * (1.0 - k / 14.0);
    canvas.Fill(Outline(outlines[k], 0.8 + 7 * 0.035 * (k + 1)),
                Color{line.r, line.g, line.b, alpha});
  }
  canvas.Glow(Circle(128, 128, 4), Color{1, 1, 1, 0.8}, 26);
}

void DrawTitle(Canvas& canvas) {
  const std::string title = "VEXADROME";
  const Shape letters = TitleShape(title, 13, 34, 19, 40, 7.5, 5.5);
  canvas.Glow(Move(letters, 3, 4), Color{0, 0, 0, 0.6}, 5);
  canvas.Fill(Grow(letters, 3), kInk);
  canvas.Fill(Grow(letters, 1.6),
              LinearGradient(Point{0, 30}, Rgb(120, 240, 255), Point{0, 80}, Rgb(60, 80, 255)));
  canvas.Fill(letters, [](double, double y) {
    // Sunrise colours from the top of the letters to their feet.
    const double t = Clamp((y - 31) / 46.0, 0, 1);
    return t < 0.5 ? MixColor(Rgb(255, 250, 170), Rgb(255, 150, 30), t * 2)
                   : MixColor(Rgb(255, 150, 30), Rgb(240, 30, 120), t * 2 - 1);
  });
  canvas.Fill(Intersect(letters, Box(0, 28, 256, 47)), Color{1, 1, 1, 0.3});
  // A strip of grid cells under the title: the play field in miniature.
  for (int i = 0; i < 24; ++i) {
    const double left = 14 + i * 9.5;
    const Color c = Hue(i * 15.0, 0.5);
    canvas.Fill(Box(left, 90, left + 7.5, 97.5, 1.5), kInk);
    canvas.Fill(Box(left + 1, 91, left + 6.5, 96.5, 1),
                LinearGradient(Point{0, 91}, MixColor(c, kWhite, 0.4), Point{0, 96.5}, c));
  }
}

void DrawStudioMark(Canvas& canvas) {
  canvas.Glow(Circle(128, 128, 100), Color{0, 0, 0, 0.5}, 18);
  canvas.Fill(Circle(128, 128, 104), kInk);
  canvas.Fill(Circle(128, 128, 100),
              LinearGradient(Point{0, 28}, Rgb(255, 190, 60), Point{0, 228}, Rgb(230, 70, 30)));
  canvas.Fill(Circle(128, 128, 86), kInk);
  canvas.Fill(Circle(128, 128, 82),
              RadialGradient(Point{110, 96}, 150, Rgb(60, 80, 200), Rgb(10, 12, 50)));
  // Stacked blocks and a ball on its arc: the studio's games in one mark.
  const Color block_colours[3] = {Rgb(255, 80, 90), Rgb(255, 220, 60), Rgb(70, 220, 120)};
  for (int i = 0; i < 3; ++i) {
    const double left = 72 + i * 38;
    const double top = 150 - i * 26;
    canvas.Fill(Box(left - 3, top - 3, left + 35, top + 35, 9), kInk);
    canvas.Fill(Box(left, top, left + 32, top + 32, 7),
                LinearGradient(Point{left, top}, MixColor(block_colours[i], kWhite, 0.45),
                               Point{left + 32, top + 32}, block_colours[i]));
    canvas.Fill(Box(left + 5, top + 5, left + 16, top + 10, 2.5), Color{1, 1, 1, 0.55});
  }
  std::vector<Point> arc;
  for (int i = 0; i <= 22; ++i) {
    const double a = -80 + i * 5.0;
    arc.push_back(OnCircle(118, 140, a, 70));
  }
  // The trail is one shape, so that its overlapping pieces do not stack up into beads.
  Shape trail = Segment(arc[0], arc[1], 1.2);
  for (size_t i = 2; i < arc.size(); ++i) {
    trail = Union(trail, Segment(arc[i - 1], arc[i], 1.0 + i * 0.3));
  }
  const double trail_left = arc.front().x;
  const double trail_span = arc.back().x - arc.front().x;
  canvas.Fill(trail, [trail_left, trail_span](double x, double) {
    return Color{1, 1, 1, 0.08 + 0.5 * Clamp((x - trail_left) / trail_span, 0, 1)};
  });
  canvas.Glow(Circle(arc.back().x, arc.back().y, 9), Color{1, 1, 0.8, 0.6}, 12);
  canvas.Fill(Circle(arc.back().x, arc.back().y, 10), kInk);
  canvas.Fill(
      Circle(arc.back().x, arc.back().y, 8.5),
      RadialGradient(Point{arc.back().x - 3, arc.back().y - 3}, 11, kWhite, Rgb(200, 210, 230)));
}

void DrawTestCard(Canvas& canvas) {
  const Shape disc = Circle(128, 128, 124);
  canvas.Fill(Grow(disc, 2), kBlack);
  canvas.Fill(disc, Rgb(128, 128, 128));
  // The grid, clipped to the disc.
  for (int i = 1; i < 16; ++i) {
    canvas.Fill(Intersect(disc, Box(i * 16 - 0.75, 0, i * 16 + 0.75, 256)), Rgb(236, 236, 236));
    canvas.Fill(Intersect(disc, Box(0, i * 16 - 0.75, 256, i * 16 + 0.75)), Rgb(236, 236, 236));
  }
  const Shape inner = Circle(128, 128, 92);
  canvas.Fill(Grow(inner, 1.5), kBlack);
  const Color bars[8] = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(0, 255, 0),
                         Rgb(255, 0, 255),   Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(0, 0, 0)};
  for (int i = 0; i < 8; ++i) {
    canvas.Fill(Intersect(inner, Box(36 + i * 23, 30, 36 + (i + 1) * 23, 96)), bars[i]);
  }
  for (int i = 0; i < 8; ++i) {
    const int grey = i * 255 / 7;
    canvas.Fill(Intersect(inner, Box(36 + i * 23, 96, 36 + (i + 1) * 23, 140)),
                Rgb(grey, grey, grey));
  }
  // Gratings that get finer to the right: the last ones only resolve at the larger sizes.
  canvas.Fill(Intersect(inner, Box(30, 140, 226, 226)), kBlack);
  const double pitches[5] = {8, 5, 3, 2, 1};
  for (int group = 0; group < 5; ++group) {
    const double left = 44 + group * 34;
    for (double x = left; x + pitches[group] * 0.5 <= left + 30; x += pitches[group]) {
      canvas.Fill(Intersect(inner, Box(x, 144, x + pitches[group] * 0.5, 184)), kWhite);
    }
  }
  canvas.Fill(Intersect(inner, Box(30, 188, 226, 226)),
              LinearGradient(Point{40, 0}, kBlack, Point{216, 0}, kWhite));
  canvas.Fill(Ring(128, 128, 92, 1.5), kWhite);
  canvas.Fill(Ring(128, 128, 60, 1.2), Color{1, 1, 1, 0.8});
  canvas.Fill(Union(Box(127.25, 20, 128.75, 236), Box(20, 127.25, 236, 128.75)),
              Color{1, 1, 1, 0.85});
  canvas.Fill(Circle(128, 128, 4), kBlack);
  canvas.Fill(Circle(128, 128, 2.5), kWhite);
  const int label_width = PixelTextWidth("VEXADROME", 1);
  canvas.Fill(Box(128 - label_width * 0.5 - 3, 228, 128 + label_width * 0.5 + 3, 240, 2), kBlack);
  DrawPixelText(canvas, 128 - label_width / 2, 230, "VEXADROME", 1, kWhite);
}

// Badge emblems, one family per column of the sheet.
Shape Emblem(int kind, double turn) {
  switch (kind) {
    case 0:
      return Star(32, 30, 5, 13, 5.5, turn);
    case 1:
      return Polygon({{35, 14}, {22, 33}, {30, 33}, {27, 46}, {42, 26}, {34, 26}});
    case 2:
      return Circle(32, 30, 11);
    case 3:
      return Star(32, 30, 2, 14, 8, turn);
    case 4:
      return Subtract(Cog(32, 30, 8, 9, 13, turn), Circle(32, 30, 4));
    case 5:
      return Union(Polygon({{20, 26}, {32, 16}, {44, 26}, {44, 32}, {32, 22}, {20, 32}}),
                   Polygon({{20, 36}, {32, 26}, {44, 36}, {44, 42}, {32, 32}, {20, 42}}));
    case 6:
      return Union(Box(28, 17, 36, 43, 2), Box(19, 26, 45, 34, 2));
    default:
      return Outline(Circle(32, 30, 9), 4);
  }
}

// The test badge's emblem: a laboratory flask.
Shape Flask() {
  return Union(Polygon({{28, 14}, {36, 14}, {36, 26}, {45, 42}, {19, 42}, {28, 26}}),
               Box(25, 12, 39, 16, 1.5));
}

void DrawBadge(Canvas& canvas, int frame) {
  const int column = frame % 8;
  const int row = frame / 8;
  const Color base = frame == 0 ? Rgb(255, 196, 40) : Hue(row * 45.0 + column * 7.0, 0.5);
  // Ribbon tails behind the medal.
  const Color ribbon = frame == 0 ? Rgb(60, 120, 255) : Hue(row * 45.0 + 180, 0.45);
  const Shape tails = Union(Polygon({{18, 40}, {28, 44}, {24, 62}, {19, 56}, {13, 59}}),
                            Polygon({{46, 40}, {36, 44}, {40, 62}, {45, 56}, {51, 59}}));
  canvas.Fill(Grow(tails, 1), kInk);
  canvas.Fill(tails, ribbon);
  canvas.Fill(Intersect(tails, Box(0, 52, 64, 64)), MixColor(ribbon, kBlack, 0.25));
  const Shape medal = (row % 2 == 0) ? Circle(32, 30, 24) : Star(32, 30, 6 + row, 25, 21.5, 0);
  canvas.Fill(Grow(medal, 1.5), kInk);
  // Flat cartoon shading: the badges are many and small, and flat colour keeps the sheet light.
  canvas.Fill(medal, MixColor(base, kBlack, 0.25));
  canvas.Fill(Intersect(medal, Circle(29, 27, 24)), MixColor(base, kWhite, 0.3));
  canvas.Fill(Circle(32, 30, 18), MixColor(base, kBlack, 0.45));
  canvas.Fill(Circle(32, 30, 17), RadialGradient(Point{27, 24}, 24, MixColor(base, kWhite, 0.3),
                                                 MixColor(base, kBlack, 0.15)));
  const Shape emblem = frame == 0 ? Flask() : Emblem(column, row * 9.0);
  canvas.Fill(Move(Grow(emblem, 1.2), 0.6, 1.0), Color{0, 0, 0, 0.4});
  canvas.Fill(emblem, kWhite);
  if (frame == 0) {
    canvas.Fill(Intersect(Flask(), Box(0, 32, 64, 64)), Rgb(90, 230, 120));
    canvas.Fill(Circle(30, 37, 1.6), Color{1, 1, 1, 0.8});
    canvas.Fill(Circle(36, 35, 1.1), Color{1, 1, 1, 0.8});
  }
  canvas.Fill(Ellipse(24, 17, 8, 3.5), Color{1, 1, 1, 0.35});
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void DrawMenuFrame(Canvas& canvas, int frame) {
  DrawTunnel(canvas, frame % 4);
}

void DrawLogoFrame(Canvas& canvas, int) {
  DrawTitle(canvas);
}

void DrawStudioFrame(Canvas& canvas, int) {
  DrawStudioMark(canvas);
}

void DrawTestCardFrame(Canvas& canvas, int) {
  DrawTestCard(canvas);
}

void DrawBadgeFrame(Canvas& canvas, int frame) {
  DrawBadge(canvas, frame);
}
