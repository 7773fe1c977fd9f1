// Every writer of the program, where its file is something else: a folder, a looping link, a pipe that
// nobody reads, or a device (ours, made like /dev/null and /dev/full). None waits, and what stands there
// stays what it was; a writer that tells its caller the outcome says written only for the null device.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "framework/app/KitAppBase.h"
#include "framework/app/devtools/DeveloperFiles.h"
#include "framework/resource/PNGWriter.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/FModLibrary.h"
#include "framework/sound/FModSampleCache.h"
#include "framework/util/Buffer.h"
#include "framework/util/LeakTracker.h"
#include "platform/fmod/FMod.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/DebugOutput.h"
#include "tests/support/AudioFixture.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "tests/support/UnreadableFile.h"
#include "tests/support/WavFile.h"

namespace {

using testsupport::TempDir;
using testsupport::Unreadable;
using Outcome = std::optional<bool>;  // whether the writer says it wrote the file; nothing: it does not say

struct Writer {
  const char* name;
  const char* fileName;
  Outcome (*write)(const TempDir& folder, const std::string& path);
};

const Writer kWriters[] = {
    {"PlayerFile", "playerdata.dat",
     [](const TempDir&, const std::string& path) -> Outcome {
       Kit::Buffer buffer;
       buffer.WriteString("progress");
       return Kit::KitAppBase().WriteBufferToFile(path, buffer);
     }},
    {"Demo", "run.dmo",
     [](const TempDir&, const std::string& path) -> Outcome {
       Kit::KitAppBase recorder;
       recorder.mDemoFileName = path;
       recorder.mRecordingDemoBuffer = true;
       std::string told;
       const plat::ScopedDebugCapture debugger;
       if (recorder.StartDemo(told)) recorder.WriteDemoFile(1);
       recorder.mRecordingDemoBuffer = false;  // written once
       told += debugger.Text();
       EXPECT_TRUE(told.empty() || told.starts_with("Could not write demo file: " + path + " (")) << told;
       return told.empty();
     }},
    {"Screenshot", "image1.png",
     [](const TempDir&, const std::string& path) -> Outcome {
       ImageLib::Image image;
       image.Allocate(2, 2);
       return ImageLib::WritePNGImage(path, image);
     }},
    {"ImageList", "imagelist.html",
     [](const TempDir& folder, const std::string&) -> Outcome { return Kit::WriteImageDump(folder.Path(), {}, ""); }},
    {"SoundCache", "cached.wav",
     [](const TempDir& folder, const std::string& path) -> Outcome {
       const HMODULE dsound = LoadLibrary("dsound.dll");
       Outcome written;
       {
         Kit::DSoundManager sounds(testsupport::FakeWindow(), false);
         folder.Write("beep.wav", testsupport::WavFile(1, 8000, 8, {1, 2, 3, 4}));
         if (sounds.LoadSound(0, folder / "beep")) written = sounds.WriteWAV(0, path, "beep.wav");
       }
       FreeLibrary(dsound);
       return written;
     }},
    {"MusicCache", "cached_song.wav",
     [](const TempDir& folder, const std::string&) -> Outcome {
       Kit::LoadFModDLL();
       ::FSOUND_Init(44100, 64, 2);
       folder.Write("song.ogg", testsupport::ReadTestData("sound/tone_mono_22050.ogg"));
       ::FSOUND_Sample_Free(Kit::LoadFModSample(folder / "song"));
       ::FSOUND_Close();
       Kit::FreeFModDLL();
       return {};
     }},
    {"LeakReport", "mem_leaks.txt",
     [](const TempDir& folder, const std::string&) -> Outcome {
       const testsupport::ScopedCurrentFolder inFolder(folder.Path());
       const plat::ScopedDebugCapture quiet;
       Kit::LeakTracker().Dump();
       return {};
     }},
    {"ScreenSaverLog", "ScrError.txt",
     [](const TempDir& folder, const std::string&) -> Outcome {
       const testsupport::ScopedCurrentFolder inFolder(folder.Path());
       Kit::KitAppBase().LogScreenSaverError("No display");
       return {};
     }},
};

using NoFileToReplace = testing::TestWithParam<std::tuple<std::size_t, Unreadable>>;

TEST_P(NoFileToReplace, IsWrittenIntoOrRefusedWithoutWaitingAndStaysWhatItWas) {
  const auto [writer, kind] = GetParam();
  const TempDir folder;
  const std::string path = folder / kWriters[writer].fileName;
  testsupport::MakeUnreadable(path, kind);
  const Outcome written = kWriters[writer].write(folder, path);
  EXPECT_EQ(written.value_or(kind == Unreadable::kNullDevice), kind == Unreadable::kNullDevice);
  EXPECT_TRUE(testsupport::UnreadableIsIntact(path, kind));
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, NoFileToReplace,
                         testing::Combine(testing::Range<std::size_t>(0, std::size(kWriters)),
                                          testing::ValuesIn(testsupport::kNoFileToReplaceKinds)),
                         [](const testing::TestParamInfo<std::tuple<std::size_t, Unreadable>>& info) {
                           return std::string(kWriters[std::get<0>(info.param)].name) +
                                  testsupport::UnreadableName(std::get<1>(info.param));
                         });

}  // namespace
