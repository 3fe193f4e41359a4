#include "tools/demodata/sound_bank.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "tools/demodata/demo_output.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

struct Sound {
  const char* name;
  int channels;
  int rate;
  int bits;
  double seconds;
  bool scrambled;
  // Sample value -1..1 of a channel at time t.
  double (*wave)(double t, int channel);
};

Bytes MakeWav(const Sound& s) {
  const auto frames = static_cast<std::uint32_t>(s.seconds * s.rate);
  const std::uint32_t blockAlign = static_cast<std::uint32_t>(s.channels * s.bits / 8);
  Bytes samples;
  for (std::uint32_t i = 0; i < frames; ++i) {
    for (int c = 0; c < s.channels; ++c) {
      const double v = std::clamp(s.wave(static_cast<double>(i) / s.rate, c), -1.0, 1.0);
      if (s.bits == 8) {
        samples.push_back(static_cast<std::uint8_t>(std::lround(128.0 + 127.0 * v)));
      } else {
        Put16(samples, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(32767.0 * v))));
      }
    }
  }
  Bytes wav;
  PutTag(wav, "RIFF");
  Put32(wav, static_cast<std::uint32_t>(36 + samples.size()));
  PutTag(wav, "WAVE");
  PutTag(wav, "fmt ");
  Put32(wav, 16);
  Put16(wav, 1);
  Put16(wav, static_cast<std::uint32_t>(s.channels));
  Put32(wav, static_cast<std::uint32_t>(s.rate));
  Put32(wav, static_cast<std::uint32_t>(s.rate) * blockAlign);
  Put16(wav, blockAlign);
  Put16(wav, static_cast<std::uint32_t>(s.bits));
  PutTag(wav, "data");
  Put32(wav, static_cast<std::uint32_t>(samples.size()));
  wav.insert(wav.end(), samples.begin(), samples.end());
  if (s.scrambled) {
    std::span<std::uint8_t> all(wav);
    ScrambleBytes(all.subspan(0, 36));
    ScrambleBytes(all.subspan(36, 8));
    ScrambleBytes(all.subspan(44));
  }
  return wav;
}

constexpr double kTau = 2.0 * std::numbers::pi;

double Click(double t, int) { return std::exp(-t * 200.0) * std::sin(kTau * 1800.0 * t); }

double Door(double t, int) {
  // A low thud with a rattle.
  const double thud = std::exp(-t * 12.0) * std::sin(kTau * (70.0 - 30.0 * t) * t);
  const double rattle = std::exp(-t * 25.0) * std::sin(kTau * 410.0 * t) * std::sin(kTau * 23.0 * t);
  return 0.8 * thud + 0.3 * rattle;
}

double Chime(double t, int channel) {
  const double base = channel == 0 ? 880.0 : 1320.0;
  return 0.4 * std::exp(-t * 3.0) * (std::sin(kTau * base * t) + 0.5 * std::sin(kTau * 2.76 * base * t));
}

double Alarm(double t, int) {
  const double f = std::fmod(t, 0.25) < 0.125 ? 660.0 : 990.0;
  return 0.5 * (std::sin(kTau * f * t) > 0 ? 1.0 : -1.0) * std::min(1.0, (0.6 - t) * 20.0);
}

const Sound kSounds[] = {
    {"door", 1, 22050, 16, 0.6, false, &Door},
    {"click", 1, 22050, 8, 0.05, false, &Click},
    {"chime", 2, 44100, 16, 1.2, false, &Chime},
    {"alarm", 1, 22050, 16, 0.6, true, &Alarm},
};

}  // namespace

void AddSoundBank(DemoOutput& out) {
  Bytes table;
  Put16(table, 1);
  Put32(table, static_cast<std::uint32_t>(std::size(kSounds)));
  for (const Sound& s : kSounds) {
    out.WriteFile(std::string("data\\sound\\") + s.name + ".wav", MakeWav(s));
    Put16(table, 1);
    const std::string name(s.name);
    table.insert(table.end(), name.begin(), name.end());
    table.insert(table.end(), 32 - name.size(), 0);
  }
  out.WriteFile("data\\snd.dat", table);
}
