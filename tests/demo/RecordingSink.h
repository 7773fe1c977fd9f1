// A playback sink that writes down every replayed record as a line of text, so that tests compare
// whole replays at a glance.
#pragma once

#include <string>
#include <vector>

#include "framework/app/DemoStream.h"

namespace demotest {

class RecordingSink : public Kit::DemoPlaybackSink {
 public:
  bool DemoShuttingDown() override { return mShuttingDown; }
  void DemoMouseMove(int x, int y) override { Add("move " + std::to_string(x) + "," + std::to_string(y)); }
  void DemoMouseButton(int x, int y, bool down, int clickCode) override {
    Add(std::string(down ? "down " : "up ") + std::to_string(x) + "," + std::to_string(y) + " " +
        std::to_string(clickCode));
  }
  void DemoActivate(bool active) override { Add(active ? "active" : "inactive"); }
  void DemoSize(bool minimised) override { Add(minimised ? "minimised" : "restored"); }
  void DemoKeyDown(int key) override { Add("keydown " + std::to_string(key)); }
  void DemoKeyUp(int key) override { Add("keyup " + std::to_string(key)); }
  void DemoCharacter(int character) override { Add("char " + std::to_string(character)); }
  void DemoClose() override {
    Add("close");
    if (mShutDownOnClose) mShuttingDown = true;
  }
  void DemoMouseEnter() override { Add("enter"); }
  void DemoMouseLeave(int x, int y) override { Add("leave " + std::to_string(x) + "," + std::to_string(y)); }
  void DemoMouseWheel(int notches) override { Add("wheel " + std::to_string(notches)); }
  void DemoDisplayState(bool windowed, int refreshRate) override {
    Add(std::string(windowed ? "windowed " : "fullscreen ") + std::to_string(refreshRate));
  }

  void Add(const std::string& line) { mLines.push_back("@" + std::to_string(mUpdateCount) + " " + line); }

  std::vector<std::string> mLines;
  int mUpdateCount = 0;
  bool mShuttingDown = false;
  bool mShutDownOnClose = false;
};

// Plays the whole stream as the frame loop would: a playback step, then one update unless a due
// record holds it back; at most `maxUpdates` updates.
inline std::vector<std::string> PlayAll(Kit::DemoStream& stream, int maxUpdates) {
  RecordingSink sink;
  for (int guard = 0; guard < maxUpdates * 4 && sink.mUpdateCount < maxUpdates; ++guard) {
    stream.PlaybackStep(sink.mUpdateCount, sink);
    if (!stream.HoldsUpdate(sink.mUpdateCount)) ++sink.mUpdateCount;
  }
  return sink.mLines;
}

}  // namespace demotest
