// "fmod.dll" of the layer: the FMOD 3 style sample and channel calls the program makes, on the
// layer's mixer. Samples are decoded whole from WAV, OGG or MP3 files; channels play them with volume,
// pause and loop points. Module songs (FMUSIC) are tracker files (MOD, S3M, XM, IT, ...) rendered as they
// play. Streams are not supported: FSOUND_Stream_OpenFile reports failure with null, and the calls on their
// handles do nothing.
#pragma once

#include "platform/win/Types.h"

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;
struct FMUSIC_MODULE;

using F_BOOL = signed char;

// Sample modes.
constexpr unsigned int FSOUND_LOOP_OFF = 0x00000001;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x00000002;
constexpr unsigned int FSOUND_8BITS = 0x00000008;
constexpr unsigned int FSOUND_16BITS = 0x00000010;
constexpr unsigned int FSOUND_MONO = 0x00000020;
constexpr unsigned int FSOUND_STEREO = 0x00000040;
// A free sample slot or channel.
constexpr int FSOUND_FREE = -1;
// Channel volumes run from 0 (silent) to 100 (full); larger values play at full volume.
constexpr int FSOUND_FULL_VOLUME = 100;

F_BOOL FSOUND_SetBufferSize(int milliseconds);
F_BOOL FSOUND_SetHWND(void* window);
F_BOOL FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);
void FSOUND_Close();

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset);
FSOUND_SAMPLE* FSOUND_Sample_Alloc(int index, int length, unsigned int mode, int frequency, int volume, int pan,
                                   int priority);
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
F_BOOL FSOUND_Sample_Lock(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2,
                          unsigned int* length1, unsigned int* length2);
F_BOOL FSOUND_Sample_Unlock(FSOUND_SAMPLE* sample, void* part1, void* part2, unsigned int length1,
                            unsigned int length2);
F_BOOL FSOUND_Sample_SetLoopPoints(FSOUND_SAMPLE* sample, int loopStart, int loopEnd);
unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample);
F_BOOL FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority);
unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sample);

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
F_BOOL FSOUND_StopSound(int channel);
F_BOOL FSOUND_SetVolume(int channel, int volume);
F_BOOL FSOUND_SetPaused(int channel, F_BOOL paused);
F_BOOL FSOUND_SetLoopMode(int channel, unsigned int loopMode);
F_BOOL FSOUND_IsPlaying(int channel);

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* name, unsigned int mode, int length);
F_BOOL FSOUND_Stream_Close(FSOUND_STREAM* stream);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);

// Module songs: null when the file is no module. A song plays from its first order, looping unless
// FMUSIC_SetLooping said FSOUND_LOOP_OFF (or 0); SetOrder moves to the start of an order (0 and no move for
// an order the song does not have); master volumes run 0 to 100 like channel volumes. A paused song still
// counts as playing. FSOUND_Close frees every song.
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
F_BOOL FMUSIC_PlaySong(FMUSIC_MODULE* module);
F_BOOL FMUSIC_StopSong(FMUSIC_MODULE* module);
F_BOOL FMUSIC_SetLooping(FMUSIC_MODULE* module, F_BOOL looping);
F_BOOL FMUSIC_SetOrder(FMUSIC_MODULE* module, int order);
F_BOOL FMUSIC_SetPaused(FMUSIC_MODULE* module, F_BOOL paused);
F_BOOL FMUSIC_SetMasterVolume(FMUSIC_MODULE* module, int volume);
F_BOOL FMUSIC_IsPlaying(FMUSIC_MODULE* module);

namespace plat {

// Registers "fmod.dll" with the module table, its entry points under their decorated names.
void RegisterFModModule();

}  // namespace plat
