// The decoder library's C-style interface: result codes and error reports,
// module registration, the memory input's two kinds, seeking, filters,
// options, the equalizer, properties, and decoding through an output module.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "audio/mpeg_decoder.h"
#include "audio/mpa_stream_compare.h"

namespace {

std::string Fixture(const char* name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string StaticName(const void* address, std::size_t size) {
  char name[64];
  std::snprintf(name, sizeof(name), "%lx@%lx", static_cast<unsigned long>(size),
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(address)));
  return name;
}

std::vector<std::pair<std::string, std::string>> g_reports;
void Record(void*, const char* what, const char* detail) { g_reports.emplace_back(what, detail); }

class MpegDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reports.clear();
    ASSERT_EQ(MpegDecoderNew(&decoder), 0);
    ASSERT_EQ(MpegDecoderSetErrorReport(decoder, &Record, nullptr), 0);
    ASSERT_EQ(MemoryInputModuleGetMethods(&memory), 0);
  }
  void TearDown() override { MpegDecoderDelete(decoder); }

  CMpegDecoder* decoder = nullptr;
  MpegInputModuleMethods memory{};
};

TEST(MpegDecoderLibraryTest, VersionTexts) {
  const char *major = nullptr, *minor = nullptr, *patch = nullptr;
  EXPECT_STREQ(MpegDecoderGetVersion(&major, &minor, &patch), "1.3.1");
  EXPECT_STREQ(major, "1");
  EXPECT_STREQ(minor, "3");
  EXPECT_STREQ(patch, "1");
  EXPECT_STREQ(MpegDecoderGetVersion(nullptr, nullptr, nullptr), "1.3.1");
}

TEST_F(MpegDecoderTest, ModuleIdsCountUpFromZero) {
  EXPECT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  EXPECT_EQ(MpegDecoderAddInputModule(decoder, &memory), 1);
  EXPECT_EQ(MpegDecoderAddInputModule(decoder, &memory), 2);
  EXPECT_TRUE(g_reports.empty());
}

TEST_F(MpegDecoderTest, ModulesMissingARequiredMethodAreRefused) {
  const std::pair<void (*)(MpegInputModuleMethods&), const char*> cases[] = {
      {[](MpegInputModuleMethods& m) { m.create = nullptr; }, "null 'new' method in module"},
      {[](MpegInputModuleMethods& m) { m.open = nullptr; }, "null 'open' method in module"},
      {[](MpegInputModuleMethods& m) { m.close = nullptr; }, "null 'close' method in module"},
      {[](MpegInputModuleMethods& m) { m.read = nullptr; }, "null 'read' method in module"},
  };
  for (const auto& [spoil, detail] : cases) {
    g_reports.clear();
    MpegInputModuleMethods m = memory;
    spoil(m);
    EXPECT_EQ(MpegDecoderAddInputModule(decoder, &m), kMpegBadState) << detail;
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0].first, "internal error");
    EXPECT_EQ(g_reports[0].second, detail);
  }
  // Nothing was registered: the first good module still gets id 0.
  EXPECT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  MpegOutputModuleMethods out{};
  out.create = [](void**, const char*) { return 0; };
  out.open = [](void*) { return 0; };
  out.close = [](void*) { return 0; };
  g_reports.clear();
  EXPECT_EQ(MpegDecoderAddOutputModule(decoder, &out), kMpegBadState);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].second, "null 'write' method in module");
}

TEST_F(MpegDecoderTest, InputModuleChoice) {
  EXPECT_EQ(MpegDecoderInputNew(decoder, nullptr, -1), kMpegNoInputModule);
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  EXPECT_EQ(MpegDecoderInputNew(decoder, nullptr, 4), kMpegNoModuleWithId);
  EXPECT_EQ(MpegDecoderInputNew(decoder, "song.mp3", -1), kMpegNoInputModule);
  EXPECT_EQ(MpegDecoderInputNew(decoder, "", -1), 0);
  EXPECT_EQ(MpegDecoderInputNew(decoder, nullptr, 0), 0);  // the same again does nothing
}

