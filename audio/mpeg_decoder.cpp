#include "audio/mpeg_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "audio/memory_input_module.h"
#include "audio/mpa_engine.h"
#include "audio/mpa_xing_header.h"

namespace {

constexpr const char* kInternalError = "internal error";

struct InputModuleEntry {
  int id;
  MpegInputModuleMethods methods;
};
struct OutputModuleEntry {
  int id;
  MpegOutputModuleMethods methods;
};
struct InputFilter {
  std::string name;
  MpegInputFilterMethods methods;
  void* user;
};
struct OutputFilter {
  std::string name;
  MpegOutputFilterMethods methods;
  void* user;
};
struct Property {
  std::string name;
  bool is_string;
  std::string text;
  void* pointer;
};
struct Subscription {
  std::string name;
  MpegPropertyNotify notify;
  void* user;
};

}  // namespace

struct MpegInputStage {
  CMpegDecoder* decoder;
  std::size_t index;  // filters from here on; the module after the last
};
struct MpegOutputStage {
  CMpegDecoder* decoder;
  std::size_t index;
};

struct CMpegDecoder {
  char tag[8] = "MPADEC";
  struct {
    int state = 0;  // 0 closed, 1 open
    int flags = 0;  // bit 0: can seek
    long position = 0;
    long size = 0;
    double duration = 0.0;
    std::string name;
    void* instance = nullptr;
    InputModuleEntry* module = nullptr;
  } input;
  struct {
    int state = 0;
    std::string name;
    void* instance = nullptr;
    OutputModuleEntry* module = nullptr;
    MpegAudioFormat format;
  } output;
  int input_module_count = 0;
  int output_module_count = 0;
  MpegStreamInfo info;
  double position_seconds = 0.0;
  void* user = nullptr;
  MpegErrorReport report = nullptr;

  mpa::MpaEngine engine;
  mpa::MpaXingHeader xing;
  std::vector<InputFilter> input_filters;
  std::vector<OutputFilter> output_filters;
  unsigned options[2] = {0, 0};
  std::list<InputModuleEntry> input_modules;  // newest first
  std::list<OutputModuleEntry> output_modules;
  std::vector<Property> properties;
  std::vector<Subscription> subscriptions;
  bool equalizer_set = false;
  signed char equalizer[2][32] = {};
  float gains[2][32] = {};
  std::vector<std::int16_t> pcm = std::vector<std::int16_t>(mpa::kMaxFrameSamples);

  void Report(const char* detail) const {
    if (report) report(user, kInternalError, detail);
  }
};

// ---- chains ----

int MpegInputStageRead(const MpegInputStage* stage, void* buffer, int length) {
  if (!stage || !stage->decoder) return kMpegBadArgument;
  CMpegDecoder* d = stage->decoder;
  for (std::size_t i = stage->index; i < d->input_filters.size(); ++i) {
    const InputFilter& f = d->input_filters[i];
    if (f.methods.read) {
      const MpegInputStage next{d, i + 1};
      return f.methods.read(f.user, &next, buffer, length);
    }
  }
  if (!d->input.module) return kMpegBadState;
  return d->input.module->methods.read(d->input.instance, buffer, length);
}

int MpegOutputStageWrite(const MpegOutputStage* stage, const void* buffer, int length) {
  if (!stage || !stage->decoder) return kMpegBadArgument;
  CMpegDecoder* d = stage->decoder;
  for (std::size_t i = stage->index; i < d->output_filters.size(); ++i) {
    const OutputFilter& f = d->output_filters[i];
    if (f.methods.write) {
      const MpegOutputStage next{d, i + 1};
      return f.methods.write(f.user, &next, buffer, length);
    }
  }
  if (!d->output.module) return kMpegBadState;
  return d->output.module->methods.write(d->output.instance, buffer, length);
}

