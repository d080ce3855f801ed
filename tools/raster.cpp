// Shapes, paints and the supersampling canvas of the asset generator.

// <cmath> only for sqrt, floor and fabs, which IEEE arithmetic fixes to the last bit.
#include "tools/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr double kPi = 3.14159265358979323846;
// Supersampling grid per axis for pixels that an edge passes through.
constexpr int kSamples = 4;
// Half a pixel diagonal and a little more: beyond this a pixel is wholly in or out.
constexpr double kEdgeReach = 0.75;
constexpr int kBleedPasses = 2;

// ---------------------------------------------------------------------------------------------
// Internal functions

double Length(double x, double y) {
  return std::sqrt(x * x + y * y);
}

// Sine of an angle in [-pi/2, pi/2] by its Taylor series, which has converged to well below
// a byte's resolution by the x^15 term.
double SinSeries(double x) {
  const double square = x * x;
  double term = x;
  double sum = x;
  for (int n = 1; n <= 7; ++n) {
    term = -term * square / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

Shape Bounded(std::function<double(double, double)> distance, double left, double top, double right,
              double bottom) {
  Shape shape;
  shape.distance = std::move(distance);
  shape.left = left;
  shape.top = top;
  shape.right = right;
  shape.bottom = bottom;
  return shape;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

Canvas::Canvas(int width, int height, double scale)
    : m_width(width),
      m_height(height),
      m_scale(scale),
      m_pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0.0f) {}

void Canvas::Composite(int x, int y, Color color, double coverage) {
  const double alpha = Clamp(color.a * coverage, 0.0, 1.0);
  if (alpha <= 0.0) return;
  float* pixel = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
  const double keep = 1.0 - alpha;
  pixel[0] = static_cast<float>(color.r * alpha + pixel[0] * keep);
  pixel[1] = static_cast<float>(color.g * alpha + pixel[1] * keep);
  pixel[2] = static_cast<float>(color.b * alpha + pixel[2] * keep);
  pixel[3] = static_cast<float>(alpha + pixel[3] * keep);
}

void Canvas::Fill(const Shape& shape, const Paint& paint) {
  const int x0 =
      std::max(0, static_cast<int>(std::floor(Clamp(shape.left * m_scale, -1, m_width))) - 1);
  const int y0 =
      std::max(0, static_cast<int>(std::floor(Clamp(shape.top * m_scale, -1, m_height))) - 1);
  const int x1 = std::min(
      m_width, static_cast<int>(std::floor(Clamp(shape.right * m_scale, -1, m_width))) + 2);
  const int y1 = std::min(
      m_height, static_cast<int>(std::floor(Clamp(shape.bottom * m_scale, -1, m_height))) + 2);
  const double pixel = 1.0 / m_scale;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double cx = (x + 0.5) * pixel;
      const double cy = (y + 0.5) * pixel;
      const double centre = shape.distance(cx, cy);
      double coverage;
      if (centre > kEdgeReach * pixel) {
        continue;
      } else if (centre < -kEdgeReach * pixel) {
        coverage = 1.0;
      } else {
        int inside = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            const double px = (x + (sx + 0.5) / kSamples) * pixel;
            const double py = (y + (sy + 0.5) / kSamples) * pixel;
            if (shape.distance(px, py) < 0.0) ++inside;
          }
        }
        if (inside == 0) continue;
        coverage = static_cast<double>(inside) / (kSamples * kSamples);
      }
      Composite(x, y, paint(cx, cy), coverage);
    }
  }
}

void Canvas::Fill(const Shape& shape, Color color) {
  Fill(shape, Solid(color));
}

void Canvas::Glow(const Shape& shape, Color color, double radius) {
  Fill(Grow(shape, radius), [&shape, color, radius](double x, double y) {
    const double fade = Clamp(1.0 - shape.distance(x, y) / radius, 0.0, 1.0);
    Color faded = color;
    faded.a = color.a * fade * fade;
    return faded;
  });
}

void Canvas::Block(int x, int y, int size, Color color) {
  const int step = static_cast<int>(m_scale);
  for (int py = y * step; py < (y + size) * step; ++py) {
    for (int px = x * step; px < (x + size) * step; ++px) {
      if (px >= 0 && py >= 0 && px < m_width && py < m_height) Composite(px, py, color, 1.0);
    }
  }
}

