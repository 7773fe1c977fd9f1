// A recording made in memory, and the playback of what it recorded.
#pragma once

#include "framework/app/demo/DemoStream.h"

namespace KitTest {

inline Kit::DemoStream RecordingStream() {
  Kit::DemoStream stream;
  stream.StartRecording();
  return stream;
}

inline Kit::DemoStream PlaybackOf(const Kit::DemoStream& recording) {
  Kit::DemoStream stream;
  stream.StartPlayback(recording.MakeFile(1, "", 0));
  return stream;
}

}  // namespace KitTest
