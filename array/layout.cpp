#include "array/layout.h"

#include <cmath>
#include <map>
#include <numbers>
#include <string_view>

#include "textio/errors.h"
#include "textio/fields.h"
#include "textio/line_source.h"
#include "textio/number.h"
#include "textio/printable.h"

namespace array {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// The blank- or tab-separated fields of a line, up to its first '#'.
std::vector<std::string_view> Fields(std::string_view line) {
  return textio::SplitFields(line.substr(0, line.find('#')), " \t\r\v\f");
}

// The comma-separated parts of a record field.
std::vector<std::string_view> Parts(std::string_view field) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t comma = field.find(',');
    parts.push_back(field.substr(0, comma));
    if (comma == std::string_view::npos) return parts;
    field.remove_prefix(comma + 1);
  }
}

// What each form calls its two position fields, for messages.
struct FormWords {
  const char* line;    // the fields of a station line
  const char* first;   // the first position field
  const char* second;  // the second
};
constexpr FormWords kPolarWords = {"'name azimuth radius file [orient=DEG]'", "azimuth (degrees)", "radius (metres)"};
constexpr FormWords kXyWords = {"'name x y file [centre] [orient=DEG]'", "x (metres east)", "y (metres north)"};
constexpr FormWords kLonLatWords = {"'name longitude latitude file [centre] [orient=DEG]'", "longitude (degrees)",
                                    "latitude (degrees)"};

class Parser {
 public:
  Parser(const std::string& file_name, const std::filesystem::path& folder) : folder_(folder) {
    layout_.file = file_name;
  }

  [[noreturn]] void Fail(long line, const std::string& what) const {
    throw textio::InputError(layout_.file + " line " + std::to_string(line) + ": " + what);
  }

  void AddLine(std::string_view text, long line) {
    const std::vector<std::string_view> f = Fields(text);
    if (f.empty()) return;
    if (f[0] == "coordinates") return ChooseForm(f, line);
    seen_station_ = true;
    if (f.size() < 4) Fail(line, "expected " + std::string(Words().line) + ", got " + FieldCount(f.size()));
    Station s;
    s.name = std::string(f[0]);
    const double a = Number(f[1], Words().first, line);
    const double b = Number(f[2], Words().second, line);
    s.file = std::string(f[3]);
    s.line = line;
    bool centre = false;
    for (size_t i = 4; i < f.size(); ++i) {
      if (f[i] == "centre" && layout_.form != PositionForm::kPolar) {
        if (centre) Fail(line, "'centre' given twice");
        centre = true;
      } else if (f[i].starts_with("orient=")) {
        s.orient_deg = Number(f[i].substr(7), "orientation after orient= (degrees clockwise from north)", line);
      } else {
        Fail(line, "unexpected field '" + textio::Printable(f[i]) + "'; expected " + Words().line);
      }
    }
    Place(&s, a, b, f, line);
    if (layout_.form == PositionForm::kPolar) centre = s.radius == 0;
    AddFiles(&s, f[3], line);
    if (centre) {
      if (layout_.centre) {
        Fail(line, std::string("second centre station") + (layout_.form == PositionForm::kPolar ? " (radius 0)" : "") +
                       "; the first is on line " + std::to_string(layout_.stations[*layout_.centre].line));
      }
      layout_.centre = layout_.stations.size();
    }
    layout_.stations.push_back(std::move(s));
  }

  Layout Finish() {
    if (layout_.stations.empty()) {
      throw textio::InputError(layout_.file + ": no stations (expected lines " + Words().line + ")");
    }
    if (layout_.form == PositionForm::kLonLat) Project();
    return std::move(layout_);
  }

 private:
  const FormWords& Words() const {
    switch (layout_.form) {
      case PositionForm::kXy:
        return kXyWords;
      case PositionForm::kLonLat:
        return kLonLatWords;
      case PositionForm::kPolar:
        break;
    }
    return kPolarWords;
  }

  static std::string FieldCount(size_t n) { return std::to_string(n) + (n == 1 ? " field" : " fields"); }

  void ChooseForm(const std::vector<std::string_view>& f, long line) {
    if (seen_station_ || form_line_ > 0) {
      Fail(line, "the 'coordinates' line must be the first line that is not a comment" +
                     (form_line_ > 0 ? " (one was on line " + std::to_string(form_line_) + ")" : std::string()));
    }
    if (f.size() != 2 || (f[1] != "xy" && f[1] != "lonlat" && f[1] != "polar")) {
      Fail(line, "expected 'coordinates xy', 'coordinates lonlat' or 'coordinates polar', got '" +
                     textio::Printable(f.size() > 1 ? f[1] : "") + "'" + (f.size() > 2 ? " and more" : ""));
    }
    layout_.form = f[1] == "xy" ? PositionForm::kXy : f[1] == "lonlat" ? PositionForm::kLonLat : PositionForm::kPolar;
    form_line_ = line;
  }

