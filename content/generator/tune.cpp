// Note list reader, synthesiser and MP3 encoding through LAME.
#include "content/generator/tune.h"

#include "content/generator/noise.h"

#include <QRegularExpression>

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace vardel::content {
namespace {

constexpr double kPi = 3.14159265358979323846;

double frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

[[noreturn]] void fail(int line, const QString& what) {
  throw std::runtime_error(QStringLiteral("note list, line %1: %2").arg(line).arg(what).toStdString());
}

double parseBeats(const QString& text, bool* ok) {
  const qsizetype slash = text.indexOf(QLatin1Char('/'));
  if (slash < 0) {
    const double v = text.toDouble(ok);
    if (*ok && !(v > 0)) *ok = false;
    return v;
  }
  bool okA = false, okB = false;
  const double a = text.left(slash).toDouble(&okA), b = text.mid(slash + 1).toDouble(&okB);
  *ok = okA && okB && a > 0 && b > 0;
  return *ok ? a / b : 0;
}

// Stereo mix buffer with a pan law that keeps loudness constant across the field.
struct Mix {
  std::vector<float> left, right;
  int rate;
  void add(size_t at, const std::vector<float>& sound, double pan, double gain) {
    const double angle = (pan + 1) * kPi / 4;
    const float l = float(std::cos(angle) * gain), r = float(std::sin(angle) * gain);
    for (size_t i = 0; i < sound.size() && at + i < left.size(); ++i) {
      left[at + i] += sound[i] * l;
      right[at + i] += sound[i] * r;
    }
  }
};

// Karplus-Strong plucked string; `brightness` 0..1 sets how long the high partials last.
std::vector<float> pluck(double freq, double seconds, int rate, double brightness, std::uint32_t seed) {
  const size_t period = std::max<size_t>(2, size_t(std::lround(rate / freq)));
  std::vector<float> ring(period);
  Random rnd(seed);
  for (float& v : ring) v = float(rnd.uniform(-1, 1));
  // Soften the burst a little so the attack is round, not scratchy.
  for (size_t i = 1; i < ring.size(); ++i) ring[i] = 0.6f * ring[i] + 0.4f * ring[i - 1];
  std::vector<float> out(size_t(seconds * rate));
  const float decay = float(0.4985 + 0.0014 * brightness);
  size_t pos = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const size_t next = (pos + 1) % period;
    const float v = ring[pos];
    ring[pos] = decay * (v + ring[next]);
    out[i] = v;
    pos = next;
  }
  // Short release so notes do not click when cut.
  const size_t tail = std::min<size_t>(out.size(), size_t(0.01 * rate));
  for (size_t i = 0; i < tail; ++i) out[out.size() - 1 - i] *= float(i) / tail;
  return out;
}

// A soft flute: a sine with a little second harmonic, breath and a delayed vibrato.
std::vector<float> flute(double freq, double seconds, int rate, std::uint32_t seed) {
  std::vector<float> out(size_t(seconds * rate));
  Random rnd(seed);
  double phase = 0;
  const double attack = 0.08, release = 0.15;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / rate;
    const double vibrato = t > 0.3 ? 0.004 * std::sin(2 * kPi * 5.2 * t) * std::min(1.0, (t - 0.3) / 0.4) : 0;
    phase += 2 * kPi * freq * (1 + vibrato) / rate;
    double env = std::min(1.0, t / attack) * std::min(1.0, (seconds - t) / release);
    env = std::max(0.0, env);
    const double breath = 0.03 * rnd.uniform(-1, 1);
    out[i] = float(env * (std::sin(phase) + 0.18 * std::sin(2 * phase) + 0.05 * std::sin(3 * phase) + breath));
  }
  return out;
}

// A small stereo room: four combs and two all-passes per side (Schroeder), mixed in lightly.
void reverb(Mix& mix) {
  const int combs[2][4] = {{1116, 1188, 1277, 1356}, {1139, 1211, 1300, 1379}};
  const int allpasses[2][2] = {{556, 441}, {579, 464}};
  std::vector<float>* channels[2] = {&mix.left, &mix.right};
  for (int c = 0; c < 2; ++c) {
    const std::vector<float>& dry = *channels[c];
    std::vector<float> wet(dry.size(), 0.f);
    for (int k = 0; k < 4; ++k) {
      std::vector<float> buf(size_t(combs[c][k]), 0.f);
      size_t pos = 0;
      float filter = 0;
      for (size_t i = 0; i < dry.size(); ++i) {
        const float out = buf[pos];
        filter = out * 0.8f + filter * 0.2f;
        buf[pos] = dry[i] * 0.015f + filter * 0.82f;
        wet[i] += out;
        pos = (pos + 1) % buf.size();
      }
    }
    for (int k = 0; k < 2; ++k) {
      std::vector<float> buf(size_t(allpasses[c][k]), 0.f);
      size_t pos = 0;
      for (float& v : wet) {
        const float b = buf[pos];
        buf[pos] = v + b * 0.5f;
        v = b - v;
        pos = (pos + 1) % buf.size();
      }
    }
    std::vector<float>& out = *channels[c];
    for (size_t i = 0; i < out.size(); ++i) out[i] += wet[i] * 0.9f;
  }
}

}  // namespace

