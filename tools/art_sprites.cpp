// The game's small sprites: items, sparks, icons, the on-screen pad and the menu buttons.

#include <vector>

#include "tools/art.h"

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// A shaded ball: dark rim, body lit from the top left, and a soft specular spot.
void Orb(Canvas& canvas, double cx, double cy, double radius, Color light, Color dark) {
  canvas.Fill(Circle(cx, cy, radius), kInk);
  canvas.Fill(
      Circle(cx, cy, radius - 1.0),
      RadialGradient(Point{cx - radius * 0.35, cy - radius * 0.4}, radius * 1.5, light, dark));
  canvas.Fill(Ellipse(cx - radius * 0.32, cy - radius * 0.42, radius * 0.32, radius * 0.2),
              Color{1, 1, 1, 0.7});
}

// Symbols on the icons and pad are white with a soft shadow under them, so that any tint
// keeps them legible over the bright and the dark parts of the screen.
void Symbol(Canvas& canvas, const Shape& shape, double shadow = 1.5) {
  canvas.Glow(Move(shape, 0.6, 0.9), Color{0, 0, 0, 0.55}, shadow);
  canvas.Fill(shape, LinearGradient(Point{0, shape.top}, kWhite, Point{0, shape.bottom},
                                    Rgb(214, 214, 224)));
}

Shape Arrow(double cx, double cy, double size, double degrees) {
  // Points up before turning.
  const Shape head = Polygon({{cx, cy - size}, {cx + size, cy}, {cx - size, cy}});
  const Shape shaft = Box(cx - size * 0.38, cy - 0.2, cx + size * 0.38, cy + size * 0.9);
  return Rotate(Grow(Union(head, shaft), 0.6), cx, cy, degrees);
}

void DrawBonus(Canvas& canvas) {
  Orb(canvas, 8, 8, 7.2, Rgb(255, 246, 140), Rgb(214, 140, 0));
  canvas.Fill(Star(8, 8.4, 5, 4.6, 2.0, 0), kInk);
  canvas.Fill(Star(8, 8.2, 5, 3.6, 1.5, 0), Rgb(255, 255, 230));
}

void DrawBomb(Canvas& canvas) {
  canvas.Fill(Segment(Point{10.5, 4.5}, Point{12.5, 2.0}, 2.4), kInk);
  canvas.Fill(Segment(Point{10.5, 4.5}, Point{12.5, 2.0}, 1.0), Rgb(200, 170, 120));
  Orb(canvas, 7.2, 9.2, 6.2, Rgb(120, 110, 140), Rgb(24, 20, 36));
  canvas.Glow(Circle(13, 1.8, 0.6), Rgb(255, 220, 60), 2.2);
  canvas.Fill(Star(13, 1.8, 4, 2.0, 0.5, 45), Rgb(255, 250, 200));
}

void DrawPower(Canvas& canvas) {
  Orb(canvas, 8, 8, 7.2, Rgb(140, 210, 255), Rgb(0, 60, 200));
  const Shape bolt =
      Polygon({{9.6, 1.8}, {4.2, 9.0}, {7.6, 9.0}, {6.0, 14.2}, {11.8, 6.6}, {8.4, 6.6}});
  canvas.Fill(Grow(bolt, 0.8), kInk);
  canvas.Fill(bolt, Rgb(255, 250, 170));
}

void DrawGem(Canvas& canvas) {
  const Shape gem = Polygon({{4, 2.5}, {12, 2.5}, {15, 6}, {8, 14.5}, {1, 6}});
  canvas.Fill(Grow(gem, 0.8), kInk);
  canvas.Fill(gem,
              LinearGradient(Point{3, 3}, Rgb(240, 160, 255), Point{12, 14}, Rgb(110, 0, 170)));
  canvas.Fill(Polygon({{4, 2.5}, {12, 2.5}, {15, 6}, {1, 6}}), Color{1, 1, 1, 0.35});
  canvas.Fill(Polygon({{5.5, 6}, {10.5, 6}, {8, 13}}), Color{1, 1, 1, 0.2});
}