  // The position of `s` from its two fields a, b.
  void Place(Station* s, double a, double b, const std::vector<std::string_view>& f, long line) const {
    switch (layout_.form) {
      case PositionForm::kPolar: {
        if (b < 0) Fail(line, "the radius must be 0 or more, got '" + textio::Printable(f[2]) + "'");
        s->azimuth_deg = a;
        s->radius = b;
        // As circsim has always placed its stations: bit for bit the same.
        const double theta = a * kDegree;
        s->x = b * std::cos(theta);
        s->y = b * std::sin(theta);
        return;
      }
      case PositionForm::kXy:
        s->x = a;
        s->y = b;
        break;
      case PositionForm::kLonLat:
        if (!(std::fabs(b) <= 90))
          Fail(line, "the latitude must lie within -90 to 90 degrees, got '" + textio::Printable(f[2]) + "'");
        if (!(std::fabs(a) <= 360))
          Fail(line, "the longitude must lie within -360 to 360 degrees, got '" + textio::Printable(f[1]) + "'");
        s->x = a;  // projected in Finish(), once the mean position is known
        s->y = b;
        return;
    }
    SetPolar(s);
  }

  static void SetPolar(Station* s) {
    s->radius = std::hypot(s->x, s->y);
    s->azimuth_deg = s->radius > 0 ? std::atan2(s->y, s->x) / kDegree : 0;
  }

  // lonlat: every station onto the plane tangent at the mean position. The
  // longitudes are averaged as their differences from the first, so that
  // an array across the antimeridian is not averaged to the other side of
  // the earth.
  void Project() {
    const double lon_first = layout_.stations.front().x;
    auto wrapped = [lon_first](double lon) { return lon_first + std::remainder(lon - lon_first, 360.0); };
    double lon = 0, lat = 0;
    for (const Station& s : layout_.stations) {
      lon += wrapped(s.x);
      lat += s.y;
    }
    const double n = static_cast<double>(layout_.stations.size());
    const TangentPlane plane{lon / n, lat / n};
    for (Station& s : layout_.stations) {
      plane.Project(wrapped(s.x), s.y, &s.x, &s.y);
      SetPolar(&s);
    }
  }

  void AddFiles(Station* s, std::string_view field, long line) {
    const std::vector<std::string_view> parts = Parts(field);
    if (parts.size() != 1 && parts.size() != 3) {
      Fail(line, "expected one record file or three separated by commas (u,e,n), got " + std::to_string(parts.size()) +
                     " in '" + textio::Printable(s->file) + "'");
    }
    for (std::string_view part : parts) {
      if (part.empty())
        Fail(line, "an empty record file name in '" + textio::Printable(s->file) + "' (expected u,e,n)");
      s->paths.push_back(folder_ / std::string(part));
    }
    s->path = parts.size() == 1 ? folder_ / s->file : s->paths[0];

    if (auto [it, fresh] = names_.emplace(s->name, line); !fresh) {
      Fail(line,
           "station name '" + textio::Printable(s->name) + "' is already used on line " + std::to_string(it->second));
    }
    for (size_t k = 0; k < s->paths.size(); ++k) {
      const std::string resolved = s->paths[k].lexically_normal().string();
      if (auto [it, fresh] = files_.emplace(resolved, line); !fresh) {
        Fail(line, "record file '" + textio::Printable(parts[k]) + "' is already used" +
                       (it->second == line ? " in this line" : " on line " + std::to_string(it->second)));
      }
    }
  }

  double Number(std::string_view token, const char* what, long line) const {
    double v = 0;
    if (!textio::ParseDouble(token, &v) || !std::isfinite(v)) {
      Fail(line, std::string("expected a number for the ") + what + ", got '" + textio::Printable(token) + "'");
    }
    return v;
  }

  std::filesystem::path folder_;
  Layout layout_;
  bool seen_station_ = false;
  long form_line_ = 0;
  std::map<std::string, long> names_;  // station name -> line
  std::map<std::string, long> files_;  // resolved record path -> line
};

}  // namespace

void TangentPlane::Project(double lon_deg, double lat_deg, double* east, double* north) const {
  // WGS84: semi-major axis and flattening; e2 the first eccentricity squared.
  constexpr double kA = 6378137.0;
  constexpr double kF = 1 / 298.257223563;
  constexpr double kE2 = kF * (2 - kF);
  auto earth_centred = [](double lon, double lat, double xyz[3]) {
    const double n = kA / std::sqrt(1 - kE2 * std::sin(lat) * std::sin(lat));  // prime vertical radius
    xyz[0] = n * std::cos(lat) * std::cos(lon);
    xyz[1] = n * std::cos(lat) * std::sin(lon);
    xyz[2] = n * (1 - kE2) * std::sin(lat);
  };
  const double lon0 = lon0_deg * kDegree, lat0 = lat0_deg * kDegree;
  double p[3], p0[3];
  earth_centred(lon_deg * kDegree, lat_deg * kDegree, p);
  earth_centred(lon0, lat0, p0);
  const double d[3] = {p[0] - p0[0], p[1] - p0[1], p[2] - p0[2]};
  *east = -std::sin(lon0) * d[0] + std::cos(lon0) * d[1];
  *north = -std::sin(lat0) * std::cos(lon0) * d[0] - std::sin(lat0) * std::sin(lon0) * d[1] + std::cos(lat0) * d[2];
}

Layout ParseLayout(std::istream& in, const std::string& file_name, const std::filesystem::path& folder) {
  Parser parser(file_name, folder);
  textio::LineSource lines(in);
  std::string_view line;
  while (lines.Next(&line)) parser.AddLine(line, lines.line_number());
  return parser.Finish();
}

Layout ReadLayout(suite::Context& context, const std::string& name) {
  suite::InputFile& file = context.OpenInput(name);
  Layout layout = ParseLayout(file.stream(), name, std::filesystem::path(name).parent_path());
  context.Close(file);
  return layout;
}

}  // namespace array
