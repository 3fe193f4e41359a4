// render_png <start directory> <picture.png> [--room land|dungeon | --mesh <path> |
//            --monster <skeleton> [--anim <name>] [--time <ms>]] [--size WxH] [--software]
// Draws the demo room (or one mesh, or one monster) of a start directory made by demodata
// through the 3D engine and the display device, and writes what the back
// surface holds as a PNG, for people to look at.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: render_png <start directory> <picture.png> [--room land|dungeon | --mesh <path> | "
               "--monster <skeleton> [--anim <name>] [--time <ms>]] [--size WxH] [--software]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string startDir = argv[1];
  std::string out = argv[2];
  std::string room = "land", mesh, monster, animation = "walk";
  float timeMs = 0.0f;
  int width = 736, height = 480;
  DisplayStack::Renderer renderer = DisplayStack::Renderer::Device;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--room" && i + 1 < argc) {
      room = argv[++i];
      if (room != "land" && room != "dungeon") return Usage();
    } else if (arg == "--mesh" && i + 1 < argc) {
      mesh = argv[++i];
    } else if (arg == "--software") {
      renderer = DisplayStack::Renderer::Software;
    } else if (arg == "--monster" && i + 1 < argc) {
      monster = argv[++i];
    } else if (arg == "--anim" && i + 1 < argc) {
      animation = argv[++i];
    } else if (arg == "--time" && i + 1 < argc) {
      char* end = nullptr;
      timeMs = std::strtof(argv[++i], &end);
      if (!end || *end != '\0') return Usage();
    } else if (arg == "--size" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 16 || height < 16 || width > 4096 ||
          height > 4096)
        return Usage();
    } else {
      return Usage();
    }
  }
  if (!out.empty() && out[0] != '/') out = platform::CurrentDirectory() + "/" + out;
  if (!platform::IsDirectory(startDir) || !platform::ChangeDirectory(startDir)) {
    std::fprintf(stderr, "render_png: cannot use %s as the start directory\n", startDir.c_str());
    return 1;
  }
  platform::SetStartDirectory(platform::CurrentDirectory());
  if (platform::PathExists("data.mtf")) MtfOpenArchive("data.mtf", 0);

  DisplayStack display;
  if (!display.Open(width, height, renderer)) {
    std::fprintf(stderr, renderer == DisplayStack::Renderer::Software
                             ? "render_png: the display made no surface to draw into\n"
                             : "render_png: the display offers no 3D device that renders in a window\n");
    return 1;
  }
  if (!monster.empty()) {
    if (!DemoScene::DrawMonster(display.Engine(), display.Width(), display.Height(), monster, animation, timeMs)) {
      std::fprintf(stderr, "render_png: cannot draw the skeleton %s with its animation %s\n", monster.c_str(),
                   animation.c_str());
      return 1;
    }
  } else if (!mesh.empty()) {
    if (!DemoScene::DrawMesh(display.Engine(), display.Width(), display.Height(), mesh)) {
      std::fprintf(stderr, "render_png: cannot read the mesh %s\n", mesh.c_str());
      return 1;
    }
  } else {
    DemoScene scene;
    if (!scene.LoadBlocks()) {
      std::fprintf(stderr, "render_png: %s holds no demo blocks (make it with demodata)\n", startDir.c_str());
      return 1;
    }
    scene.LayOutRoom(room == "dungeon");
    scene.DrawRoom(display.Engine(), display.Width(), display.Height());
  }
  if (!WritePng(out, display.Width(), display.Height(), display.ReadRgb())) {
    std::fprintf(stderr, "render_png: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("render_png: wrote %s\n", out.c_str());
  MtfCloseAllArchives();
  return 0;
}
