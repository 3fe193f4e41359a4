#pragma once
// Builds the four files of a skeleton of our own: one body-part box a bone,
// hung on its parent's attach points, skins that use every part, and
// animations given as swings of the bones away from their rest pose.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/demodata/o3d_builder.h"

class SkeletonBuilder {
 public:
  // A bone carrying a box from lo to hi around its joint (the part's origin),
  // pointing along `direction`; children hang on `points` in the order they
  // are added. The box is textured with a bank over each side.
  void AddBone(const std::string& name, const std::string& parent, DemoPoint lo, DemoPoint hi, DemoPoint direction,
               const std::vector<DemoPoint>& points, std::uint16_t texture);
  void AddSkin(const std::string& name) { skins_.push_back(name); }

  // One key: the height of the model's origin above the floor and, for some
  // bones, Euler angles turning the bone about its joint, in model terms.
  struct Key {
    int frame = 0;
    float height = 0.0f;
    std::map<std::string, DemoPoint> swings;
  };
  void AddAnimation(const std::string& name, const std::string& second, int lastFrame, int rate,
                    const std::vector<Key>& keys);

  std::vector<std::uint8_t> Ska() const;
  std::vector<std::uint8_t> Mdl() const;
  std::vector<std::uint8_t> Mbr() const;
  // Needs the bones and a skin: the keys hold each bone's whole rotation,
  // its rest rotation with the swing put on it.
  std::vector<std::uint8_t> Anb() const;

  const std::string& ModelName() const { return modelName_; }
  void SetModelName(const std::string& name) { modelName_ = name; }

 private:
  struct Bone {
    std::string name;
    std::string parent;
    DemoPoint lo, hi, direction;
    std::vector<DemoPoint> points;
    std::uint16_t texture;
  };
  struct Animation {
    std::string name, second;
    int lastFrame, rate;
    std::vector<Key> keys;
  };
  std::string modelName_ = "body";
  std::vector<Bone> bones_;
  std::vector<std::string> skins_;
  std::vector<Animation> animations_;
};
