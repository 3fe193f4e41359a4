#pragma once
// Psychoacoustic model 1 for the voice encoder's single stream shape: from
// one frame of samples and the frame's largest scale factors, the
// signal-to-mask ratio of each subband in dB.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

class Mp2PsychoModel {
 public:
  static constexpr int kFrameSamples = 1152;
  static constexpr int kRingSamples = 1408;
  static constexpr int kFftSize = 1024;

  void Reset();
  // The subband levels in dB of the frame computed last.
  std::span<const double, 32> LevelDb() const { return levelDb_; }
  void Compute(std::span<const std::int16_t, kFrameSamples> samples, std::span<const double, 32> largestScaleFactor,
               std::span<double, 32> smr);

 private:
  struct Component {
    int line;
    double levelDb;
    bool tonal;
  };
  void BuildTables();
  void PowerSpectrum(const double* input);
  void FindComponents();
  void Decimate();
  double GlobalThresholdAt(int index) const;

  std::array<double, kRingSamples> ring_{};
  int writeOffset_ = 0;
  bool tablesBuilt_ = false;
  std::vector<double> window_;
  std::vector<double> cosTable_;
  std::vector<double> sinTable_;
  std::vector<unsigned> bitReverse_;
  std::array<double, kFftSize / 2> powerDb_{};
  std::array<double, kFftSize / 2> power_{};  // the same as powers
  std::array<int, kFftSize / 2> lineIndex_{};  // table entry of each spectral line
  std::vector<Component> components_;
  std::array<double, 32> levelDb_{};
};