namespace {

// Walks the input chain for one method: the first filter that has it, else the module.
template <typename FilterCall, typename ModuleCall>
auto InputChain(CMpegDecoder* d, FilterCall filter_call, ModuleCall module_call) {
  for (std::size_t i = 0; i < d->input_filters.size(); ++i) {
    const MpegInputStage next{d, i + 1};
    if (auto r = filter_call(d->input_filters[i], next); r.first) return r.second;
  }
  return module_call(d->input.module->methods, d->input.instance);
}

template <typename FilterCall, typename ModuleCall>
int OutputChain(CMpegDecoder* d, FilterCall filter_call, ModuleCall module_call) {
  for (std::size_t i = 0; i < d->output_filters.size(); ++i) {
    const MpegOutputStage next{d, i + 1};
    if (auto r = filter_call(d->output_filters[i], next); r.first) return r.second;
  }
  return module_call(d->output.module->methods, d->output.instance);
}

int ChainOpen(CMpegDecoder* d) {
  return InputChain(
      d,
      [](const InputFilter& f, const MpegInputStage& next) {
        return std::pair{f.methods.open != nullptr, f.methods.open ? f.methods.open(f.user, &next) : 0};
      },
      [](const MpegInputModuleMethods& m, void* inst) { return m.open(inst); });
}
int ChainClose(CMpegDecoder* d) {
  return InputChain(
      d,
      [](const InputFilter& f, const MpegInputStage& next) {
        return std::pair{f.methods.close != nullptr, f.methods.close ? f.methods.close(f.user, &next) : 0};
      },
      [](const MpegInputModuleMethods& m, void* inst) { return m.close(inst); });
}
int ChainRead(CMpegDecoder* d, void* buffer, int length) {
  const MpegInputStage first{d, 0};
  return MpegInputStageRead(&first, buffer, length);
}
int ChainSeek(CMpegDecoder* d, long position) {
  return InputChain(
      d,
      [position](const InputFilter& f, const MpegInputStage& next) {
        return std::pair{f.methods.seek != nullptr, f.methods.seek ? f.methods.seek(f.user, &next, position) : 0};
      },
      [position](const MpegInputModuleMethods& m, void* inst) { return m.seek ? m.seek(inst, position) : kMpegFailed; });
}
int ChainIsSeekable(CMpegDecoder* d) {
  return InputChain(
      d,
      [](const InputFilter& f, const MpegInputStage& next) {
        return std::pair{f.methods.is_seekable != nullptr, f.methods.is_seekable ? f.methods.is_seekable(f.user, &next) : 0};
      },
      [](const MpegInputModuleMethods& m, void* inst) { return m.is_seekable ? m.is_seekable(inst) : 0; });
}
long ChainGetSize(CMpegDecoder* d) {
  return InputChain(
      d,
      [](const InputFilter& f, const MpegInputStage& next) {
        return std::pair{f.methods.get_size != nullptr, f.methods.get_size ? f.methods.get_size(f.user, &next) : 0L};
      },
      [](const MpegInputModuleMethods& m, void* inst) { return m.get_size ? m.get_size(inst) : 0L; });
}

void ClearStreamInfo(CMpegDecoder* d) {
  d->info = MpegStreamInfo{};
  d->position_seconds = 0.0;
}

MpegTime ToTime(double seconds) {
  MpegTime t;
  const long hundredths = std::lround(std::max(0.0, seconds) * 100.0);
  t.hours = static_cast<int>(hundredths / 360000);
  t.minutes = static_cast<int>(hundredths / 6000 % 60);
  t.seconds = static_cast<int>(hundredths / 100 % 60);
  t.hundredths = static_cast<int>(hundredths % 100);
  return t;
}

void DeleteInput(CMpegDecoder* d) {
  if (d->input.state == 1) MpegDecoderInputClose(d);
  if (d->input.instance && d->input.module && d->input.module->methods.destroy) {
    d->input.module->methods.destroy(d->input.instance);
  }
  d->input.instance = nullptr;
  d->input.module = nullptr;
  d->input.name.clear();
}

void DeleteOutput(CMpegDecoder* d) {
  if (d->output.state == 1) MpegDecoderOutputClose(d);
  if (d->output.instance && d->output.module && d->output.module->methods.destroy) {
    d->output.module->methods.destroy(d->output.instance);
  }
  d->output.instance = nullptr;
  d->output.module = nullptr;
  d->output.name.clear();
}

int RequireOpenInput(CMpegDecoder* d) {
  if (!d) return kMpegBadArgument;
  if (d->input.state != 1 || !d->input.module) {
    d->Report("input not open");
    return kMpegBadState;
  }
  return 0;
}

int RequireOpenOutput(CMpegDecoder* d) {
  if (!d) return kMpegBadArgument;
  if (d->output.state != 1 || !d->output.module) {
    d->Report("output not open");
    return kMpegBadState;
  }
  return 0;
}

void Notify(CMpegDecoder* d, const std::string& name) {
  for (const Subscription& s : d->subscriptions) {
    if (s.name == name) s.notify(s.user, name.c_str());
  }
}

Property* FindProperty(CMpegDecoder* d, const char* name) {
  for (Property& p : d->properties) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

int AfterSeek(CMpegDecoder* d, long position) {
  d->engine.Reset();
  d->input.position = position;
  d->position_seconds = d->input.size > 0 ? d->input.duration * static_cast<double>(position) /
                                                static_cast<double>(d->input.size)
                                          : 0.0;
  d->info.position = ToTime(d->position_seconds);
  return 0;
}

}  // namespace

// ---- library ----

const char* MpegDecoderGetVersion(const char** major, const char** minor, const char** patch) {
  if (major) *major = "1";
  if (minor) *minor = "3";
  if (patch) *patch = "1";
  return "1.3.1";
}

int MpegDecoderNew(CMpegDecoder** decoder) {
  if (!decoder) return kMpegBadArgument;
  *decoder = new (std::nothrow) CMpegDecoder;
  if (!*decoder) return kMpegOutOfMemory;
  CMpegDecoder* d = *decoder;
  d->engine.SetInput([d](std::uint8_t* buffer, int length) {
    const int r = ChainRead(d, buffer, length);
    if (r < 0) return r;
    if (r < length) return kMpegEndOfInput;
    d->input.position += length;
    return 0;
  });
  return 0;
}

int MpegDecoderDelete(CMpegDecoder* decoder) {
  if (!decoder) return 0;
  DeleteInput(decoder);
  DeleteOutput(decoder);
  delete decoder;
  return 0;
}

int MpegDecoderSetErrorReport(CMpegDecoder* decoder, MpegErrorReport report, void* user) {
  if (!decoder) return kMpegBadArgument;
  decoder->report = report;
  decoder->user = user;
  return 0;
}

// ---- input ----

int MpegDecoderAddInputModule(CMpegDecoder* d, const MpegInputModuleMethods* methods) {
  if (!d || !methods) return kMpegBadArgument;
  const char* missing = !methods->create ? "null 'new' method in module"
                        : !methods->open ? "null 'open' method in module"
                        : !methods->close ? "null 'close' method in module"
                        : !methods->read ? "null 'read' method in module"
                                         : nullptr;
  if (missing) {
    d->Report(missing);
    return kMpegBadState;
  }
  const int id = d->input_modules.empty() ? 0 : d->input_modules.front().id + 1;
  d->input_modules.push_front(InputModuleEntry{id, *methods});
  d->input_modules.front().methods.reserved = nullptr;
  ++d->input_module_count;
  return id;
}

int MpegDecoderInputNew(CMpegDecoder* d, const char* name, int id) {
  if (!d) return kMpegBadArgument;
  const char* probe_name = name ? name : "";
  InputModuleEntry* chosen = nullptr;
  for (InputModuleEntry& m : d->input_modules) {
    if (id == -1 ? (m.methods.probe && m.methods.probe(probe_name) == 0) : m.id == id) {
      chosen = &m;
      break;
    }
  }
  if (!chosen) return id == -1 ? kMpegNoInputModule : kMpegNoModuleWithId;
  if (d->input.instance && d->input.module == chosen && d->input.name == probe_name) return 0;
  DeleteInput(d);
  void* instance = nullptr;
  if (const int rc = chosen->methods.create(&instance, name); rc < 0) return rc;
  d->input.instance = instance;
  d->input.module = chosen;
  d->input.name = probe_name;
  return 0;
}

int MpegDecoderInputOpen(CMpegDecoder* d) {
  if (!d) return kMpegBadArgument;
  if (!d->input.module) {
    d->Report("null input module");
    return kMpegBadState;
  }
  if (d->input.state != 0) {
    d->Report("input not closed");
    return kMpegBadState;
  }
  if (const int rc = ChainOpen(d); rc < 0) return rc;
  d->input.state = 1;
  d->input.size = ChainGetSize(d);
  d->input.flags = ChainIsSeekable(d) ? 1 : 0;
  d->input.position = 0;
  ClearStreamInfo(d);
  d->engine.Reset();
  d->xing = mpa::MpaXingHeader{};
  d->input.duration = 0.0;
  if ((d->input.flags & 1) && d->input.size > 0) {
    std::uint8_t head[196];
    const int want = static_cast<int>(std::min<long>(196, d->input.size));
    if (ChainRead(d, head, want) == want) {
      d->xing = mpa::MpaXingHeader::Read(std::span<const std::uint8_t>(head, static_cast<std::size_t>(want)));
      d->input.duration = d->xing.DurationSeconds(d->input.size);
      d->info.duration = ToTime(d->input.duration);
    }
    ChainSeek(d, 0);
  }
  return 0;
}

int MpegDecoderInputClose(CMpegDecoder* d) {
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  const int rc = ChainClose(d);
  d->input.state = 0;
  d->xing = mpa::MpaXingHeader{};
  return rc < 0 ? rc : 0;
}

int MpegDecoderInputRead(CMpegDecoder* d, void* buffer, int length) {
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  if (!buffer || length < 0) return kMpegBadArgument;
  return ChainRead(d, buffer, length);
}

int MpegDecoderInputSeek(CMpegDecoder* d, long position) {
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  if (!(d->input.flags & 1) || d->input.size <= 0) return kMpegFailed;
  if (const int rc = ChainSeek(d, position); rc < 0) return rc;
  return AfterSeek(d, position);
}

int MpegDecoderInputSeekFraction(CMpegDecoder* d, double fraction) {
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  if (!(d->input.flags & 1) || d->input.size <= 0) return kMpegFailed;
  if (!(fraction >= 0.0 && fraction <= 1.0)) return kMpegBadArgument;
  return MpegDecoderInputSeek(d, d->xing.SeekPosition(fraction, d->input.size));
}

int MpegDecoderInputSeekTime(CMpegDecoder* d, const MpegTime* time) {
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  if (!time) return kMpegBadArgument;
  if (!(d->input.flags & 1) || d->input.size <= 0 || d->input.duration <= 0.0) return kMpegFailed;
  const double seconds = time->hours * 3600.0 + time->minutes * 60.0 + time->seconds + time->hundredths / 100.0;
  return MpegDecoderInputSeekFraction(d, std::clamp(seconds / d->input.duration, 0.0, 1.0));
}

int MpegDecoderInputControl(CMpegDecoder* d, int code, void* argument) {
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  for (std::size_t i = 0; i < d->input_filters.size(); ++i) {
    const InputFilter& f = d->input_filters[i];
    if (f.methods.control) {
      const MpegInputStage next{d, i + 1};
      return f.methods.control(f.user, &next, code, argument);
    }
  }
  return kMpegFailed;  // input modules take no control calls
}

template <typename Filter, typename Methods>
static int AddFilter(std::vector<Filter>& chain, int position, const char* name, const Methods* methods, void* user) {
  if (!name || !methods || position < 0 || static_cast<std::size_t>(position) > chain.size()) return kMpegBadArgument;
  try {
    chain.insert(chain.begin() + position, Filter{name, *methods, user});
  } catch (const std::bad_alloc&) {
    return kMpegOutOfMemory;
  }
  return 0;
}

template <typename Filter>
static int RemoveFilter(std::vector<Filter>& chain, int position, const char* name) {
  if (position >= 0) {
    if (static_cast<std::size_t>(position) >= chain.size()) return kMpegFailed;
    chain.erase(chain.begin() + position);
    return 0;
  }
  if (!name) return kMpegBadArgument;
  for (auto it = chain.begin(); it != chain.end(); ++it) {
    if (it->name == name) {
      chain.erase(it);
      return 0;
    }
  }
  return kMpegFailed;
}

template <typename Filter>
static int FilterName(const std::vector<Filter>& chain, int position, const char** name) {
  if (!name) return kMpegBadArgument;
  if (position < 0 || static_cast<std::size_t>(position) >= chain.size()) return kMpegFailed;
  *name = chain[static_cast<std::size_t>(position)].name.c_str();
  return 0;
}

int MpegDecoderAddInputFilter(CMpegDecoder* d, int position, const char* name, const MpegInputFilterMethods* methods,
                              void* user) {
  if (!d) return kMpegBadArgument;
  return AddFilter(d->input_filters, position, name, methods, user);
}
int MpegDecoderRemoveInputFilter(CMpegDecoder* d, int position, const char* name) {
  if (!d) return kMpegBadArgument;
  return RemoveFilter(d->input_filters, position, name);
}
int MpegDecoderInputFilterCount(CMpegDecoder* d) {
  return d ? static_cast<int>(d->input_filters.size()) : kMpegBadArgument;
}
int MpegDecoderInputFilterName(CMpegDecoder* d, int position, const char** name) {
  if (!d) return kMpegBadArgument;
  return FilterName(d->input_filters, position, name);
}

// ---- output ----

int MpegDecoderAddOutputModule(CMpegDecoder* d, const MpegOutputModuleMethods* methods) {
  if (!d || !methods) return kMpegBadArgument;
  const char* missing = !methods->create ? "null 'new' method in module"
                        : !methods->open ? "null 'open' method in module"
                        : !methods->close ? "null 'close' method in module"
                        : !methods->write ? "null 'write' method in module"
                                          : nullptr;
  if (missing) {
    d->Report(missing);
    return kMpegBadState;
  }
  const int id = d->output_modules.empty() ? 0 : d->output_modules.front().id + 1;
  d->output_modules.push_front(OutputModuleEntry{id, *methods});
  ++d->output_module_count;
  return id;
}

int MpegDecoderOutputNew(CMpegDecoder* d, const char* name, int id) {
  if (!d) return kMpegBadArgument;
  const char* probe_name = name ? name : "";
  OutputModuleEntry* chosen = nullptr;
  for (OutputModuleEntry& m : d->output_modules) {
    if (id == -1 ? (m.methods.probe && m.methods.probe(probe_name) == 0) : m.id == id) {
      chosen = &m;
      break;
    }
  }
  if (!chosen) return id == -1 ? kMpegNoOutputModule : kMpegNoModuleWithId;
  if (d->output.instance && d->output.module == chosen && d->output.name == probe_name) return 0;
  DeleteOutput(d);
  void* instance = nullptr;
  if (const int rc = chosen->methods.create(&instance, name); rc < 0) return rc;
  d->output.instance = instance;
  d->output.module = chosen;
  d->output.name = probe_name;
  return 0;
}

int MpegDecoderOutputOpen(CMpegDecoder* d) {
  if (!d) return kMpegBadArgument;
  if (!d->output.module) {
    d->Report("null output module");
    return kMpegBadState;
  }
  if (d->output.state != 0) {
    d->Report("output not closed");
    return kMpegBadState;
  }
  const int rc = OutputChain(
      d,
      [](const OutputFilter& f, const MpegOutputStage& next) {
        return std::pair{f.methods.open != nullptr, f.methods.open ? f.methods.open(f.user, &next) : 0};
      },
      [](const MpegOutputModuleMethods& m, void* inst) { return m.open(inst); });
  if (rc < 0) return rc;
  d->output.state = 1;
  return 0;
}

int MpegDecoderOutputClose(CMpegDecoder* d) {
  if (const int rc = RequireOpenOutput(d); rc < 0) return rc;
  const int rc = OutputChain(
      d,
      [](const OutputFilter& f, const MpegOutputStage& next) {
        return std::pair{f.methods.close != nullptr, f.methods.close ? f.methods.close(f.user, &next) : 0};
      },
      [](const MpegOutputModuleMethods& m, void* inst) { return m.close(inst); });
  d->output.state = 0;
  return rc < 0 ? rc : 0;
}

int MpegDecoderOutputWrite(CMpegDecoder* d, const void* buffer, int length) {
  if (const int rc = RequireOpenOutput(d); rc < 0) return rc;
  if (!buffer || length < 0) return kMpegBadArgument;
  const MpegOutputStage first{d, 0};
  return MpegOutputStageWrite(&first, buffer, length);
}

int MpegDecoderOutputControl(CMpegDecoder* d, int code, void* argument) {
  if (const int rc = RequireOpenOutput(d); rc < 0) return rc;
  if (!argument) {
    d->Report("null control block");
    return kMpegBadState;
  }
  return OutputChain(
      d,
      [&](const OutputFilter& f, const MpegOutputStage& next) {
        return std::pair{f.methods.control != nullptr,
                         f.methods.control ? f.methods.control(f.user, &next, code, argument) : 0};
      },
      [&](const MpegOutputModuleMethods& m, void* inst) {
        return m.control ? m.control(inst, code, argument) : kMpegFailed;
      });
}

int MpegDecoderOutputSetFormat(CMpegDecoder* d, const MpegAudioFormat* format) {
  if (!d || !format || (format->bits != 8 && format->bits != 16)) return kMpegBadArgument;
  d->output.format = *format;
  if (d->output.state != 1) return 0;
  return OutputChain(
      d,
      [&](const OutputFilter& f, const MpegOutputStage& next) {
        return std::pair{f.methods.set_format != nullptr,
                         f.methods.set_format ? f.methods.set_format(f.user, &next, format) : 0};
      },
      [&](const MpegOutputModuleMethods& m, void* inst) { return m.set_format ? m.set_format(inst, format) : 0; });
}

int MpegDecoderAddOutputFilter(CMpegDecoder* d, int position, const char* name, const MpegOutputFilterMethods* methods,
                               void* user) {
  if (!d) return kMpegBadArgument;
  return AddFilter(d->output_filters, position, name, methods, user);
}
int MpegDecoderRemoveOutputFilter(CMpegDecoder* d, int position, const char* name) {
  if (!d) return kMpegBadArgument;
  return RemoveFilter(d->output_filters, position, name);
}
int MpegDecoderOutputFilterCount(CMpegDecoder* d) {
  return d ? static_cast<int>(d->output_filters.size()) : kMpegBadArgument;
}
int MpegDecoderOutputFilterName(CMpegDecoder* d, int position, const char** name) {
  if (!d) return kMpegBadArgument;
  return FilterName(d->output_filters, position, name);
}

// ---- options and equalizer ----

int MpegDecoderGetOptions(CMpegDecoder* d, unsigned* first, unsigned* second) {
  if (!d) return kMpegBadArgument;
  if (first) *first = d->options[0];
  if (second) *second = d->options[1];
  return 0;
}

int MpegDecoderSetOptions(CMpegDecoder* d, unsigned first, unsigned second) {
  if (!d || first > 3 || second > 2) return kMpegBadArgument;
  d->options[0] = first;
  d->options[1] = second;
  d->engine.SetRouting(static_cast<int>(first));
  d->engine.SetDownsampling(static_cast<int>(second));
  return 0;
}

int MpegDecoderSetEqualizer(CMpegDecoder* d, const signed char (*values)[32]) {
  if (!d) return kMpegBadArgument;
  if (!values) {
    d->equalizer_set = false;
    d->engine.SetEqualizer(nullptr);
    return 0;
  }
  for (int ch = 0; ch < 2; ++ch) {
    for (int sb = 0; sb < 32; ++sb) {
      const int v = values[ch][sb];
      d->equalizer[ch][sb] = values[ch][sb];
      d->gains[ch][sb] = v >= 0 ? 1.0f + v / 32.0f : 1.0f / (1.0f - v / 32.0f);
    }
  }
  d->equalizer_set = true;
  d->engine.SetEqualizer(d->gains);
  return 0;
}

int MpegDecoderGetEqualizer(CMpegDecoder* d, signed char (*values)[32]) {
  if (!d || !values) return kMpegBadArgument;
  if (!d->equalizer_set) return kMpegFailed;
  std::memcpy(values, d->equalizer, sizeof(d->equalizer));
  return 0;
}

// ---- decoding ----

int MpegDecoderDecodeFrame(CMpegDecoder* d, void* buffer, int capacity) {
  if (!d || !buffer) return kMpegBadArgument;
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  const bool eight = d->output.format.bits == 8;
  const int needed = static_cast<int>(mpa::kMaxFrameSamples) * (eight ? 1 : 2);
  if (capacity < needed) return kMpegBadArgument;
  const int n = d->engine.NextFrame(d->pcm);
  if (n < 0) return n;
  const mpa::MpaHeader& h = d->engine.Header();
  const int bitrate = h.BitRateKbit();
  if (d->info.layer != h.layer || d->info.bitrate_kbit != bitrate || d->info.sampling_rate != h.SampleRateHz() ||
      d->info.mode != h.mode) {
    d->info.changed = 1;
    d->info.layer = h.layer;
    d->info.bitrate_kbit = bitrate;
    d->info.sampling_rate = h.SampleRateHz();
    d->info.mode = h.mode;
    if (!d->xing.has_frames && d->input.size > 0 && bitrate > 0) {
      d->input.duration = static_cast<double>(d->input.size) * 8.0 / (bitrate * 1000.0);
      d->info.duration = ToTime(d->input.duration);
    }
  }
  d->position_seconds += static_cast<double>(h.SamplesPerFrame()) / h.SampleRateHz();
  d->info.position = ToTime(d->position_seconds);
  if (eight) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (int i = 0; i < n; ++i) {
      out[i] = d->output.format.eight_bit_table ? mpa::MpaEngine::To8BitTable(d->pcm[static_cast<std::size_t>(i)])
                                                : mpa::MpaEngine::To8BitShift(d->pcm[static_cast<std::size_t>(i)]);
    }
  } else {
    std::memcpy(buffer, d->pcm.data(), static_cast<std::size_t>(n) * 2);
  }
  return n;
}

