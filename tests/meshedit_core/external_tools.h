#pragma once
// Running assimp (and python3 with ezdxf to write DXF files), the independent
// judges of the importers; support/external_tool.h says whether they are there.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace pavixtest {

inline int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return status == -1 ? -1 : WEXITSTATUS(status);
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// A python that can import ezdxf: the system one first (a pyenv shim may
// stand before it on the path without the module).
inline std::optional<std::string> EzdxfPython() {
  for (const char* py : {"/usr/bin/python3", "python3"}) {
    if (RunCommand(std::string(py) + " -c 'import ezdxf' >/dev/null 2>&1") == 0) return std::string(py);
  }
  return std::nullopt;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct AssimpCounts {
  long vertices = -1;
  long faces = -1;
};

// "Vertices:" and "Faces:" as `assimp info` reports them.
inline AssimpCounts AssimpInfo(const std::string& model, const std::string& scratch) {
  AssimpCounts c;
  if (RunCommand("assimp info " + Quote(model) + " > " + Quote(scratch) + " 2>&1") != 0) return c;
  std::istringstream in(ReadText(scratch));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    long value = -1;
    words >> key >> value;
    if (key == "Vertices:" && c.vertices < 0) c.vertices = value;
    if (key == "Faces:" && c.faces < 0) c.faces = value;
  }
  return c;
}

using Point = std::array<long, 3>;  // millimetre grid, so text round trips compare exactly
using Polygon = std::vector<Point>;  // corners sorted

inline Point GridPoint(double x, double y, double z) {
  return {std::lround(x * 1000), std::lround(y * 1000), std::lround(z * 1000)};
}

// The polygons of a model as assimp reads it, node transforms applied.
inline std::optional<std::vector<Polygon>> AssimpPolygons(const std::string& model, const std::string& obj) {
  if (RunCommand("assimp export " + Quote(model) + " " + Quote(obj) + " -ptv >/dev/null 2>&1") != 0)
    return std::nullopt;
  std::vector<Point> v;
  std::vector<Polygon> polygons;
  std::istringstream in(ReadText(obj));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string tag;
    words >> tag;
    if (tag == "v") {
      double x, y, z;
      words >> x >> y >> z;
      v.push_back(GridPoint(x, y, z));
    } else if (tag == "f") {
      Polygon p;
      std::string corner;
      while (words >> corner) {
        const long i = std::stol(corner.substr(0, corner.find('/')));
        p.push_back(v.at(static_cast<std::size_t>(i - 1)));
      }
      std::sort(p.begin(), p.end());
      polygons.push_back(p);
    }
  }
  std::sort(polygons.begin(), polygons.end());
  return polygons;
}

}  // namespace pavixtest
