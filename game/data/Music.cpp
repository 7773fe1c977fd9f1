#include "game/data/Music.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/data/DataOutput.h"
#include "game/data/Random.h"
#include "game/data/Synth.h"

namespace gamedata {
namespace {

struct Song {
  const char* file;
  unsigned seed;
  float bpm;
  int rootMidi;  // the key's root note
  bool minor;
  std::vector<int> progression;  // chord degrees (0-based) per bar, repeated
  int bars;
  float drive;  // 0 calm to 1 driving: drums, arpeggio density
};

float MidiHz(int note) { return 440.0f * std::pow(2.0f, (note - 69) / 12.0f); }

int ScaleNote(const Song& song, int degree) {
  static const int major[7] = {0, 2, 4, 5, 7, 9, 11}, minor[7] = {0, 2, 3, 5, 7, 8, 10};
  const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
  const int step = degree - octave * 7;
  return song.rootMidi + 12 * octave + (song.minor ? minor[step] : major[step]);
}

// A stereo loop: two channels that the tones are panned into.
struct Mix {
  std::vector<float> left, right;
  unsigned seed = 1;
  void Add(Tone tone, float pan) {
    const float volume = tone.volume;
    tone.volume = volume * (1 - pan);
    AddTone(left, tone, true, seed);
    tone.volume = volume * (1 + pan);
    AddTone(right, tone, true, seed);
    ++seed;
  }
};

Tone Note(float start, float length, float hz, Wave wave, float volume, float decay, float cutoff = 0) {
  Tone tone;
  tone.start = start;
  tone.length = length;
  tone.fromHz = tone.toHz = hz;
  tone.wave = wave;
  tone.volume = volume;
  tone.decay = decay;
  tone.attack = 0.008f;
  tone.release = std::min(0.05f, length / 3);
  tone.cutoffFrom = tone.cutoffTo = cutoff;
  return tone;
}

void Drums(Mix& mix, const Song& song, float beat, int bar) {
  const float start = bar * 4 * beat;
  for (int b = 0; b < 4; ++b) {
    const float t = start + b * beat;
    if (b % 2 == 0 || song.drive > 0.7f) {
      Tone kick = Note(t, 0.25f, 130, Wave::kSine, 0.9f, 14);
      kick.toHz = 42;
      mix.Add(kick, 0);
    }
    if (b % 2 == 1 && song.drive > 0.3f) {
      mix.Add(Note(t, 0.18f, 1, Wave::kNoise, 0.35f, 18, 3500), 0.1f);
      mix.Add(Note(t, 0.12f, 190, Wave::kTriangle, 0.25f, 25), 0.1f);
    }
    const int hats = song.drive > 0.5f ? 4 : 2;
    for (int h = 0; h < hats; ++h)
      mix.Add(Note(t + h * beat / hats, 0.05f, 1, Wave::kNoise, h == 0 ? 0.12f : 0.07f, 60, 9000), -0.3f);
  }
}

std::vector<float> Interleave(const Mix& mix) {
  std::vector<float> out(mix.left.size() * 2);
  for (size_t i = 0; i < mix.left.size(); ++i) {
    out[2 * i] = mix.left[i];
    out[2 * i + 1] = mix.right[i];
  }
  return out;
}

Mix Compose(const Song& song) {
  const float beat = 60.0f / song.bpm;
  const float seconds = song.bars * 4 * beat;
  Mix mix;
  mix.left.assign(static_cast<size_t>(std::lround(seconds * kSampleRate)), 0.0f);
  mix.right = mix.left;
  Random random(song.seed);
  // A two-bar melody, answered with a variation in the next two bars.
  std::vector<std::pair<float, int>> motif;  // (beat offset, scale degree)
  int degree = 7;
  for (float b = 0; b < 8; b += (random.Below(3) == 0 ? 1.0f : 0.5f)) {
    degree = std::clamp(degree + random.Below(5) - 2, 4, 12);
    if (random.Below(6) != 0) motif.push_back({b, degree});
  }
  for (int bar = 0; bar < song.bars; ++bar) {
    const int chord = song.progression[bar % song.progression.size()];
    const float barStart = bar * 4 * beat;
    // Pad: the chord held through the bar.
    for (int k = 0; k < 3; ++k) {
      Tone pad = Note(barStart, 4 * beat, MidiHz(ScaleNote(song, chord + 2 * k) + 12), Wave::kTriangle, 0.07f, 0);
      pad.attack = 0.3f;
      pad.release = 0.3f;
      mix.Add(pad, k == 1 ? -0.4f : 0.4f);
    }
    // Bass on the beats, the fifth on the off-beats when the song drives.
    for (int b = 0; b < 4; ++b) {
      const int note = ScaleNote(song, chord) - 24 + (b % 2 == 1 && song.drive > 0.5f ? 7 : 0);
      mix.Add(Note(barStart + b * beat, beat * 0.9f, MidiHz(note), Wave::kSaw, 0.28f, 3, 700), 0);
    }
    // Arpeggio over the chord.
    const int steps = song.drive > 0.5f ? 8 : 4;
    for (int s = 0; s < steps; ++s) {
      const int note = ScaleNote(song, chord + 2 * (s % 4 == 3 ? 1 : s % 3)) + 12;
      mix.Add(Note(barStart + s * 4 * beat / steps, beat * 0.5f, MidiHz(note), Wave::kSquare, 0.06f, 8, 2500), 0.35f);
    }
    if (song.drive > 0.05f) Drums(mix, song, beat, bar);
  }
  // The melody, from the third bar to the end, in two-bar phrases.
  for (int phrase = 1; phrase < song.bars / 2; ++phrase) {
    const float phraseStart = phrase * 8 * beat;
    const int shift = phrase % 2 == 0 ? 0 : (phrase % 4 == 1 ? 2 : -1);
    for (size_t i = 0; i < motif.size(); ++i) {
      const float next = i + 1 < motif.size() ? motif[i + 1].first : 8.0f;
      const float length = (next - motif[i].first) * beat;
      Tone lead = Note(phraseStart + motif[i].first * beat, length, MidiHz(ScaleNote(song, motif[i].second + shift)),
                       Wave::kTriangle, 0.2f, 1.5f);
      lead.vibratoHz = 5.5f;
      lead.vibratoDepth = 0.004f;
      mix.Add(lead, -0.15f);
    }
  }
  return mix;
}

std::string EncodeVorbis(const std::vector<float>& interleaved, unsigned serial) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 2, kSampleRate, 0.2f) != 0)
    throw std::runtime_error("libvorbisenc refuses the format");
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "ENCODER", "quarvel data generator");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, static_cast<int>(serial));
  std::string bytes;
  ogg_page page;
  auto flush = [&](bool force) {
    while ((force ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
      bytes.append(reinterpret_cast<const char*>(page.header), page.header_len);
      bytes.append(reinterpret_cast<const char*>(page.body), page.body_len);
    }
  };
  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  flush(true);
  const size_t frames = interleaved.size() / 2, chunk = 4096;
  // The last round writes no samples: that tells the encoder the stream has ended.
  for (size_t at = 0;; at += chunk) {
    const size_t count = at < frames ? std::min(chunk, frames - at) : 0;
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (size_t i = 0; i < count; ++i) {
        buffer[0][i] = interleaved[2 * (at + i)];
        buffer[1][i] = interleaved[2 * (at + i) + 1];
      }
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(count));
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        flush(false);
      }
    }
    if (count == 0) break;
  }
  flush(true);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return bytes;
}

}  // namespace

void MakeMusic(DataOutput& out) {
  const std::vector<Song> songs = {
      {"start", 101, 96, 57, false, {0, 5, 3, 4}, 12, 0.2f},
      {"level1", 202, 128, 62, false, {0, 4, 5, 3}, 16, 0.8f},
      {"level2", 303, 138, 57, true, {0, 5, 6, 4}, 16, 0.9f},
      {"level3", 404, 112, 60, true, {0, 3, 4, 0, 5, 3, 6, 4}, 16, 0.6f},
      {"end", 505, 78, 55, true, {0, 5, 3, 4}, 8, 0.0f},
  };
  unsigned serial = 1;
  for (const Song& song : songs) {
    std::vector<float> samples = Interleave(Compose(song));
    float peak = 1e-6f;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    for (float& s : samples) s *= 0.8f / peak;
    out.WriteFile(std::string("music/") + song.file + ".ogg", EncodeVorbis(samples, serial++));
  }
}

}  // namespace gamedata
