// The asset generator's drawing kit: shapes as signed distance functions, an antialiasing
// canvas that samples their coverage, paints, and maths that gives the same bits everywhere.
#pragma once

#include <functional>
#include <vector>

#include "tools/lcg.h"

// ---------------------------------------------------------------------------------------------
// Types

// Straight (not premultiplied) colour, every channel 0 to 1.
struct Color {
  double r = 0, g = 0, b = 0, a = 0;
};

struct Point {
  double x = 0, y = 0;
};

// A shape answers "how far is this point from my edge" (negative inside) in design units.
// The answer may underestimate the true distance but never overestimates it, which is what
// lets the canvas skip supersampling away from edges. `left`..`bottom` bound the inside.
struct Shape {
  std::function<double(double, double)> distance;
  double left = 0, top = 0, right = 0, bottom = 0;
};

// The colour a fill lays down at a point (design units).
using Paint = std::function<Color(double, double)>;

// A picture being drawn. Drawing works in design units: one design pixel covers `scale`
// pixels, so the same drawing code renders every resolution with the detail it allows.
class Canvas {
 public:
  Canvas(int width, int height, double scale);
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  double Scale() const { return m_scale; }

  void Fill(const Shape& shape, const Paint& paint);
  void Fill(const Shape& shape, Color color);
  // A soft halo: full `color` inside the shape fading to nothing `radius` units outside.
  void Glow(const Shape& shape, Color color, double radius);
  // One pixel-art block: a design pixel, `size` design pixels square, with no smoothing.
  void Block(int x, int y, int size, Color color);

  // 8-bit straight RGBA. Edge pixels keep the full colour of what was drawn (it is divided
  // back out of the coverage), and fully clear pixels take the colour of a drawn neighbour,
  // so that premultiplying or filtering at run time never shows a dark fringe.
  std::vector<unsigned char> ToRgba() const;

 private:
  void Composite(int x, int y, Color color, double coverage);

  int m_width;
  int m_height;
  double m_scale;
  std::vector<float> m_pixels;  // premultiplied RGBA
};

// ---------------------------------------------------------------------------------------------
// Globals

inline constexpr Color kWhite{1, 1, 1, 1};
inline constexpr Color kBlack{0, 0, 0, 1};

// ---------------------------------------------------------------------------------------------
// Public functions

// Trigonometry from plain arithmetic: the platform's libm and compile-time folding can differ
// in the last bit, and one bit is enough to change a PNG's bytes. Angles in degrees.
double SinDegrees(double degrees);
double CosDegrees(double degrees);
double SquareRoot(double value);
double Clamp(double value, double low, double high);
double Mix(double a, double b, double t);
// The point `radius` from (cx, cy) in the direction `degrees` clockwise from straight up.
Point OnCircle(double cx, double cy, double degrees, double radius);

Color Rgb(int red, int green, int blue, double alpha = 1.0);
Color MixColor(Color a, Color b, double t);
Paint Solid(Color color);
Paint LinearGradient(Point from, Color fromColor, Point to, Color toColor);
Paint RadialGradient(Point centre, double radius, Color inner, Color outer);

Shape Circle(double cx, double cy, double radius);
Shape Ellipse(double cx, double cy, double rx, double ry);
Shape Box(double left, double top, double right, double bottom, double cornerRadius = 0);
// A line with round ends, `width` across.
Shape Segment(Point from, Point to, double width);
Shape Ring(double cx, double cy, double radius, double width);
Shape Polygon(std::vector<Point> points);
// A regular star or polygon: `points` tips at `outer`, alternating with `inner` (equal radii
// give a plain polygon of 2 * points corners). Angle 0 points up.
Shape Star(double cx, double cy, int points, double outer, double inner, double angle);
// A cog: `teeth` teeth from `root` out to `tip` radius.
Shape Cog(double cx, double cy, int teeth, double root, double tip, double angle);

Shape Union(const Shape& a, const Shape& b);
Shape Intersect(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
Shape Grow(const Shape& shape, double amount);
Shape Outline(const Shape& shape, double width);
// Rotation about (cx, cy) followed by a uniform scale about the same point.
Shape Rotate(const Shape& shape, double cx, double cy, double degrees, double scale = 1.0);
Shape Move(const Shape& shape, double dx, double dy);
