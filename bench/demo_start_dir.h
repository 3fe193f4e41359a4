#pragma once
// The demo start directory of the display benchmarks: the demo block meshes
// and texture banks written under /tmp, current and mounted while it lives.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/texture_banks.h"

class DemoStartDir {
 public:
  explicit DemoStartDir(const std::string& prefix) {
    std::string tmpl = "/tmp/" + prefix + "_XXXXXX";
    if (!mkdtemp(tmpl.data())) return;
    dir_ = tmpl;
    platform::ChangeDirectory(dir_);
    platform::SetStartDirectory(dir_);
    MtfCloseAllArchives();
    DemoOutput out;
    AddBlockMeshes(out);
    AddTextureBanks(out);
    out.Finish();
    ok_ = MtfOpenArchive("data.mtf", 0) != 0;
  }
  ~DemoStartDir() {
    MtfCloseAllArchives();
    if (!dir_.empty() && std::system(("rm -rf '" + dir_ + "'").c_str()) != 0) std::fprintf(stderr, "left %s\n", dir_.c_str());
  }
  DemoStartDir(const DemoStartDir&) = delete;
  DemoStartDir& operator=(const DemoStartDir&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::string dir_;
  bool ok_ = false;
};
