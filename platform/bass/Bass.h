// "bass.dll" of the layer: the BASS style calls the program makes for its music, on the layer's mixer.
// Streams are WAV (8 or 16-bit PCM), OGG Vorbis and MP3 files, decoded piece by piece as they play,
// with looping, pause, volume, pan and global volumes. Modules are tracker files (MOD, S3M, XM, IT, ...)
// rendered by libopenmpt as they play; the channel calls work on both kinds of handle.
//
// The library comes in two generations whose exports share names but not every signature: the 2.x
// "BASS_Init" takes a device GUID and "BASS_MusicLoad" a sample rate, and only 2.x has
// "BASS_SetConfig". The module table holds one of the two; 2.x unless a test registers 1.x.
//
// Values: channel volumes 0 to 100 (-1 leaves it), pans -100 to 100 (-101 leaves it), frequencies in
// Hz (-1 leaves it, 0 restores the file's rate); global volumes 0 to 100. A module's amplification runs
// from 0 (silent) to 100 (as rendered, the level it loads with); modules follow the music global volume,
// streams the stream one.
#pragma once

#include <cstdint>

#include "platform/win/Types.h"
#include "platform/win/modules/Unknown.h"

using QWORD = std::uint64_t;
using HMUSIC = DWORD;
using HSTREAM = DWORD;

// Playback and load flags.
constexpr DWORD BASS_SAMPLE_LOOP = 4;
constexpr DWORD BASS_MUSIC_RAMP = 0x200;

// Configuration options of the 2.x generation.
constexpr DWORD BASS_CONFIG_BUFFER = 0;
constexpr DWORD BASS_CONFIG_GVOL_SAMPLE = 4;
constexpr DWORD BASS_CONFIG_GVOL_STREAM = 5;
constexpr DWORD BASS_CONFIG_GVOL_MUSIC = 6;

// What BASS_ChannelIsActive answers.
constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// The two forms of the calls whose signature changed between the generations.
using BASS_InitV1Proc = BOOL (*)(int device, DWORD frequency, DWORD flags, HWND window);
using BASS_InitV2Proc = BOOL (*)(int device, DWORD frequency, DWORD flags, HWND window, const GUID* deviceId);
using BASS_MusicLoadV1Proc = HMUSIC (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags);
using BASS_MusicLoadV2Proc = HMUSIC (*)(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags,
                                        DWORD frequency);

BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window);
BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window, const GUID* deviceId);
BOOL BASS_Free();
BOOL BASS_Stop();
BOOL BASS_Start();
// 1.x: the music, sample and stream global volumes at once; -1 leaves one as it is.
BOOL BASS_SetGlobalVolumes(int music, int sample, int stream);
// The output volume, over every global volume.
BOOL BASS_SetVolume(DWORD volume);
BOOL BASS_MusicSetAmplify(HMUSIC music, DWORD amplify);
// 2.x: sets an option and returns its value now, or (DWORD)-1 for an unknown option.
DWORD BASS_SetConfig(DWORD option, DWORD value);

BOOL BASS_ChannelStop(DWORD channel);
BOOL BASS_ChannelPause(DWORD channel);
BOOL BASS_ChannelResume(DWORD channel);
BOOL BASS_ChannelSetAttributes(DWORD channel, int frequency, int volume, int pan);
// Moves a stream to a byte position of its decoded sound data, a module to the start of a pattern order.
BOOL BASS_ChannelSetPosition(DWORD channel, QWORD position);
DWORD BASS_ChannelIsActive(DWORD channel);

// Loads a whole module file (memory modules and parts of files are not supported), stopped at its start;
// 0 when the file is no module. BASS_SAMPLE_LOOP in the flags makes it loop; the 2.x `frequency` is the
// rate it is rendered at (0: the output's). Volume ramping (BASS_MUSIC_RAMP) is always on.
HMUSIC BASS_MusicLoad(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags);
HMUSIC BASS_MusicLoad(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags, DWORD frequency);
// Plays on from where it stopped (from the start once it has played out), looping as loaded or last played.
BOOL BASS_MusicPlay(HMUSIC music);
// Plays from the start of pattern order `position` ((DWORD)-1: from where it is), looping when `flags` hold
// BASS_SAMPLE_LOOP; FALSE for an order the module does not have. A looping module goes on at the restart
// position its file names. A move always starts from the state the song has at that order, so `reset` needs
// no work of its own.
BOOL BASS_MusicPlayEx(HMUSIC music, DWORD position, int flags, BOOL reset);
void BASS_MusicFree(HMUSIC music);

// Opens a sound file as a stream (memory streams are not supported); 0 when it cannot be played.
HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags);
void BASS_StreamFree(HSTREAM stream);
// Plays from where the stream stopped, or from its start when `flush` is set (or it had played out).
BOOL BASS_StreamPlay(HSTREAM stream, BOOL flush, DWORD flags);

namespace plat {

enum class BassGeneration { Version1, Version2 };

// Registers "bass.dll" with the module table in the given generation's form. A test may register the
// other generation while the module is not loaded; the built-in registration is Version2.
void RegisterBassModule(BassGeneration generation = BassGeneration::Version2);

// Test seams: the library's state as it keeps it.
struct BassGlobalVolumes {
  int music = 100;
  int sample = 100;
  int stream = 100;
  int output = 100;
};
[[nodiscard]] BassGlobalVolumes BassVolumes();
[[nodiscard]] bool BassIsInitialised();
[[nodiscard]] bool BassIsStarted();
// Live channels, streams and modules; counts those that were never freed.
[[nodiscard]] int BassStreamCount();
struct BassChannelState {
  int volume = 0;
  int pan = 0;
  int frequency = 0;
  bool looping = false;
};
// False when the handle is no live channel.
[[nodiscard]] bool BassChannelAttributes(DWORD channel, BassChannelState& state);

}  // namespace plat