void DrawReverse(Canvas& canvas) {
  Orb(canvas, 8, 8, 7.2, Rgb(255, 214, 120), Rgb(220, 90, 0));
  const Shape top =
      Union(Box(4.0, 4.6, 10.5, 6.4, 0.5), Polygon({{10.0, 2.6}, {13.4, 5.5}, {10.0, 8.4}}));
  const Shape bottom =
      Union(Box(5.5, 9.6, 12.0, 11.4, 0.5), Polygon({{6.0, 7.6}, {2.6, 10.5}, {6.0, 13.4}}));
  canvas.Fill(Grow(Union(top, bottom), 0.7), kInk);
  canvas.Fill(Union(top, bottom), kWhite);
}

void DrawRepair(Canvas& canvas) {
  const Color brick_light = Rgb(255, 170, 80);
  const Color brick_dark = Rgb(190, 70, 10);
  canvas.Fill(Box(0.5, 2.5, 15.5, 15.5, 1.5), kInk);
  const double rows[3] = {3.5, 7.7, 11.9};
  for (int row = 0; row < 3; ++row) {
    const double shift = (row % 2 == 0) ? 0.0 : -3.5;
    for (int column = 0; column < 3; ++column) {
      const double left = 1.5 + shift + column * 7.0;
      const Shape brick = Intersect(Box(left, rows[row], left + 6.0, rows[row] + 3.2, 0.6),
                                    Box(1.5, 3.5, 14.5, 15, 0.8));
      canvas.Fill(brick, LinearGradient(Point{0, rows[row]}, brick_light, Point{0, rows[row] + 3.2},
                                        brick_dark));
    }
  }
  // A plus badge marks the bricks as something that builds, not something that blocks.
  canvas.Fill(Circle(12.2, 3.6, 3.6), kInk);
  canvas.Fill(Circle(12.2, 3.6, 2.8), Rgb(80, 220, 90));
  canvas.Fill(Union(Box(10.6, 3.1, 13.8, 4.1), Box(11.7, 2.0, 12.7, 5.2)), kWhite);
}

void DrawNewBlocks(Canvas& canvas) {
  const Color colours[4] = {Rgb(255, 60, 60), Rgb(255, 230, 40), Rgb(60, 230, 80),
                            Rgb(40, 230, 255)};
  canvas.Fill(Box(0.5, 0.5, 15.5, 15.5, 2), kInk);
  for (int i = 0; i < 4; ++i) {
    const double left = 1.5 + (i % 2) * 7.0;
    const double top = 1.5 + (i / 2) * 7.0;
    const Color c = colours[i];
    canvas.Fill(Box(left, top, left + 6, top + 6, 1.2),
                LinearGradient(Point{left, top}, MixColor(c, kWhite, 0.45),
                               Point{left + 6, top + 6}, MixColor(c, kBlack, 0.3)));
    canvas.Fill(Box(left + 1, top + 1, left + 3, top + 2, 0.5), Color{1, 1, 1, 0.6});
  }
}

