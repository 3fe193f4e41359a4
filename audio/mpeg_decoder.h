#pragma once
// The MPEG audio decoder library's C-style interface: decoder objects with an
// input side (registered input modules, a filter chain, seeking through the
// Xing table), an output side (output modules and filters), options, an
// equalizer, properties with notifications, and frame decoding. Every
// operation returns 0 or a non-negative value for success, a negative code for
// failure (see the k* codes below).
#include <cstdint>

struct CMpegDecoder;

// Result codes.
inline constexpr int kMpegFailed = -1;           // not found, not seekable, nothing set
inline constexpr int kMpegOutOfMemory = -100;
inline constexpr int kMpegBadArgument = -101;
inline constexpr int kMpegBadState = -102;       // also a module without a required method
inline constexpr int kMpegNotEnoughData = -103;  // a streaming input holds fewer bytes than asked
inline constexpr int kMpegNoModuleWithId = -507;
inline constexpr int kMpegNoInputModule = -508;
inline constexpr int kMpegNoOutputModule = -509;
inline constexpr int kMpegEndOfInput = -514;
inline constexpr int kMpegDecodeFault = -600;
inline constexpr int kMpegNoProperty = -800;
inline constexpr int kMpegPropertyKind = -801;

struct MpegModuleInfo {
  const char* name;
  const char* version;
  const char* device;  // what an instance reads from or writes to; null without one
};

// Input module method table: probe, info, new, delete, open, close, read, seek,
// is-seekable, get size, and an entry that is always null.
struct MpegInputModuleMethods {
  int (*probe)(const char* name);
  int (*info)(void* instance, MpegModuleInfo* info);
  int (*create)(void** instance, const char* name);
  int (*destroy)(void* instance);
  int (*open)(void* instance);
  int (*close)(void* instance);
  int (*read)(void* instance, void* buffer, int length);  // bytes read, or a negative code
  int (*seek)(void* instance, long position);
  int (*is_seekable)(void* instance);
  long (*get_size)(void* instance);
  void* reserved;
};

struct MpegAudioFormat {
  int rate = 0;
  int channels = 0;
  int bits = 16;               // 16, or 8 for unsigned 8-bit samples
  int eight_bit_table = 0;     // 8-bit through the 2048-entry table instead of sample / 256 + 128
};

struct MpegOutputModuleMethods {
  int (*probe)(const char* name);
  int (*info)(void* instance, MpegModuleInfo* info);
  int (*create)(void** instance, const char* name);
  int (*destroy)(void* instance);
  int (*open)(void* instance);
  int (*close)(void* instance);
  int (*write)(void* instance, const void* buffer, int length);
  int (*control)(void* instance, int code, void* argument);
  int (*set_format)(void* instance, const MpegAudioFormat* format);
};

// A filter's methods receive the next stage's methods so that they can pass a call on;
// a null method passes straight through.
struct MpegInputStage;
struct MpegInputFilterMethods {
  int (*open)(void* user, const MpegInputStage* next);
  int (*close)(void* user, const MpegInputStage* next);
  int (*read)(void* user, const MpegInputStage* next, void* buffer, int length);
  int (*seek)(void* user, const MpegInputStage* next, long position);
  int (*is_seekable)(void* user, const MpegInputStage* next);
  long (*get_size)(void* user, const MpegInputStage* next);
  int (*control)(void* user, const MpegInputStage* next, int code, void* argument);
};
struct MpegOutputStage;
struct MpegOutputFilterMethods {
  int (*open)(void* user, const MpegOutputStage* next);
  int (*close)(void* user, const MpegOutputStage* next);
  int (*write)(void* user, const MpegOutputStage* next, const void* buffer, int length);
  int (*control)(void* user, const MpegOutputStage* next, int code, void* argument);
  int (*set_format)(void* user, const MpegOutputStage* next, const MpegAudioFormat* format);
};
// Calls into the rest of a chain from inside a filter.
int MpegInputStageRead(const MpegInputStage* stage, void* buffer, int length);
int MpegOutputStageWrite(const MpegOutputStage* stage, const void* buffer, int length);

struct MpegTime {
  int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};

struct MpegStreamInfo {
  int changed = 0;
  int layer = 0;
  int bitrate_kbit = 0;
  int sampling_rate = 0;
  int mode = 0;
  MpegTime position;
  MpegTime duration;
};

using MpegErrorReport = void (*)(void* user, const char* what, const char* detail);
using MpegPropertyNotify = void (*)(void* user, const char* name);