TEST_F(MpegDecoderTest, StaticNameWithoutABufferIsRefused) {
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  EXPECT_EQ(MpegDecoderInputNew(decoder, "0@2000", -1), kMpegBadState);
  EXPECT_EQ(MpegDecoderInputNew(decoder, "100@0", -1), kMpegBadState);
}

TEST_F(MpegDecoderTest, StaticKindReadsAndSeeksWithinItsBuffer) {
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  // "100@2000" picks the static kind: 256 bytes at 0x2000. Opening would read
  // there, so the refused accesses go to the module's instance directly.
  ASSERT_EQ(MpegDecoderInputNew(decoder, "100@2000", -1), 0);
  void* instance = nullptr;
  ASSERT_EQ(memory.create(&instance, "100@2000"), 0);
  char sink[300];
  EXPECT_EQ(memory.read(instance, sink, 300), kMpegEndOfInput);
  EXPECT_EQ(memory.seek(instance, 256), kMpegBadArgument);
  memory.destroy(instance);

  std::vector<std::uint8_t> bytes(64);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  ASSERT_EQ(MpegDecoderInputNew(decoder, StaticName(bytes.data(), bytes.size()).c_str(), -1), 0);
  ASSERT_EQ(MpegDecoderInputOpen(decoder), 0);
  std::uint8_t got[8];
  ASSERT_EQ(MpegDecoderInputRead(decoder, got, 8), 8);
  EXPECT_EQ(got[7], 7);
  ASSERT_EQ(MpegDecoderInputSeek(decoder, 60), 0);
  EXPECT_EQ(MpegDecoderInputRead(decoder, got, 5), kMpegEndOfInput);  // would pass the end
  ASSERT_EQ(MpegDecoderInputRead(decoder, got, 4), 4);
  EXPECT_EQ(got[0], 60);
  EXPECT_EQ(got[3], 63);
}

TEST_F(MpegDecoderTest, OpenAndCloseStates) {
  EXPECT_EQ(MpegDecoderInputOpen(decoder), kMpegBadState);
  EXPECT_EQ(g_reports.back().second, "null input module");
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  ASSERT_EQ(MpegDecoderInputNew(decoder, nullptr, -1), 0);
  EXPECT_EQ(MpegDecoderInputClose(decoder), kMpegBadState);
  EXPECT_EQ(g_reports.back().second, "input not open");
  ASSERT_EQ(MpegDecoderInputOpen(decoder), 0);
  EXPECT_EQ(MpegDecoderInputOpen(decoder), kMpegBadState);
  EXPECT_EQ(g_reports.back().second, "input not closed");
  EXPECT_EQ(MpegDecoderOutputOpen(decoder), kMpegBadState);
  EXPECT_EQ(g_reports.back().second, "null output module");
  EXPECT_EQ(MpegDecoderOutputClose(decoder), kMpegBadState);
  EXPECT_EQ(g_reports.back().second, "output not open");
  std::int16_t pcm[2304];
  EXPECT_EQ(MpegDecoderDecode(decoder), kMpegBadState);
  EXPECT_EQ(MpegDecoderDecodeFrame(nullptr, pcm, sizeof(pcm)), kMpegBadArgument);
}

