// The presentation's tune: a note list read from text, synthesised to stereo PCM and encoded as
// MP3 with an ID3v2 title.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

namespace vardel::content {

struct Note {
  double start;  // beats from the beginning
  double beats;  // length in beats
  int midi;      // MIDI note number (A4 = 69); -1 for a rest
};

struct Score {
  double tempo = 120;  // beats per minute
  int meter = 3;       // beats per bar
  QStringList chords;  // one per bar
  std::map<QString, std::vector<Note>> voices;

  // The longest of the voices and the chord line, in beats.
  double lengthBeats() const;
  double secondsPerBeat() const { return 60.0 / tempo; }
};

// MIDI number of a note name such as "A4", "F#5" or "Bb3"; -1 when it is not one.
int noteNumber(const QString& name);

// MIDI numbers of a chord name's notes around octave 3-4: "D", "Em", "A7", "F#m", "E7".
// Empty when the name is not a chord this reader knows.
std::vector<int> chordNotes(const QString& name);

// Reads the note list format (see content/music/ondravia.notes). Throws std::runtime_error
// naming the line for anything it cannot read.
Score parseScore(const QByteArray& text);

// Renders the score: bandurria and flute from the voices, guitar and bass from the chords, a
// small room reverb; interleaved 16-bit stereo at `sampleRate`.
std::vector<std::int16_t> synthesize(const Score& score, int sampleRate);

struct Mp3Tags {
  QString title, artist, album, year, comment;
};

// MP3 (MPEG-1 Layer III, joint stereo, 128 kbit/s) of interleaved stereo PCM, starting with
// an ID3v2 tag and a Xing/LAME header frame. Throws std::runtime_error if LAME fails.
QByteArray encodeMp3(const std::vector<std::int16_t>& stereo, int sampleRate, const Mp3Tags& tags);

}  // namespace vardel::content