std::vector<unsigned char> Canvas::ToRgba() const {
  const size_t count = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
  std::vector<unsigned char> rgba(count * 4, 0);
  std::vector<bool> drawn(count, false);
  auto to_byte = [](double value) {
    return static_cast<unsigned char>(static_cast<int>(Clamp(value, 0.0, 1.0) * 255.0 + 0.5));
  };
  for (size_t i = 0; i < count; ++i) {
    const float* pixel = &m_pixels[i * 4];
    const unsigned char alpha = to_byte(pixel[3]);
    if (alpha == 0) continue;
    drawn[i] = true;
    for (int c = 0; c < 3; ++c) rgba[i * 4 + c] = to_byte(pixel[c] / pixel[3]);
    rgba[i * 4 + 3] = alpha;
  }
  // Clear pixels next to drawn ones borrow their colour, so bilinear filtering of the
  // straight colours never pulls black into an edge.
  for (int pass = 0; pass < kBleedPasses; ++pass) {
    std::vector<bool> next = drawn;
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        const size_t i = static_cast<size_t>(y) * m_width + x;
        if (drawn[i]) continue;
        int sum[3] = {0, 0, 0};
        int found = 0;
        const int dx[4] = {-1, 1, 0, 0};
        const int dy[4] = {0, 0, -1, 1};
        for (int k = 0; k < 4; ++k) {
          const int nx = x + dx[k];
          const int ny = y + dy[k];
          if (nx < 0 || ny < 0 || nx >= m_width || ny >= m_height) continue;
          const size_t n = static_cast<size_t>(ny) * m_width + nx;
          if (!drawn[n]) continue;
          for (int c = 0; c < 3; ++c) sum[c] += rgba[n * 4 + c];
          ++found;
        }
        if (found == 0) continue;
        for (int c = 0; c < 3; ++c) rgba[i * 4 + c] = static_cast<unsigned char>(sum[c] / found);
        next[i] = true;
      }
    }
    drawn = std::move(next);
  }
  return rgba;
}

double SinDegrees(double degrees) {
  double turn = degrees - 360.0 * std::floor(degrees / 360.0);  // 0 to 360
  if (turn > 180.0) turn -= 360.0;                              // -180 to 180
  if (turn > 90.0) turn = 180.0 - turn;
  if (turn < -90.0) turn = -180.0 - turn;
  return SinSeries(turn * kPi / 180.0);
}

double CosDegrees(double degrees) {
  return SinDegrees(degrees + 90.0);
}

double SquareRoot(double value) {
  return value > 0.0 ? std::sqrt(value) : 0.0;
}

double Clamp(double value, double low, double high) {
  return value < low ? low : (value > high ? high : value);
}

double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}

Point OnCircle(double cx, double cy, double degrees, double radius) {
  return Point{cx + SinDegrees(degrees) * radius, cy - CosDegrees(degrees) * radius};
}

Color Rgb(int red, int green, int blue, double alpha) {
  return Color{red / 255.0, green / 255.0, blue / 255.0, alpha};
}

Color MixColor(Color a, Color b, double t) {
  return Color{Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}

Paint Solid(Color color) {
  return [color](double, double) { return color; };
}

Paint LinearGradient(Point from, Color fromColor, Point to, Color toColor) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length2 = std::max(1e-12, dx * dx + dy * dy);
  return [=](double x, double y) {
    const double t = Clamp(((x - from.x) * dx + (y - from.y) * dy) / length2, 0.0, 1.0);
    return MixColor(fromColor, toColor, t);
  };
}

Paint RadialGradient(Point centre, double radius, Color inner, Color outer) {
  return [=](double x, double y) {
    const double t = Clamp(Length(x - centre.x, y - centre.y) / radius, 0.0, 1.0);
    return MixColor(inner, outer, t);
  };
}

Shape Circle(double cx, double cy, double radius) {
  return Bounded([=](double x, double y) { return Length(x - cx, y - cy) - radius; }, cx - radius,
                 cy - radius, cx + radius, cy + radius);
}

Shape Ellipse(double cx, double cy, double rx, double ry) {
  // The scaled unit-circle distance changes at most 1/min(rx, ry) per unit, so multiplying
  // by the smaller radius keeps it a safe underestimate of the true distance.
  const double smaller = std::min(rx, ry);
  return Bounded(
      [=](double x, double y) { return (Length((x - cx) / rx, (y - cy) / ry) - 1.0) * smaller; },
      cx - rx, cy - ry, cx + rx, cy + ry);
}

Shape Box(double left, double top, double right, double bottom, double cornerRadius) {
  const double cx = (left + right) * 0.5;
  const double cy = (top + bottom) * 0.5;
  const double radius = std::min(cornerRadius, std::min(right - left, bottom - top) * 0.5);
  const double hx = (right - left) * 0.5 - radius;
  const double hy = (bottom - top) * 0.5 - radius;
  return Bounded(
      [=](double x, double y) {
        const double qx = std::fabs(x - cx) - hx;
        const double qy = std::fabs(y - cy) - hy;
        return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
               radius;
      },
      left, top, right, bottom);
}

Shape Segment(Point from, Point to, double width) {
  const double half = width * 0.5;
  const double ex = to.x - from.x;
  const double ey = to.y - from.y;
  const double length2 = std::max(1e-12, ex * ex + ey * ey);
  return Bounded(
      [=](double x, double y) {
        const double wx = x - from.x;
        const double wy = y - from.y;
        const double t = Clamp((wx * ex + wy * ey) / length2, 0.0, 1.0);
        return Length(wx - ex * t, wy - ey * t) - half;
      },
      std::min(from.x, to.x) - half, std::min(from.y, to.y) - half, std::max(from.x, to.x) + half,
      std::max(from.y, to.y) + half);
}