int MpegDecoderDecode(CMpegDecoder* d) {
  if (!d) return kMpegBadArgument;
  if (const int rc = RequireOpenInput(d); rc < 0) return rc;
  if (const int rc = RequireOpenOutput(d); rc < 0) return rc;
  std::vector<std::uint8_t> bytes(mpa::kMaxFrameSamples * 2);
  const int n = MpegDecoderDecodeFrame(d, bytes.data(), static_cast<int>(bytes.size()));
  if (n < 0) return n;
  const int length = n * (d->output.format.bits == 8 ? 1 : 2);
  const int rc = MpegDecoderOutputWrite(d, bytes.data(), length);
  return rc < 0 ? rc : n;
}

int MpegDecoderGetStreamInfo(CMpegDecoder* d, MpegStreamInfo* info) {
  if (!d || !info) return kMpegBadArgument;
  *info = d->info;
  d->info.changed = 0;
  return 0;
}

// ---- properties ----

int MpegDecoderSetStringProperty(CMpegDecoder* d, const char* name, const char* value) {
  if (!d || !name || !value) return kMpegBadArgument;
  try {
    if (Property* p = FindProperty(d, name)) {
      *p = Property{name, true, value, nullptr};
    } else {
      d->properties.push_back(Property{name, true, value, nullptr});
    }
  } catch (const std::bad_alloc&) {
    return kMpegOutOfMemory;
  }
  Notify(d, name);
  return 0;
}

