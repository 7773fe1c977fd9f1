// Tracker modules through libopenmpt: the whole file is read and parsed when opened, then rendered a few
// kilobytes at a time as the mixer asks for them.
#include <libopenmpt/libopenmpt.h>

#include <string>

#include "platform/bass/StreamDecoder.h"
#include "platform/win/files/FileRead.h"

namespace plat::bass {

namespace {

// Far beyond any module a game ships; a larger file is refused rather than read whole.
constexpr std::size_t kMaxModuleBytes = 64 << 20;

int IgnoreError(int, void*) { return OPENMPT_ERROR_FUNC_RESULT_NONE; }

class ModuleStreamDecoder final : public StreamDecoder {
 public:
  ModuleStreamDecoder(openmpt_module* module, int rate)
      : StreamDecoder(audio::PcmFormat{2, rate, 16}), mModule(module) {}
  ~ModuleStreamDecoder() override { openmpt_module_destroy(mModule); }
  ModuleStreamDecoder(const ModuleStreamDecoder&) = delete;
  ModuleStreamDecoder& operator=(const ModuleStreamDecoder&) = delete;

  std::size_t Read(std::uint8_t* dest, std::size_t bytes) override {
    std::size_t frames = bytes / Format().FrameBytes();
    std::size_t done = 0;
    // libopenmpt writes 16-bit samples in the host's order, which is the little-endian order of the mixer here.
    auto* out = reinterpret_cast<std::int16_t*>(dest);
    while (done < frames) {
      std::size_t got = openmpt_module_read_interleaved_stereo(mModule, Format().rate, frames - done, out + 2 * done);
      if (got == 0) break;
      done += got;
    }
    return done * Format().FrameBytes();
  }

  bool Seek(std::uint64_t frame) override {
    double seconds = static_cast<double>(frame) / Format().rate;
    if (seconds > openmpt_module_get_duration_seconds(mModule)) return false;
    openmpt_module_set_position_seconds(mModule, seconds);
    return true;
  }

  // At the song's end the module waits at its restart position: the next read goes on from there.
  bool Restart() override { return true; }

  bool SeekOrder(int order) override {
    if (order < 0 || order >= openmpt_module_get_num_orders(mModule)) return false;
    openmpt_module_set_position_order_row(mModule, order, 0);
    return true;
  }

 private:
  openmpt_module* mModule;
};

}  // namespace

std::unique_ptr<StreamDecoder> OpenModuleStream(const std::string& path, int rate) {
  if (!audio::PcmFormat{2, rate, 16}.IsValid()) return nullptr;
  std::string data;
  if (ReadWholeFile(path, &data, kMaxModuleBytes) != FileReadResult::kRead || data.empty()) return nullptr;
  // End of song: report it (a read of 0 frames), then carry on at the restart position if read again.
  const openmpt_module_initial_ctl ctls[] = {{"play.at_end", "continue"}, {nullptr, nullptr}};
  openmpt_module* module = openmpt_module_create_from_memory2(data.data(), data.size(), openmpt_log_func_silent,
                                                              nullptr, IgnoreError, nullptr, nullptr, nullptr, ctls);
  if (!module) return nullptr;
  return std::make_unique<ModuleStreamDecoder>(module, rate);
}

}  // namespace plat::bass
