#include <gyrix/engine/symbols.h>

#include <gyrix/engine/polymodel.h>

#include <algorithm>
#include <cmath>

namespace {

const char* const kShapeNames[kSymbolShapes] = {"circle", "square",    "triangle", "cross",     "diamond",
                                                "star",   "bar",       "ring",     "hourglass", "frame"};

// The symbol's size: this share of the distance from the facelet's middle to its nearest edge.
constexpr double kSymbolShare = 0.62;
// At least this many pixels between a symbol and its facelet's outline on the screen.
constexpr double kScreenMargin = 2.0;
// Marks smaller than this on the screen (their half width across the view) are left out.
constexpr double kSmallestHalfWidth = 1.5;
constexpr double kSmallestRadius = 2.5;
constexpr int kRoundSteps = 24;
constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
  double x, y, z;
};
Vec3 Minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Plus(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Scaled(const Vec3& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }

void AddLoop(SSymbolOutline& out, const std::vector<std::pair<double, double>>& points) {
  for (const auto& [x, y] : points) {
    out.x.push_back(x);
    out.y.push_back(y);
  }
  out.counts.push_back(static_cast<int>(points.size()));
}

std::vector<std::pair<double, double>> RoundLoop(double radius) {
  std::vector<std::pair<double, double>> loop;
  for (int i = 0; i < kRoundSteps; ++i) {
    const double a = 2 * kPi * i / kRoundSteps;
    loop.push_back({radius * std::cos(a), radius * std::sin(a)});
  }
  return loop;
}

std::vector<std::pair<double, double>> BoxLoop(double halfX, double halfY) {
  return {{-halfX, -halfY}, {halfX, -halfY}, {halfX, halfY}, {-halfX, halfY}};
}

std::vector<std::pair<double, double>> StarLoop(int points, double outer, double inner) {
  std::vector<std::pair<double, double>> loop;
  for (int i = 0; i < 2 * points; ++i) {
    const double a = -kPi / 2 + kPi * i / points;
    const double r = i % 2 == 0 ? outer : inner;
    loop.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return loop;
}

// The facelet's corners in pixels of the view (the client point is x >> 16 plus the centre).
bool FaceletCorners(const CPolyModel& model, const CFacelet& facelet, int list, std::vector<Vec3>& corners) {
  corners.clear();
  for (int i = 0; i < facelet.GetVertexCount(); ++i) {
    const CFixVector* v = model.GetVertex(facelet.GetVertexIndex(i), list);
    if (!v) return false;
    corners.push_back({v->x / 65536.0, v->y / 65536.0, v->z / 65536.0});
  }
  return corners.size() >= 3;
}

// Newell's normal: twice the area along the facelet's normal, also for a slightly bent one.
Vec3 AreaNormal(const std::vector<Vec3>& c) {
  Vec3 n{0, 0, 0};
  for (size_t i = 0; i < c.size(); ++i) {
    const Vec3& a = c[i];
    const Vec3& b = c[(i + 1) % c.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

// The middle of the facelet's area (not of its corners, which may crowd along one edge).
Vec3 AreaMiddle(const std::vector<Vec3>& c, const Vec3& unitNormal) {
  Vec3 sum{0, 0, 0};
  double weight = 0;
  for (size_t i = 1; i + 1 < c.size(); ++i) {
    const double w = Dot(Cross(Minus(c[i], c[0]), Minus(c[i + 1], c[0])), unitNormal);
    sum = Plus(sum, Scaled(Plus(Plus(c[0], c[i]), c[i + 1]), w / 3));
    weight += w;
  }
  if (std::fabs(weight) < 1e-9) return c[0];
  return Scaled(sum, 1 / weight);
}

// Along the longest edge, in the facelet's plane: a bar lies along a long facelet.
Vec3 LongestEdgeDirection(const std::vector<Vec3>& c, const Vec3& unitNormal) {
  Vec3 best{0, 0, 0};
  double longest = -1;
  for (size_t i = 0; i < c.size(); ++i) {
    const Vec3 edge = Minus(c[(i + 1) % c.size()], c[i]);
    if (Length(edge) > longest) longest = Length(edge), best = edge;
  }
  const Vec3 flat = Minus(best, Scaled(unitNormal, Dot(best, unitNormal)));
  const double length = Length(flat);
  return length > 1e-9 ? Scaled(flat, 1 / length) : Vec3{0, 0, 0};
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double d2 = dx * dx + dy * dy;
  const double t = d2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / d2, 0.0, 1.0) : 0.0;
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// In the plane's own coordinates: the distance from the origin to the nearest edge, or -1 when
// the origin lies outside the polygon.
double RoomAroundOrigin(const std::vector<double>& u, const std::vector<double>& v) {
  bool inside = false;
  double room = 1e300;
  const size_t n = u.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    if ((v[i] > 0) != (v[j] > 0) && 0 < (u[j] - u[i]) * (0 - v[i]) / (v[j] - v[i]) + u[i]) inside = !inside;
    room = std::min(room, SegmentDistance(0, 0, u[j], v[j], u[i], v[i]));
  }
  return inside ? room : -1;
}

// From the area's middle towards the point farthest from every edge (for a thin triangle its
// incentre): the mark there can be largest. Steps to a neighbouring point while that gains
// room, with shorter steps when none does. Returns the room there; u0, v0 the point.
double MostRoomyPoint(const std::vector<double>& u, const std::vector<double>& v, double& u0, double& v0) {
  std::vector<double> su(u.size()), sv(v.size());
  auto roomAt = [&](double x, double y) {
    for (size_t i = 0; i < u.size(); ++i) su[i] = u[i] - x, sv[i] = v[i] - y;
    return RoomAroundOrigin(su, sv);
  };
  u0 = 0, v0 = 0;
  double room = roomAt(0, 0);
  if (room <= 0) return room;
  static const double kDirections[8][2] = {{1, 0}, {0.7071, 0.7071}, {0, 1}, {-0.7071, 0.7071},
                                           {-1, 0}, {-0.7071, -0.7071}, {0, -1}, {0.7071, -0.7071}};
  for (double step = room / 2; step > 0.05; ) {
    bool moved = false;
    for (const auto& d : kDirections) {
      const double x = u0 + d[0] * step, y = v0 + d[1] * step;
      const double there = roomAt(x, y);
      if (there > room + 1e-9) {
        u0 = x, v0 = y, room = there;
        moved = true;
      }
    }
    if (!moved) step /= 2;
  }
  return room;
}

double LinearChannel(int value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

const char* GetSymbolName(int shape) { return shape >= 0 && shape < kSymbolShapes ? kShapeNames[shape] : nullptr; }

int GetSymbolShape(int colour) { return colour < 1 ? -1 : (colour - 1) % kSymbolShapes; }

SSymbolOutline GetSymbolOutline(int shape) {
  SSymbolOutline out;
  switch (shape) {
    case 0: AddLoop(out, RoundLoop(0.66)); break;
    case 1: AddLoop(out, BoxLoop(0.7, 0.7)); break;
    case 2: AddLoop(out, {{0, -1}, {0.866, 0.5}, {-0.866, 0.5}}); break;
    case 3:
      AddLoop(out, {{-0.3, -0.95}, {0.3, -0.95}, {0.3, -0.3}, {0.95, -0.3}, {0.95, 0.3}, {0.3, 0.3},
                    {0.3, 0.95}, {-0.3, 0.95}, {-0.3, 0.3}, {-0.95, 0.3}, {-0.95, -0.3}, {-0.3, -0.3}});
      break;
    case 4: AddLoop(out, {{0.97, 0}, {0, 0.5}, {-0.97, 0}, {0, -0.5}}); break;
    case 5: AddLoop(out, StarLoop(5, 1.0, 0.42)); break;
    case 6: AddLoop(out, BoxLoop(0.95, 0.26)); break;
    case 7:
      AddLoop(out, RoundLoop(0.9));
      AddLoop(out, RoundLoop(0.5));
      break;
    case 8:
      AddLoop(out, {{-0.6, -0.8}, {0.6, -0.8}, {0.12, 0}, {0.6, 0.8}, {-0.6, 0.8}, {-0.12, 0}});
      break;
    case 9:
      AddLoop(out, BoxLoop(0.7, 0.7));
      AddLoop(out, BoxLoop(0.36, 0.36));
      break;
    default: break;
  }
  return out;
}

COLORREF GetSymbolInk(COLORREF colour) {
  const double luminance = 0.2126 * LinearChannel(GetRValue(colour)) + 0.7152 * LinearChannel(GetGValue(colour)) +
                           0.0722 * LinearChannel(GetBValue(colour));
  // Contrast ratios (L1 + 0.05) / (L2 + 0.05) against black (0) and white (1).
  const double onBlack = (luminance + 0.05) / 0.05;
  const double onWhite = 1.05 / (luminance + 0.05);
  return onBlack >= onWhite ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

bool ComputeFaceletSymbol(const CPolyModel& model, const CFacelet& facelet, int list, std::vector<POINT>& points,
                          std::vector<int>& counts, std::vector<PointF>* exact) {
  points.clear();
  counts.clear();
  if (exact) exact->clear();
  const int shape = GetSymbolShape(facelet.GetColour());
  if (shape < 0) return false;
  std::vector<Vec3> corners;
  if (!FaceletCorners(model, facelet, list, corners)) return false;
  const Vec3 normal = AreaNormal(corners);
  if (Length(normal) < 1e-6) return false;
  const Vec3 unitNormal = Scaled(normal, 1 / Length(normal));
  const Vec3 middle = AreaMiddle(corners, unitNormal);
  const Vec3 across = LongestEdgeDirection(corners, unitNormal);
  if (Length(across) == 0) return false;
  const Vec3 along = Cross(unitNormal, across);

  std::vector<double> u, v;
  for (const Vec3& c : corners) {
    u.push_back(Dot(Minus(c, middle), across));
    v.push_back(Dot(Minus(c, middle), along));
  }
  double atU = 0, atV = 0;
  const double room = MostRoomyPoint(u, v, atU, atV);
  if (room <= 0) return false;
  const Vec3 centre = Plus(middle, Plus(Scaled(across, atU), Scaled(along, atV)));
  // Seen at a slant the facelet is squashed by the cosine of its turn away from the viewer:
  // the mark keeps its margin on the screen too.
  const double slant = std::fabs(unitNormal.z);
  // A wide outline is the plain one again a pixel right and down: inwards on two sides.
  const double margin = kScreenMargin + 1.5 * model.GetOutlineWidth();
  const double size = std::min(room * kSymbolShare, room - margin / std::max(slant, 1e-6));
  if (size < kSmallestRadius || size * slant < kSmallestHalfWidth) return false;

  const SSymbolOutline outline = GetSymbolOutline(shape);
  const POINT client = model.GetCentre();
  for (size_t i = 0; i < outline.x.size(); ++i) {
    const Vec3 at = Plus(centre, Plus(Scaled(across, size * outline.x[i]), Scaled(along, size * outline.y[i])));
    // As the corners are projected: the whole pixel below, then the centre.
    points.push_back(POINT{static_cast<LONG>(std::floor(at.x)) + client.x, static_cast<LONG>(std::floor(at.y)) + client.y});
    if (exact) exact->push_back(PointF{static_cast<float>(at.x + client.x), static_cast<float>(at.y + client.y)});
  }
  counts = outline.counts;
  return true;
}