double Score::lengthBeats() const {
  double length = chords.size() * double(meter);
  for (const auto& [name, notes] : voices) {
    if (!notes.empty()) length = std::max(length, notes.back().start + notes.back().beats);
  }
  return length;
}

int noteNumber(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^([A-G])([#b]?)(-?\\d)$"));
  const QRegularExpressionMatch m = pattern.match(name);
  if (!m.hasMatch()) return -1;
  static const int steps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
  int n = steps[m.captured(1).at(0).unicode() - 'A'];
  if (m.captured(2) == QLatin1String("#")) ++n;
  if (m.captured(2) == QLatin1String("b")) --n;
  return 12 * (m.captured(3).toInt() + 1) + n;
}

std::vector<int> chordNotes(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^([A-G][#b]?)(m?)(7?)$"));
  const QRegularExpressionMatch m = pattern.match(name);
  if (!m.hasMatch()) return {};
  const int root = noteNumber(m.captured(1) + QStringLiteral("3"));
  std::vector<int> notes = {root, root + (m.captured(2).isEmpty() ? 4 : 3), root + 7};
  if (!m.captured(3).isEmpty()) notes.push_back(root + 10);
  return notes;
}

Score parseScore(const QByteArray& text) {
  Score score;
  std::map<QString, double> cursor;
  int lineNumber = 0;
  for (const QByteArray& raw : text.split('\n')) {
    ++lineNumber;
    QString line = QString::fromUtf8(raw);
    const qsizetype hash = line.indexOf(QLatin1Char('#'));
    // '#' starts a comment only at the start of a line or after a blank (F#4 is a note).
    if (hash == 0 || (hash > 0 && line.at(hash - 1).isSpace())) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")));
    if (words[0] == QLatin1String("tempo") || words[0] == QLatin1String("meter")) {
      bool ok = false;
      const double value = words.value(1).toDouble(&ok);
      if (words.size() != 2 || !ok || value <= 0 || value > 400) fail(lineNumber, QStringLiteral("bad ") + words[0]);
      if (words[0] == QLatin1String("tempo"))
        score.tempo = value;
      else
        score.meter = int(value);
      continue;
    }
    if (!words[0].endsWith(QLatin1Char(':'))) fail(lineNumber, QStringLiteral("expected 'voice:' or a setting"));
    const QString voice = words[0].chopped(1);
    if (voice == QLatin1String("chords")) {
      for (qsizetype i = 1; i < words.size(); ++i) {
        if (chordNotes(words[i]).empty()) fail(lineNumber, QStringLiteral("unknown chord ") + words[i]);
        score.chords.append(words[i]);
      }
      continue;
    }
    if (voice != QLatin1String("bandurria") && voice != QLatin1String("flute")) {
      fail(lineNumber, QStringLiteral("unknown voice ") + voice);
    }
    std::vector<Note>& notes = score.voices[voice];
    double& at = cursor[voice];
    for (qsizetype i = 1; i < words.size(); ++i) {
      const qsizetype colon = words[i].indexOf(QLatin1Char(':'));
      if (colon <= 0) fail(lineNumber, QStringLiteral("expected NOTE:BEATS, got ") + words[i]);
      bool ok = false;
      const double beats = parseBeats(words[i].mid(colon + 1), &ok);
      if (!ok) fail(lineNumber, QStringLiteral("bad length in ") + words[i]);
      const QString name = words[i].left(colon);
      const int midi = name == QLatin1String("r") ? -1 : noteNumber(name);
      if (midi < -1 || (midi == -1 && name != QLatin1String("r")) || midi > 108) {
        fail(lineNumber, QStringLiteral("bad note ") + name);
      }
      notes.push_back({at, beats, midi});
      at += beats;
    }
  }
  if (score.lengthBeats() <= 0) throw std::runtime_error("note list: no music in it");
  return score;
}

std::vector<std::int16_t> synthesize(const Score& score, int sampleRate) {
  const double spb = score.secondsPerBeat();
  const double seconds = score.lengthBeats() * spb + 2.0;  // room for the last ring and the reverb
  Mix mix{std::vector<float>(size_t(seconds * sampleRate)), std::vector<float>(size_t(seconds * sampleRate)),
          sampleRate};
  const auto at = [&](double beat) { return size_t(beat * spb * sampleRate); };
  std::uint32_t seed = 1;

  // Guitar and bass: the waltz, one chord a bar.
  for (qsizetype bar = 0; bar < score.chords.size(); ++bar) {
    const std::vector<int> notes = chordNotes(score.chords[bar]);
    const double start = double(bar * score.meter);
    mix.add(at(start), pluck(frequency(notes[0] - 12), spb * score.meter, sampleRate, 0.2, seed++), 0, 0.55);
    for (int beat = 1; beat < score.meter; ++beat) {
      for (size_t k = 0; k < notes.size(); ++k) {
        const int midi = notes[k] + 12;
        const size_t strum = size_t(0.012 * sampleRate * k);
        mix.add(at(start + beat) + strum, pluck(frequency(midi), spb * 0.9, sampleRate, 0.5, seed++), 0.45, 0.16);
      }
    }
  }
  // Bandurria: plucked, with the tremolo of the island's players on notes of two beats or more.
  if (score.voices.count(QStringLiteral("bandurria"))) {
    for (const Note& n : score.voices.at(QStringLiteral("bandurria"))) {
      if (n.midi < 0) continue;
      const double step = n.beats >= 2 ? 0.25 : n.beats;
      for (double b = 0; b < n.beats - 1e-9; b += step) {
        const double len = std::min(step, n.beats - b) + (step == n.beats ? 0.4 : 0.05);
        const double accent = b == 0 ? 1.0 : 0.62;
        mix.add(at(n.start + b), pluck(frequency(n.midi), len * spb, sampleRate, 0.9, seed++), -0.35, 0.34 * accent);
      }
    }
  }
  if (score.voices.count(QStringLiteral("flute"))) {
    for (const Note& n : score.voices.at(QStringLiteral("flute"))) {
      if (n.midi < 0) continue;
      mix.add(at(n.start), flute(frequency(n.midi), n.beats * spb * 0.97, sampleRate, seed++), 0.3, 0.16);
    }
  }
  reverb(mix);

  // Fade the last two seconds, then scale the peak to -1 dBFS.
  const size_t fade = size_t(2.0 * sampleRate);
  for (size_t i = 0; i < fade && i < mix.left.size(); ++i) {
    const float g = float(i) / fade;
    mix.left[mix.left.size() - 1 - i] *= g;
    mix.right[mix.right.size() - 1 - i] *= g;
  }
  float peak = 1e-6f;
  for (size_t i = 0; i < mix.left.size(); ++i) peak = std::max({peak, std::abs(mix.left[i]), std::abs(mix.right[i])});
  const float scale = 0.891f * 32767.f / peak;
  std::vector<std::int16_t> pcm(mix.left.size() * 2);
  for (size_t i = 0; i < mix.left.size(); ++i) {
    pcm[2 * i] = std::int16_t(std::lround(mix.left[i] * scale));
    pcm[2 * i + 1] = std::int16_t(std::lround(mix.right[i] * scale));
  }
  return pcm;
}

QByteArray encodeMp3(const std::vector<std::int16_t>& stereo, int sampleRate, const Mp3Tags& tags) {
  std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> gf(lame_init(), lame_close);
  if (!gf) throw std::runtime_error("LAME: cannot start the encoder");
  lame_set_num_channels(gf.get(), 2);
  lame_set_in_samplerate(gf.get(), sampleRate);
  lame_set_out_samplerate(gf.get(), sampleRate);
  lame_set_brate(gf.get(), 128);
  lame_set_mode(gf.get(), JOINT_STEREO);
  lame_set_quality(gf.get(), 5);
  lame_set_bWriteVbrTag(gf.get(), 1);
  id3tag_init(gf.get());
  id3tag_v2_only(gf.get());
  const QByteArray title = tags.title.toLatin1(), artist = tags.artist.toLatin1(), album = tags.album.toLatin1(),
                   year = tags.year.toLatin1(), comment = tags.comment.toLatin1();
  id3tag_set_title(gf.get(), title.constData());
  id3tag_set_artist(gf.get(), artist.constData());
  id3tag_set_album(gf.get(), album.constData());
  id3tag_set_year(gf.get(), year.constData());
  id3tag_set_comment(gf.get(), comment.constData());
  if (lame_init_params(gf.get()) < 0) throw std::runtime_error("LAME: parameters refused");

  QByteArray mp3;
  const int frames = int(stereo.size() / 2);
  std::vector<unsigned char> buffer(size_t(1.25 * 8192 + 7200));
  for (int offset = 0; offset < frames; offset += 8192) {
    const int count = std::min(8192, frames - offset);
    const int n = lame_encode_buffer_interleaved(gf.get(), const_cast<short*>(stereo.data() + 2 * offset), count,
                                                 buffer.data(), int(buffer.size()));
    if (n < 0) throw std::runtime_error("LAME: encoding failed");
    mp3.append(reinterpret_cast<const char*>(buffer.data()), n);
  }
  const int n = lame_encode_flush(gf.get(), buffer.data(), int(buffer.size()));
  if (n < 0) throw std::runtime_error("LAME: flush failed");
  mp3.append(reinterpret_cast<const char*>(buffer.data()), n);
  // The Xing/LAME header frame, written last, replaces the placeholder that follows the tag;
  // it carries the exact length, so players show the right duration.
  const size_t tagSize = lame_get_id3v2_tag(gf.get(), nullptr, 0);
  const size_t headerSize = lame_get_lametag_frame(gf.get(), buffer.data(), buffer.size());
  if (headerSize > 0 && tagSize + headerSize <= size_t(mp3.size())) {
    std::copy(buffer.data(), buffer.data() + headerSize, mp3.begin() + qsizetype(tagSize));
  }
  return mp3;
}

}  // namespace vardel::content