int MpegDecoderSetPointerProperty(CMpegDecoder* d, const char* name, void* value) {
  if (!d || !name) return kMpegBadArgument;
  try {
    if (Property* p = FindProperty(d, name)) {
      *p = Property{name, false, {}, value};
    } else {
      d->properties.push_back(Property{name, false, {}, value});
    }
  } catch (const std::bad_alloc&) {
    return kMpegOutOfMemory;
  }
  Notify(d, name);
  return 0;
}

int MpegDecoderGetStringProperty(CMpegDecoder* d, const char* name, const char** value) {
  if (!d || !name || !value) return kMpegBadArgument;
  const Property* p = FindProperty(d, name);
  if (!p) return kMpegNoProperty;
  if (!p->is_string) return kMpegPropertyKind;
  *value = p->text.c_str();
  return 0;
}

int MpegDecoderGetPointerProperty(CMpegDecoder* d, const char* name, void** value) {
  if (!d || !name || !value) return kMpegBadArgument;
  const Property* p = FindProperty(d, name);
  if (!p) return kMpegNoProperty;
  if (p->is_string) return kMpegPropertyKind;
  *value = p->pointer;
  return 0;
}

int MpegDecoderRemoveProperty(CMpegDecoder* d, const char* name) {
  if (!d || !name) return kMpegBadArgument;
  auto it = std::find_if(d->properties.begin(), d->properties.end(), [&](const Property& p) { return p.name == name; });
  if (it == d->properties.end()) return kMpegNoProperty;
  d->properties.erase(it);
  Notify(d, name);
  return 0;
}

