#include "tests/support/WavFile.h"

namespace testsupport {

namespace {

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

}  // namespace

std::string WavFile(int channels, int rate, int bits, const std::vector<std::uint8_t>& data, int formatTag,
                    bool extraFmtBytes) {
  std::string fmt;
  Put16(fmt, static_cast<std::uint32_t>(formatTag));
  Put16(fmt, static_cast<std::uint32_t>(channels));
  Put32(fmt, static_cast<std::uint32_t>(rate));
  Put32(fmt, static_cast<std::uint32_t>(rate * channels * bits / 8));
  Put16(fmt, static_cast<std::uint32_t>(channels * bits / 8));
  Put16(fmt, static_cast<std::uint32_t>(bits));
  if (extraFmtBytes) Put16(fmt, 0);
  std::string out = "RIFF";
  Put32(out, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
  out += "WAVEfmt ";
  Put32(out, static_cast<std::uint32_t>(fmt.size()));
  out += fmt;
  out += "data";
  Put32(out, static_cast<std::uint32_t>(data.size()));
  out.append(data.begin(), data.end());
  return out;
}

std::vector<std::uint8_t> Pcm16(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> out;
  for (std::int16_t s : samples) {
    out.push_back(static_cast<std::uint8_t>(s & 0xff));
    out.push_back(static_cast<std::uint8_t>((static_cast<std::uint16_t>(s) >> 8) & 0xff));
  }
  return out;
}

}  // namespace testsupport