TEST_F(MpegDecoderTest, StreamingRingHoldsAtMost65535Bytes) {
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  ASSERT_EQ(MpegDecoderInputNew(decoder, nullptr, -1), 0);
  ASSERT_EQ(MpegDecoderInputOpen(decoder), 0);
  EXPECT_EQ(MpegDecoderInputSeek(decoder, 0), kMpegFailed);  // cannot seek
  std::vector<std::uint8_t> bytes(70000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13);
  EXPECT_EQ(MemoryInputStreamWrite(decoder, bytes.data(), 70000), 65535);
  EXPECT_EQ(MemoryInputStreamWrite(decoder, bytes.data(), 1), 0);
  std::vector<std::uint8_t> got(10);
  ASSERT_EQ(MpegDecoderInputRead(decoder, got.data(), 10), 10);
  EXPECT_EQ(got[9], bytes[9]);
  EXPECT_EQ(MemoryInputStreamWrite(decoder, bytes.data(), 20), 10);
  ASSERT_EQ(MemoryInputStreamFlush(decoder), 0);
  EXPECT_EQ(MemoryInputStreamWrite(decoder, bytes.data(), 5), 5);
  // Asking for more than is held takes nothing.
  EXPECT_EQ(MpegDecoderInputRead(decoder, got.data(), 10), kMpegNotEnoughData);
  ASSERT_EQ(MpegDecoderInputRead(decoder, got.data(), 5), 5);
  EXPECT_EQ(got[4], bytes[4]);
}

TEST_F(MpegDecoderTest, StreamWriteNeedsAStreamingInput) {
  std::uint8_t byte = 0;
  EXPECT_EQ(MemoryInputStreamWrite(decoder, &byte, 1), kMpegBadArgument);
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  ASSERT_EQ(MpegDecoderInputNew(decoder, "100@2000", -1), 0);
  EXPECT_EQ(MemoryInputStreamWrite(decoder, &byte, 1), kMpegBadArgument);
  EXPECT_EQ(MemoryInputStreamFlush(decoder), kMpegBadArgument);
}

TEST_F(MpegDecoderTest, StreamedBytesDecodeAsTheyArrive) {
  const std::string stream = Fixture("l2_44k_stereo.mp2");
  const testsupport::DecodedStream expected = testsupport::DecodeWithEngine(stream);
  ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
  ASSERT_EQ(MpegDecoderInputNew(decoder, nullptr, -1), 0);
  ASSERT_EQ(MpegDecoderInputOpen(decoder), 0);
  std::vector<std::int16_t> got;
  std::vector<std::int16_t> pcm(2304);
  std::size_t fed = 0;
  for (int guard = 0; guard < 1000 && got.size() < expected.samples.size(); ++guard) {
    const int n = MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size() * 2));
    if (n == kMpegNotEnoughData) {
      // Feed in small pieces, so frames arrive split.
      const std::size_t piece = std::min<std::size_t>(333, stream.size() - fed);
      if (piece == 0) break;
      ASSERT_EQ(MemoryInputStreamWrite(decoder, stream.data() + fed, static_cast<int>(piece)), static_cast<int>(piece));
      fed += piece;
      continue;
    }
    ASSERT_GT(n, 0);
    got.insert(got.end(), pcm.begin(), pcm.begin() + n);
  }
  // The last frame waits for the header after it, which never comes.
  ASSERT_GE(got.size() + 2304, expected.samples.size());
  EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.samples.begin()));
}

struct Captured {
  std::vector<std::uint8_t> bytes;
  MpegAudioFormat format;
  int opens = 0;
};

Captured* g_last_capture = nullptr;  // the newest output instance

MpegOutputModuleMethods CaptureModule() {
  MpegOutputModuleMethods m{};
  m.probe = [](const char* name) { return std::strcmp(name, "capture") == 0 ? 0 : -1; };
  m.create = [](void** instance, const char*) {
    g_last_capture = new Captured;
    *instance = g_last_capture;
    return 0;
  };
  m.destroy = [](void* instance) {
    delete static_cast<Captured*>(instance);
    return 0;
  };
  m.open = [](void* instance) {
    ++static_cast<Captured*>(instance)->opens;
    return 0;
  };
  m.close = [](void*) { return 0; };
  m.write = [](void* instance, const void* buffer, int length) {
    auto* c = static_cast<Captured*>(instance);
    c->bytes.insert(c->bytes.end(), static_cast<const std::uint8_t*>(buffer),
                    static_cast<const std::uint8_t*>(buffer) + length);
    return length;
  };
  m.set_format = [](void* instance, const MpegAudioFormat* format) {
    static_cast<Captured*>(instance)->format = *format;
    return 0;
  };
  return m;
}