// Sparks and shards: eight families, each varied in size, turn and grey by a seeded generator.
void DrawSpark(Canvas& canvas, int frame) {
  Lcg random(0x5EED0000u + static_cast<uint32_t>(frame) * 7919u);
  const double turn = random.Range(0, 360);
  const double grey = random.Range(0.62, 1.0);
  const Color tone{grey, grey, grey, 1};
  const double size = random.Range(0.65, 1.0);
  switch (frame % 8) {
    case 0:  // soft round spark
      canvas.Glow(Circle(4, 4, 0.9 * size), tone, 2.6 * size);
      canvas.Fill(Circle(4, 4, 1.0 * size), kWhite);
      break;
    case 1:  // four-pointed twinkle
      canvas.Glow(Circle(4, 4, 0.5), Color{grey, grey, grey, 0.6}, 2.0);
      canvas.Fill(Star(4, 4, 4, 3.8 * size, 0.7 * size, turn), kWhite);
      break;
    case 2: {  // jagged shard
      std::vector<Point> corners;
      const int count = 3 + random.Below(2);
      for (int i = 0; i < count; ++i) {
        const double a = turn + i * 360.0 / count + random.Range(-25, 25);
        const double r = random.Range(1.6, 3.7) * size;
        corners.push_back(OnCircle(4, 4, a, r));
      }
      canvas.Fill(Polygon(corners), LinearGradient(Point{1, 1}, kWhite, Point{7, 7}, tone));
      break;
    }
    case 3: {  // streak
      const double length = 3.3 * size;
      const Point from{4 - SinDegrees(turn) * length, 4 + CosDegrees(turn) * length};
      const Point to = OnCircle(4, 4, turn, length);
      canvas.Fill(Segment(from, to, 1.3 * size), tone);
      canvas.Fill(Segment(Point{(from.x + to.x * 2) / 3, (from.y + to.y * 2) / 3}, to, 1.2),
                  kWhite);
      break;
    }
    case 4:  // ring
      canvas.Fill(Ring(4, 4, 2.6 * size, 1.1), tone);
      break;
    case 5:  // plus-shaped glint
      canvas.Fill(Rotate(Union(Box(0.8, 3.4, 7.2, 4.6, 0.5), Box(3.4, 0.8, 4.6, 7.2, 0.5)), 4, 4,
                         turn, size),
                  tone);
      canvas.Fill(Circle(4, 4, 1.0), kWhite);
      break;
    case 6:  // diamond chip
      canvas.Fill(Rotate(Star(4, 4, 2, 3.6, 1.6, 0), 4, 4, turn, size),
                  LinearGradient(Point{2, 2}, kWhite, Point{6, 6}, tone));
      break;
    default: {  // a cluster of specks
      const int count = 2 + random.Below(3);
      for (int i = 0; i < count; ++i) {
        const double x = random.Range(1.5, 6.5);
        const double y = random.Range(1.5, 6.5);
        canvas.Fill(Circle(x, y, random.Range(0.6, 1.2)), i == 0 ? kWhite : tone);
      }
      break;
    }
  }
}

Shape SlidersSymbol() {
  Shape shape = Box(6, 8.6, 26, 10.6, 1);
  shape = Union(shape, Box(6, 15, 26, 17, 1));
  shape = Union(shape, Box(6, 21.4, 26, 23.4, 1));
  shape = Union(shape, Circle(11, 9.6, 3.2));
  shape = Union(shape, Circle(20, 16, 3.2));
  return Union(shape, Circle(14, 22.4, 3.2));
}

