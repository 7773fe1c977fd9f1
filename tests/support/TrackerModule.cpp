#include "tests/support/TrackerModule.h"

#include <cstdint>

namespace testsupport {

namespace {

constexpr int kSamples = 31;
constexpr int kRows = 64;
constexpr int kChannels = 4;
constexpr int kWaveBytes = 64;  // two cycles of 32 samples
constexpr int kPeriodC2 = 428;  // the note C-2
constexpr int kEffectVolume = 0xC;
constexpr int kEffectSpeed = 0xF;
constexpr int kEffectBreak = 0xD;

void PutWord(std::string& out, int value) {
  out += static_cast<char>((value >> 8) & 0xff);
  out += static_cast<char>(value & 0xff);
}

// One cell: sample number, note period, effect and its parameter.
void PutCell(std::string& out, int sample, int period, int effect, int parameter) {
  out += static_cast<char>((sample & 0xf0) | ((period >> 8) & 0x0f));
  out += static_cast<char>(period & 0xff);
  out += static_cast<char>(((sample & 0x0f) << 4) | effect);
  out += static_cast<char>(parameter);
}

}  // namespace

std::string SquareWaveMod(const std::vector<int>& levels) {
  std::string out(20, '\0');
  out.replace(0, 6, "square");
  for (int s = 0; s < kSamples; ++s) {
    out += std::string(22, '\0');
    bool used = s == 0;
    PutWord(out, used ? kWaveBytes / 2 : 0);  // lengths and loops count 16-bit words
    out += '\0';                              // finetune
    out += static_cast<char>(used ? 64 : 0);  // volume
    PutWord(out, 0);                          // loop start
    PutWord(out, used ? kWaveBytes / 2 : 1);  // loop length (1: no loop)
  }
  out += static_cast<char>(levels.size());
  out += '\0';  // restart order
  std::string orders(128, '\0');
  for (std::size_t p = 0; p < levels.size(); ++p) orders[p] = static_cast<char>(p);
  out += orders;
  out += "M.K.";
  for (int level : levels) {
    for (int row = 0; row < kRows; ++row) {
      for (int channel = 0; channel < kChannels; ++channel) {
        const bool strike = row == 0 && channel == 0, speed = row == 0 && channel == 1, end = row == 3 && channel == 2;
        PutCell(out, strike, strike ? kPeriodC2 : 0,
                strike  ? kEffectVolume
                : speed ? kEffectSpeed
                : end   ? kEffectBreak
                        : 0,
                strike  ? level
                : speed ? 3
                        : 0);
      }
    }
  }
  for (int i = 0; i < kWaveBytes; ++i) out += static_cast<char>(i % 32 < 16 ? 100 : -100);
  return out;
}

}  // namespace testsupport