// Output filter that counts writes and lets them through.
int g_filtered_writes = 0;

class DecodeToOutputTest : public MpegDecoderTest {
 protected:
  void OpenStream(const std::string& bytes) {
    stream = bytes;
    ASSERT_EQ(MpegDecoderAddInputModule(decoder, &memory), 0);
    ASSERT_EQ(MpegDecoderInputNew(decoder, StaticName(stream.data(), stream.size()).c_str(), -1), 0);
    ASSERT_EQ(MpegDecoderInputOpen(decoder), 0);
    const MpegOutputModuleMethods capture = CaptureModule();
    ASSERT_EQ(MpegDecoderAddOutputModule(decoder, &capture), 0);
    EXPECT_EQ(MpegDecoderOutputNew(decoder, "speaker", -1), kMpegNoOutputModule);
    EXPECT_EQ(MpegDecoderOutputNew(decoder, "capture", 3), kMpegNoModuleWithId);
    ASSERT_EQ(MpegDecoderOutputNew(decoder, "capture", -1), 0);
    ASSERT_EQ(MpegDecoderOutputOpen(decoder), 0);
    EXPECT_EQ(MpegDecoderOutputOpen(decoder), kMpegBadState);
  }
  // Decodes to the end; returns the frames written.
  int DecodeAll() {
    int frames = 0;
    for (int guard = 0; guard < 1000; ++guard) {
      const int n = MpegDecoderDecode(decoder);
      if (n == kMpegEndOfInput) break;
      EXPECT_GT(n, 0);
      if (n <= 0) break;
      ++frames;
    }
    return frames;
  }

  std::string stream;
};

TEST_F(DecodeToOutputTest, DecodesThroughFiltersToTheOutputModule) {
  OpenStream(Fixture("l3_44k_stereo.mp3"));
  MpegOutputFilterMethods counting{};
  counting.write = [](void*, const MpegOutputStage* next, const void* buffer, int length) {
    ++g_filtered_writes;
    return MpegOutputStageWrite(next, buffer, length);
  };
  MpegInputFilterMethods passive{};  // no methods: every call falls through
  g_filtered_writes = 0;
  ASSERT_EQ(MpegDecoderAddOutputFilter(decoder, 0, "count", &counting, nullptr), 0);
  ASSERT_EQ(MpegDecoderAddInputFilter(decoder, 0, "nothing", &passive, nullptr), 0);
  EXPECT_EQ(MpegDecoderAddInputFilter(decoder, 5, "far", &passive, nullptr), kMpegBadArgument);
  EXPECT_EQ(MpegDecoderInputFilterCount(decoder), 1);
  const char* name = nullptr;
  ASSERT_EQ(MpegDecoderOutputFilterName(decoder, 0, &name), 0);
  EXPECT_STREQ(name, "count");
  const testsupport::DecodedStream expected = testsupport::DecodeWithEngine(stream);
  EXPECT_EQ(DecodeAll(), expected.frames);
  // Every sample reached the output module.
  ASSERT_EQ(g_last_capture->bytes.size(), expected.samples.size() * 2);
  EXPECT_EQ(std::memcmp(g_last_capture->bytes.data(), expected.samples.data(), g_last_capture->bytes.size()), 0);
  MpegStreamInfo info;
  ASSERT_EQ(MpegDecoderGetStreamInfo(decoder, &info), 0);
  EXPECT_EQ(info.layer, 3);
  EXPECT_EQ(info.sampling_rate, 44100);
  EXPECT_EQ(info.bitrate_kbit, 64);
  EXPECT_EQ(info.position.seconds, 1);  // one second of audio and a frame of encoder delay
  EXPECT_EQ(g_filtered_writes, expected.frames);
  EXPECT_EQ(MpegDecoderRemoveOutputFilter(decoder, -1, "count"), 0);
  EXPECT_EQ(MpegDecoderRemoveOutputFilter(decoder, -1, "count"), kMpegFailed);
  EXPECT_EQ(MpegDecoderRemoveInputFilter(decoder, 0, nullptr), 0);
}

