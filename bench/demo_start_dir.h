#pragma once
// The demo start directory of the display benchmarks: the demo block meshes,
// texture banks and skeletons written in a scratch start directory, mounted while it lives.
#include <string>

#include "datafiles/mtf_archive.h"
#include "scratch_start_dir.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/demo_skeletons.h"
#include "tools/demodata/texture_banks.h"

class DemoStartDir {
 public:
  explicit DemoStartDir(const std::string& prefix) : dir_(prefix) {
    MtfCloseAllArchives();
    DemoOutput out;
    AddBlockMeshes(out);
    AddTextureBanks(out);
    AddDemoSkeletons(out);
    out.Finish();
    ok_ = MtfOpenArchive("data.mtf", 0) != 0;
  }
  ~DemoStartDir() { MtfCloseAllArchives(); }
  DemoStartDir(const DemoStartDir&) = delete;
  DemoStartDir& operator=(const DemoStartDir&) = delete;
  bool Ok() const { return ok_; }

 private:
  ScratchStartDir dir_;
  bool ok_ = false;
};