Shape Ring(double cx, double cy, double radius, double width) {
  return Outline(Circle(cx, cy, radius), width);
}

Shape Polygon(std::vector<Point> points) {
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  for (const Point& p : points) {
    left = std::min(left, p.x);
    top = std::min(top, p.y);
    right = std::max(right, p.x);
    bottom = std::max(bottom, p.y);
  }
  return Bounded(
      [points = std::move(points)](double x, double y) {
        const size_t n = points.size();
        if (n < 3) return 1e300;
        double best = (x - points[0].x) * (x - points[0].x) + (y - points[0].y) * (y - points[0].y);
        double sign = 1.0;
        for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
          const double ex = points[j].x - points[i].x;
          const double ey = points[j].y - points[i].y;
          const double wx = x - points[i].x;
          const double wy = y - points[i].y;
          const double t = Clamp((wx * ex + wy * ey) / std::max(1e-12, ex * ex + ey * ey), 0, 1);
          const double bx = wx - ex * t;
          const double by = wy - ey * t;
          best = std::min(best, bx * bx + by * by);
          const bool c1 = y >= points[i].y;
          const bool c2 = y < points[j].y;
          const bool c3 = ex * wy > ey * wx;
          if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sign = -sign;
        }
        return sign * std::sqrt(best);
      },
      left, top, right, bottom);
}

Shape Star(double cx, double cy, int points, double outer, double inner, double angle) {
  std::vector<Point> corners;
  for (int i = 0; i < points * 2; ++i) {
    const double radius = (i % 2 == 0) ? outer : inner;
    const double a = angle + i * 180.0 / points;
    corners.push_back(OnCircle(cx, cy, a, radius));
  }
  return Polygon(std::move(corners));
}

Shape Cog(double cx, double cy, int teeth, double root, double tip, double angle) {
  std::vector<Point> corners;
  const double pitch = 360.0 / teeth;
  auto add = [&](double a, double radius) { corners.push_back(OnCircle(cx, cy, a, radius)); };
  for (int i = 0; i < teeth; ++i) {
    const double a = angle + i * pitch;
    add(a - 0.30 * pitch, root);
    add(a - 0.17 * pitch, tip);
    add(a + 0.17 * pitch, tip);
    add(a + 0.30 * pitch, root);
    for (int k = 1; k <= 3; ++k) add(a + 0.30 * pitch + k * 0.10 * pitch, root);
  }
  return Polygon(std::move(corners));
}

Shape Union(const Shape& a, const Shape& b) {
  return Bounded(
      [a, b](double x, double y) { return std::min(a.distance(x, y), b.distance(x, y)); },
      std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
      std::max(a.bottom, b.bottom));
}

Shape Intersect(const Shape& a, const Shape& b) {
  return Bounded(
      [a, b](double x, double y) { return std::max(a.distance(x, y), b.distance(x, y)); },
      std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
      std::min(a.bottom, b.bottom));
}

Shape Subtract(const Shape& a, const Shape& b) {
  return Bounded(
      [a, b](double x, double y) { return std::max(a.distance(x, y), -b.distance(x, y)); }, a.left,
      a.top, a.right, a.bottom);
}

Shape Grow(const Shape& shape, double amount) {
  return Bounded([shape, amount](double x, double y) { return shape.distance(x, y) - amount; },
                 shape.left - amount, shape.top - amount, shape.right + amount,
                 shape.bottom + amount);
}

Shape Outline(const Shape& shape, double width) {
  const double half = width * 0.5;
  return Bounded(
      [shape, half](double x, double y) { return std::fabs(shape.distance(x, y)) - half; },
      shape.left - half, shape.top - half, shape.right + half, shape.bottom + half);
}

Shape Rotate(const Shape& shape, double cx, double cy, double degrees, double scale) {
  const double s = SinDegrees(degrees);
  const double c = CosDegrees(degrees);
  // Screen y points down, so a positive angle turns clockwise as seen.
  Shape result = Bounded(
      [shape, cx, cy, s, c, scale](double x, double y) {
        const double dx = (x - cx) / scale;
        const double dy = (y - cy) / scale;
        return shape.distance(cx + dx * c + dy * s, cy - dx * s + dy * c) * scale;
      },
      0, 0, 0, 0);
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  const double xs[2] = {shape.left, shape.right};
  const double ys[2] = {shape.top, shape.bottom};
  for (double px : xs) {
    for (double py : ys) {
      const double dx = px - cx;
      const double dy = py - cy;
      const double rx = cx + (dx * c - dy * s) * scale;
      const double ry = cy + (dx * s + dy * c) * scale;
      left = std::min(left, rx);
      top = std::min(top, ry);
      right = std::max(right, rx);
      bottom = std::max(bottom, ry);
    }
  }
  result.left = left;
  result.top = top;
  result.right = right;
  result.bottom = bottom;
  return result;
}

Shape Move(const Shape& shape, double dx, double dy) {
  return Bounded([shape, dx, dy](double x, double y) { return shape.distance(x - dx, y - dy); },
                 shape.left + dx, shape.top + dy, shape.right + dx, shape.bottom + dy);
}