TEST_F(DecodeToOutputTest, FramesMatchTheEngineAndEightBitFollowsTheFormat) {
  OpenStream(Fixture("l2_44k_stereo.mp2"));
  const testsupport::DecodedStream expected = testsupport::DecodeWithEngine(stream);
  std::vector<std::int16_t> pcm(2304);
  const int n = MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size() * 2));
  ASSERT_EQ(n, 2304);
  EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), expected.samples.begin()));
  MpegAudioFormat eight;
  eight.bits = 8;
  ASSERT_EQ(MpegDecoderOutputSetFormat(decoder, &eight), 0);
  std::vector<std::uint8_t> bytes(2304);
  ASSERT_EQ(MpegDecoderDecodeFrame(decoder, bytes.data(), static_cast<int>(bytes.size())), 2304);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(expected.samples[2304 + i] / 256 + 128)) << i;
  }
}

TEST_F(DecodeToOutputTest, XingDurationAndFractionSeek) {
  OpenStream(Fixture("l3_44k_stereo_xing.mp3"));
  MpegStreamInfo info;
  ASSERT_EQ(MpegDecoderGetStreamInfo(decoder, &info), 0);
  // 40 frames of 1152 samples at 44.1 kHz: 1.04 s.
  EXPECT_EQ(info.duration.seconds, 1);
  EXPECT_EQ(info.duration.hundredths, 4);
  ASSERT_EQ(MpegDecoderInputSeekFraction(decoder, 0.5), 0);
  // The table of contents puts the middle of the stream's time well inside its bytes.
  std::vector<std::int16_t> pcm(2304);
  int frames = 0;
  while (MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size() * 2)) > 0) ++frames;
  EXPECT_GT(frames, 12);
  EXPECT_LT(frames, 28);
  // Seeking to half the duration by time lands on the same frame count.
  const MpegTime half{0, 0, 0, 52};
  ASSERT_EQ(MpegDecoderInputSeekTime(decoder, &half), 0);
  int again = 0;
  while (MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size() * 2)) > 0) ++again;
  EXPECT_EQ(again, frames);
  EXPECT_EQ(MpegDecoderInputSeekFraction(decoder, 1.5), kMpegBadArgument);
}

TEST_F(DecodeToOutputTest, SeekingEmptiesTheReservoir) {
  OpenStream(Fixture("l3_44k_stereo.mp3"));
  ASSERT_EQ(MpegDecoderInputSeek(decoder, static_cast<long>(stream.size() / 2)), 0);
  std::vector<std::int16_t> pcm(2304);
  ASSERT_EQ(MpegDecoderDecodeFrame(decoder, pcm.data(), static_cast<int>(pcm.size() * 2)), 2304);
  for (std::int16_t s : pcm) ASSERT_EQ(s, 0);
}

TEST_F(MpegDecoderTest, OptionsAndEqualizer) {
  unsigned first = 9, second = 9;
  EXPECT_EQ(MpegDecoderGetOptions(nullptr, &first, &second), kMpegBadArgument);
  EXPECT_EQ(MpegDecoderSetOptions(nullptr, 0, 0), kMpegBadArgument);
  ASSERT_EQ(MpegDecoderSetOptions(decoder, 3, 2), 0);
  ASSERT_EQ(MpegDecoderGetOptions(decoder, &first, &second), 0);
  EXPECT_EQ(first, 3u);
  EXPECT_EQ(second, 2u);
  signed char values[2][32] = {};
  EXPECT_EQ(MpegDecoderGetEqualizer(decoder, values), kMpegFailed);
  values[0][0] = 32;
  values[1][31] = -32;
  ASSERT_EQ(MpegDecoderSetEqualizer(decoder, values), 0);
  signed char back[2][32] = {};
  ASSERT_EQ(MpegDecoderGetEqualizer(decoder, back), 0);
  EXPECT_EQ(std::memcmp(back, values, sizeof(values)), 0);
  ASSERT_EQ(MpegDecoderSetEqualizer(decoder, nullptr), 0);
  EXPECT_EQ(MpegDecoderGetEqualizer(decoder, back), kMpegFailed);
}