int MpegDecoderSubscribe(CMpegDecoder* d, const char* name, MpegPropertyNotify notify, void* user) {
  if (!d || !name || !notify) return kMpegBadArgument;
  try {
    d->subscriptions.push_back(Subscription{name, notify, user});
  } catch (const std::bad_alloc&) {
    return kMpegOutOfMemory;
  }
  return 0;
}

int MpegDecoderUnsubscribe(CMpegDecoder* d, const char* name, MpegPropertyNotify notify, void* user) {
  if (!d || !name || !notify) return kMpegBadArgument;
  auto it = std::find_if(d->subscriptions.begin(), d->subscriptions.end(), [&](const Subscription& s) {
    return s.name == name && s.notify == notify && s.user == user;
  });
  if (it == d->subscriptions.end()) return kMpegFailed;
  d->subscriptions.erase(it);
  return 0;
}

// ---- memory input, streaming kind ----

int MemoryInputStreamWrite(CMpegDecoder* d, const void* bytes, int length) {
  if (!d || !d->input.module || (!bytes && length > 0) || length < 0) return kMpegBadArgument;
  CMemoryInputModule* m = CMemoryInputModule::FromMethods(d->input.module->methods, d->input.instance);
  if (!m || m->kind() != CMemoryInputModule::Kind::kStreaming) return kMpegBadArgument;
  return m->Write(static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(length));
}

int MemoryInputStreamFlush(CMpegDecoder* d) {
  if (!d || !d->input.module) return kMpegBadArgument;
  CMemoryInputModule* m = CMemoryInputModule::FromMethods(d->input.module->methods, d->input.instance);
  if (!m || m->kind() != CMemoryInputModule::Kind::kStreaming) return kMpegBadArgument;
  m->Flush();
  return 0;
}