// A key of the on-screen pad: a rounded grey cap with a bevel.
void PadKey(Canvas& canvas) {
  canvas.Fill(Box(1.5, 1.5, 30.5, 30.5, 6), Color{0.05, 0.05, 0.1, 0.8});
  canvas.Fill(Box(3, 3, 29, 29, 5),
              LinearGradient(Point{0, 3}, Rgb(236, 236, 244), Point{0, 29}, Rgb(140, 140, 160)));
  canvas.Fill(Box(5, 5, 27, 27, 4),
              LinearGradient(Point{0, 5}, Rgb(196, 196, 210), Point{0, 27}, Rgb(224, 224, 236)));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void DrawItemFrame(Canvas& canvas, int frame) {
  switch (frame) {
    case 0:
      DrawBonus(canvas);
      break;
    case 1:
      DrawBomb(canvas);
      break;
    case 2:
      DrawPower(canvas);
      break;
    case 3:
      DrawGem(canvas);
      break;
    case 4:
      DrawReverse(canvas);
      break;
    case 5:
      DrawRepair(canvas);
      break;
    case 6:
      DrawNewBlocks(canvas);
      break;
    default:
      break;  // no item type uses the rest of the sheet
  }
}

void DrawSparkFrame(Canvas& canvas, int frame) {
  DrawSpark(canvas, frame);
}

void DrawIconFrame(Canvas& canvas, int frame) {
  switch (frame) {
    case 0:  // pause
      Symbol(canvas, Union(Box(8.5, 7, 13.5, 25, 1.5), Box(18.5, 7, 23.5, 25, 1.5)));
      break;
    case 1:  // quit
      Symbol(canvas, Union(Segment(Point{9, 9}, Point{23, 23}, 4.6),
                           Segment(Point{23, 9}, Point{9, 23}, 4.6)));
      break;
    case 3:  // play / resume
      Symbol(canvas, Grow(Polygon({{11, 8.5}, {24, 16}, {11, 23.5}}), 1.8));
      break;
    case 6:  // highlight ring behind a selected button
      canvas.Glow(Ring(16, 16, 12.5, 1.6), Color{1, 1, 1, 0.55}, 3.0);
      canvas.Fill(Ring(16, 16, 12.5, 2.2), kWhite);
      break;
    case 7: {  // tilt calibration: a tilted handset over a level mark
      const Shape body = Rotate(Box(10, 5, 22, 27, 2.5), 16, 16, -24);
      const Shape screen = Rotate(Box(12, 8, 20, 22, 1), 16, 16, -24);
      Symbol(canvas, Union(Subtract(body, screen), Box(3, 27, 29, 29, 1)));
      canvas.Fill(Rotate(Circle(16, 24.6, 1.1), 16, 16, -24), kInk);
      canvas.Fill(Circle(16, 15, 2.6), Color{1, 1, 1, 0.85});
      canvas.Fill(Circle(16, 15, 1.2), kInk);
      break;
    }
    case 10:  // options / back
      Symbol(canvas, SlidersSymbol());
      break;
    default:
      break;  // free icons
  }
}

void DrawDpadFrame(Canvas& canvas, int frame) {
  switch (frame) {
    case 0:  // fire button
      canvas.Fill(Circle(16, 16, 15), Color{0.05, 0.02, 0.02, 0.8});
      canvas.Fill(Circle(16, 16, 13.6),
                  RadialGradient(Point{12, 11}, 20, Rgb(255, 150, 140), Rgb(170, 20, 30)));
      canvas.Fill(Ring(16, 16, 10, 1.2), Color{1, 1, 1, 0.35});
      canvas.Fill(Ellipse(12, 9.5, 5, 2.6), Color{1, 1, 1, 0.5});
      break;
    case 1:
    case 4:
    case 6:
    case 9: {
      PadKey(canvas);
      const double turn = frame == 1 ? 0 : frame == 6 ? 90 : frame == 9 ? 180 : 270;
      const Shape arrow = Arrow(16, 16.5, 7, turn);
      canvas.Fill(Move(Grow(arrow, 0.8), 0, 0.8), Color{0, 0, 0, 0.35});
      canvas.Fill(arrow,
                  LinearGradient(Point{0, 8}, Rgb(80, 80, 100), Point{0, 24}, Rgb(40, 40, 56)));
      break;
    }
    case 5:  // the hub between the four keys
      canvas.Fill(Box(1.5, 1.5, 30.5, 30.5, 3), Color{0.05, 0.05, 0.1, 0.8});
      canvas.Fill(Box(3, 3, 29, 29, 2), LinearGradient(Point{0, 3}, Rgb(200, 200, 214),
                                                       Point{0, 29}, Rgb(130, 130, 150)));
      canvas.Fill(Circle(16, 16, 7),
                  RadialGradient(Point{14, 14}, 9, Rgb(120, 120, 140), Rgb(60, 60, 80)));
      break;
    default:
      break;  // free frames
  }
}

void DrawButtonFrame(Canvas& canvas, int frame) {
  if (frame >= 0 && frame <= 2) {
    // One tile per game type: a little play field whose walls grow thicker with the type.
    const Color tints[3] = {Rgb(40, 200, 110), Rgb(255, 160, 30), Rgb(235, 50, 70)};
    const Color tint = tints[frame];
    canvas.Fill(Box(2, 2, 62, 62, 10), kInk);
    canvas.Fill(Box(4, 4, 60, 60, 8), LinearGradient(Point{0, 4}, MixColor(tint, kWhite, 0.35),
                                                     Point{0, 60}, MixColor(tint, kBlack, 0.35)));
    canvas.Fill(Box(10, 10, 54, 46, 3), Rgb(16, 18, 40));
    const double cell = 44.0 / 11.0;
    const int wall = frame + 1;
    for (int y = 0; y < 9; ++y) {
      for (int x = 0; x < 11; ++x) {
        const bool edge = y < wall || y >= 9 - wall;
        const double left = 10 + x * cell;
        const double top = 10 + y * 4.0;
        const Shape cell_box = Box(left + 0.6, top + 0.6, left + cell - 0.6, top + 3.4, 0.6);
        if (edge) {
          canvas.Fill(cell_box, MixColor(tint, kWhite, 0.2));
        } else {
          canvas.Fill(cell_box, Color{0.35, 0.4, 0.9, 0.25});
        }
      }
    }
    canvas.Fill(Box(12, 22, 14.5, 33, 1), kWhite);
    canvas.Fill(Box(49.5, 24, 52, 35, 1), kWhite);
    canvas.Glow(Circle(34, 28, 2.6), Color{1, 1, 0.6, 0.6}, 3);
    canvas.Fill(Circle(34, 28, 2.6), Rgb(255, 255, 210));
    for (int pip = 0; pip <= frame; ++pip) {
      const double x = 32 + (pip - frame * 0.5) * 9;
      canvas.Fill(Star(x, 53.5, 5, 4.2, 1.8, 0), kInk);
      canvas.Fill(Star(x, 53.3, 5, 3.3, 1.4, 0), Rgb(255, 240, 120));
    }
    return;
  }
  switch (frame) {
    case 8:  // the large back cog
      canvas.Fill(Cog(32, 32, 14, 25, 31, 0), Rgb(40, 44, 70));
      canvas.Fill(Cog(32, 32, 14, 23.5, 29.5, 0),
                  LinearGradient(Point{0, 2}, Rgb(150, 160, 200), Point{0, 62}, Rgb(70, 76, 120)));
      canvas.Fill(Ring(32, 32, 17, 2), Color{0, 0, 0, 0.25});
      break;
    case 9: {  // the middle cog
      const Shape cog = Subtract(Cog(32, 32, 10, 16, 21, 0), Circle(32, 32, 9));
      canvas.Fill(Grow(cog, 1.2), Rgb(60, 40, 20));
      canvas.Fill(
          cog, LinearGradient(Point{0, 11}, Rgb(255, 220, 120), Point{0, 53}, Rgb(200, 120, 30)));
      break;
    }
    case 10: {  // the front hub: a cap with bolts, so that its turning shows
      canvas.Fill(Circle(32, 32, 11.5), Rgb(40, 30, 20));
      canvas.Fill(Circle(32, 32, 10.3),
                  RadialGradient(Point{28, 27}, 15, Rgb(255, 250, 235), Rgb(170, 150, 130)));
      for (int i = 0; i < 5; ++i) {
        const Point bolt = OnCircle(32, 32, i * 72.0, 6.5);
        canvas.Fill(Circle(bolt.x, bolt.y, 1.4), Rgb(90, 70, 60));
      }
      canvas.Fill(Circle(32, 32, 2.4), Rgb(60, 44, 36));
      break;
    }
    default:
      break;  // free frames
  }
}