int g_notified = 0;
void Count(void*, const char*) { ++g_notified; }

TEST_F(MpegDecoderTest, PropertiesAndNotifications) {
  g_notified = 0;
  ASSERT_EQ(MpegDecoderSubscribe(decoder, "title", &Count, nullptr), 0);
  const char* text = nullptr;
  void* pointer = nullptr;
  EXPECT_EQ(MpegDecoderGetStringProperty(decoder, "title", &text), kMpegNoProperty);
  ASSERT_EQ(MpegDecoderSetStringProperty(decoder, "title", "Theme"), 0);
  ASSERT_EQ(MpegDecoderGetStringProperty(decoder, "title", &text), 0);
  EXPECT_STREQ(text, "Theme");
  EXPECT_EQ(MpegDecoderGetPointerProperty(decoder, "title", &pointer), kMpegPropertyKind);
  int target = 0;
  ASSERT_EQ(MpegDecoderSetPointerProperty(decoder, "data", &target), 0);
  ASSERT_EQ(MpegDecoderGetPointerProperty(decoder, "data", &pointer), 0);
  EXPECT_EQ(pointer, &target);
  EXPECT_EQ(MpegDecoderGetStringProperty(decoder, "data", &text), kMpegPropertyKind);
  ASSERT_EQ(MpegDecoderRemoveProperty(decoder, "title"), 0);
  EXPECT_EQ(MpegDecoderRemoveProperty(decoder, "title"), kMpegNoProperty);
  EXPECT_EQ(g_notified, 2);  // set and removed; "data" has no subscriber
  ASSERT_EQ(MpegDecoderUnsubscribe(decoder, "title", &Count, nullptr), 0);
  EXPECT_EQ(MpegDecoderUnsubscribe(decoder, "title", &Count, nullptr), kMpegFailed);
  ASSERT_EQ(MpegDecoderSetStringProperty(decoder, "title", "Again"), 0);
  EXPECT_EQ(g_notified, 2);
  EXPECT_EQ(MpegDecoderSetStringProperty(decoder, nullptr, "x"), kMpegBadArgument);
}

TEST_F(MpegDecoderTest, MemoryModuleDescribesItself) {
  MpegModuleInfo info{};
  ASSERT_EQ(memory.info(nullptr, &info), 0);
  EXPECT_STREQ(info.name, "Input From Memory");
  EXPECT_STREQ(info.version, "Version 1.0");
  EXPECT_EQ(info.device, nullptr);
  void* instance = nullptr;
  ASSERT_EQ(memory.create(&instance, nullptr), 0);
  ASSERT_EQ(memory.info(instance, &info), 0);
  EXPECT_STREQ(info.device, "streaming buffer");
  EXPECT_EQ(memory.get_size(instance), 0);
  EXPECT_EQ(memory.is_seekable(instance), 0);
  EXPECT_EQ(memory.seek(instance, 0), kMpegBadState);
  memory.destroy(instance);
  ASSERT_EQ(memory.create(&instance, "100@2000"), 0);
  ASSERT_EQ(memory.info(instance, &info), 0);
  EXPECT_STREQ(info.device, "static buffer");
  EXPECT_EQ(memory.get_size(instance), 256);
  EXPECT_EQ(memory.is_seekable(instance), 1);
  memory.destroy(instance);
  EXPECT_EQ(memory.create(&instance, "not a buffer"), kMpegBadState);
  EXPECT_EQ(memory.probe("not a buffer"), -1);
  EXPECT_EQ(memory.probe("10@20"), 0);
  EXPECT_EQ(memory.reserved, nullptr);
}

}  // namespace