// Library.
const char* MpegDecoderGetVersion(const char** major, const char** minor, const char** patch);
int MpegDecoderNew(CMpegDecoder** decoder);
int MpegDecoderDelete(CMpegDecoder* decoder);
int MpegDecoderSetErrorReport(CMpegDecoder* decoder, MpegErrorReport report, void* user);

// Input side.
int MpegDecoderAddInputModule(CMpegDecoder* decoder, const MpegInputModuleMethods* methods);
int MpegDecoderInputNew(CMpegDecoder* decoder, const char* name, int id);
int MpegDecoderInputOpen(CMpegDecoder* decoder);
int MpegDecoderInputClose(CMpegDecoder* decoder);
int MpegDecoderInputRead(CMpegDecoder* decoder, void* buffer, int length);
int MpegDecoderInputSeek(CMpegDecoder* decoder, long position);
int MpegDecoderInputSeekFraction(CMpegDecoder* decoder, double fraction);
int MpegDecoderInputSeekTime(CMpegDecoder* decoder, const MpegTime* time);
int MpegDecoderInputControl(CMpegDecoder* decoder, int code, void* argument);
int MpegDecoderAddInputFilter(CMpegDecoder* decoder, int position, const char* name,
                              const MpegInputFilterMethods* methods, void* user);
int MpegDecoderRemoveInputFilter(CMpegDecoder* decoder, int position, const char* name);
int MpegDecoderInputFilterCount(CMpegDecoder* decoder);
int MpegDecoderInputFilterName(CMpegDecoder* decoder, int position, const char** name);

// Output side.
int MpegDecoderAddOutputModule(CMpegDecoder* decoder, const MpegOutputModuleMethods* methods);
int MpegDecoderOutputNew(CMpegDecoder* decoder, const char* name, int id);
int MpegDecoderOutputOpen(CMpegDecoder* decoder);
int MpegDecoderOutputClose(CMpegDecoder* decoder);
int MpegDecoderOutputWrite(CMpegDecoder* decoder, const void* buffer, int length);
int MpegDecoderOutputControl(CMpegDecoder* decoder, int code, void* argument);
int MpegDecoderOutputSetFormat(CMpegDecoder* decoder, const MpegAudioFormat* format);
int MpegDecoderAddOutputFilter(CMpegDecoder* decoder, int position, const char* name,
                               const MpegOutputFilterMethods* methods, void* user);
int MpegDecoderRemoveOutputFilter(CMpegDecoder* decoder, int position, const char* name);
int MpegDecoderOutputFilterCount(CMpegDecoder* decoder);
int MpegDecoderOutputFilterName(CMpegDecoder* decoder, int position, const char** name);

// Options: the first word routes two channels (0 both, 1 first, 2 second, 3 average);
// the second down-samples (0 none, 1 half, 2 quarter).
int MpegDecoderGetOptions(CMpegDecoder* decoder, unsigned* first, unsigned* second);
int MpegDecoderSetOptions(CMpegDecoder* decoder, unsigned first, unsigned second);

// Equalizer: 32 signed values per channel for two channels; null clears it.
int MpegDecoderSetEqualizer(CMpegDecoder* decoder, const signed char (*values)[32]);
int MpegDecoderGetEqualizer(CMpegDecoder* decoder, signed char (*values)[32]);

// Decoding: one frame into the caller's buffer (at least 2304 samples, or bytes for
// 8-bit output), or one frame written to the output.
int MpegDecoderDecodeFrame(CMpegDecoder* decoder, void* buffer, int capacity);
int MpegDecoderDecode(CMpegDecoder* decoder);
int MpegDecoderGetStreamInfo(CMpegDecoder* decoder, MpegStreamInfo* info);

// Properties and notifications.
int MpegDecoderSetStringProperty(CMpegDecoder* decoder, const char* name, const char* value);
int MpegDecoderSetPointerProperty(CMpegDecoder* decoder, const char* name, void* value);
int MpegDecoderGetStringProperty(CMpegDecoder* decoder, const char* name, const char** value);
int MpegDecoderGetPointerProperty(CMpegDecoder* decoder, const char* name, void** value);
int MpegDecoderRemoveProperty(CMpegDecoder* decoder, const char* name);
int MpegDecoderSubscribe(CMpegDecoder* decoder, const char* name, MpegPropertyNotify notify, void* user);
int MpegDecoderUnsubscribe(CMpegDecoder* decoder, const char* name, MpegPropertyNotify notify, void* user);

// The memory input module.
int MemoryInputModuleGetMethods(MpegInputModuleMethods* methods);
int MemoryInputStreamWrite(CMpegDecoder* decoder, const void* bytes, int length);
int MemoryInputStreamFlush(CMpegDecoder* decoder);
