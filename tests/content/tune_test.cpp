// The tune: the note list reader, the synthesiser, and the generated MP3 as a player decodes it.
#include "tests/content/content_support.h"

#include "content/generator/tune.h"

#include <QProcess>

#include <mpg123.h>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace vardel::test {
namespace {

using content::chordNotes;
using content::noteNumber;
using content::parseScore;

TEST(NoteList, NamesNotesAndChordsByPitch) {
  EXPECT_EQ(noteNumber(QStringLiteral("A4")), 69);
  EXPECT_EQ(noteNumber(QStringLiteral("C4")), 60);
  EXPECT_EQ(noteNumber(QStringLiteral("F#5")), 78);
  EXPECT_EQ(noteNumber(QStringLiteral("Bb3")), 58);
  EXPECT_EQ(noteNumber(QStringLiteral("B#3")), noteNumber(QStringLiteral("C4")));
  EXPECT_EQ(noteNumber(QStringLiteral("H4")), -1);
  EXPECT_EQ(noteNumber(QStringLiteral("A")), -1);
  EXPECT_EQ(noteNumber(QStringLiteral("A44")), -1);
  EXPECT_EQ(chordNotes(QStringLiteral("D")), (std::vector<int>{50, 54, 57}));
  EXPECT_EQ(chordNotes(QStringLiteral("Em")), (std::vector<int>{52, 55, 59}));
  EXPECT_EQ(chordNotes(QStringLiteral("A7")), (std::vector<int>{57, 61, 64, 67}));
  EXPECT_EQ(chordNotes(QStringLiteral("F#m")), (std::vector<int>{54, 57, 61}));
  EXPECT_TRUE(chordNotes(QStringLiteral("Dsus4")).empty());
}

TEST(NoteList, ReadsVoicesInOrderWithFractionsAndComments) {
  const auto score = parseScore(
      "# a tune\n"
      "tempo 90\nmeter 3\n"
      "chords: D A7   # two bars\n"
      "bandurria: F#4:1 r:1/2 A4:1.5\n"
      "bandurria: D5:3\n"
      "flute: r:6\n");
  EXPECT_DOUBLE_EQ(score.tempo, 90);
  EXPECT_EQ(score.meter, 3);
  EXPECT_EQ(score.chords, QStringList({QStringLiteral("D"), QStringLiteral("A7")}));
  const auto& notes = score.voices.at(QStringLiteral("bandurria"));
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0].midi, 66);
  EXPECT_EQ(notes[1].midi, -1);
  EXPECT_DOUBLE_EQ(notes[1].beats, 0.5);
  EXPECT_DOUBLE_EQ(notes[2].start, 1.5);
  // A second line continues the voice where the first stopped.
  EXPECT_DOUBLE_EQ(notes[3].start, 3.0);
  EXPECT_DOUBLE_EQ(score.lengthBeats(), 6.0);
}

TEST(NoteList, RefusesWhatItCannotPlayNamingTheLine) {
  const auto message = [](const char* text) {
    try {
      parseScore(text);
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_NE(message("tempo 120\nbandurria: Q4:1\n").find("line 2"), std::string::npos);
  EXPECT_NE(message("bandurria: A4:0\n").find("line 1"), std::string::npos);
  EXPECT_NE(message("bandurria: A4:1/0\n").find("line 1"), std::string::npos);
  EXPECT_NE(message("bandurria: A4\n").find("line 1"), std::string::npos);
  EXPECT_NE(message("\n\nchords: D Xm\n").find("line 3"), std::string::npos);
  EXPECT_NE(message("trumpet: A4:1\n").find("unknown voice"), std::string::npos);
  EXPECT_NE(message("tempo fast\n").find("line 1"), std::string::npos);
  EXPECT_EQ(message("# nothing\n"), "note list: no music in it");
}

TEST(Synthesis, LastsTheScorePlusItsRingAndUsesBothChannels) {
  const auto score = parseScore("tempo 120\nmeter 3\nchords: D G\nbandurria: D5:3 B4:3\nflute: r:3 G4:3\n");
  const auto pcm = content::synthesize(score, 8000);
  // 6 beats at 120 a minute = 3 s, plus 2 s of ring; interleaved stereo.
  EXPECT_EQ(pcm.size(), size_t(5 * 8000 * 2));
  double left = 0, right = 0;
  int peak = 0;
  for (size_t i = 0; i < pcm.size(); i += 2) {
    left += std::abs(pcm[i]);
    right += std::abs(pcm[i + 1]);
    peak = std::max({peak, std::abs(int(pcm[i])), std::abs(int(pcm[i + 1]))});
  }
  EXPECT_GT(left, 0);
  EXPECT_GT(right, 0);
  EXPECT_NE(left, right);  // voices are panned, not mono
  EXPECT_LE(peak, 32767);
  EXPECT_GT(peak, 25000);  // normalised near full scale
  // The same score always gives the same sound.
  EXPECT_EQ(content::synthesize(score, 8000), pcm);
}

TEST(Tune, DecodesAsStereo44100OfAboutFortyFiveSecondsWithItsTitle) {
  const QString path = programDir() + QStringLiteral("Musica/Ondravia.mp3");
  mpg123_handle* mh = mpg123_new(nullptr, nullptr);
  ASSERT_NE(mh, nullptr);
  ASSERT_EQ(mpg123_open(mh, path.toLocal8Bit().constData()), MPG123_OK);
  long rate = 0;
  int channels = 0, encoding = 0;
  ASSERT_EQ(mpg123_getformat(mh, &rate, &channels, &encoding), MPG123_OK);
  EXPECT_EQ(rate, 44100);
  EXPECT_EQ(channels, 2);
  mpg123_id3v1* v1 = nullptr;
  mpg123_id3v2* v2 = nullptr;
  ASSERT_EQ(mpg123_id3(mh, &v1, &v2), MPG123_OK);
  ASSERT_NE(v2, nullptr);
  ASSERT_NE(v2->title, nullptr);
  EXPECT_STREQ(v2->title->p, "Ondravia");
  std::vector<unsigned char> buffer(65536);
  size_t done = 0, total = 0;
  double energy = 0;
  int result;
  while ((result = mpg123_read(mh, buffer.data(), buffer.size(), &done)) == MPG123_OK || result == MPG123_NEW_FORMAT) {
    total += done;
    const auto* s = reinterpret_cast<const short*>(buffer.data());
    for (size_t i = 0; i < done / 2; i += 97) energy += std::abs(s[i]);
  }
  EXPECT_EQ(result, MPG123_DONE);
  mpg123_close(mh);
  mpg123_delete(mh);
  const double seconds = double(total) / (44100.0 * 4);
  EXPECT_GE(seconds, 40.0);
  EXPECT_LE(seconds, 50.0);
  EXPECT_GT(energy, 0);
}

TEST(Tune, TheMpg123PlayerDecodesAtLeastFortySeconds) {
  QProcess player;
  player.start(QStringLiteral("mpg123"),
               {QStringLiteral("-q"), QStringLiteral("-s"), programDir() + QStringLiteral("Musica/Ondravia.mp3")});
  ASSERT_TRUE(player.waitForStarted(5000)) << "mpg123 is not installed";
  ASSERT_TRUE(player.waitForFinished(30000));
  EXPECT_EQ(player.exitCode(), 0);
  const QByteArray pcm = player.readAllStandardOutput();
  EXPECT_GE(pcm.size(), 40 * 44100 * 4);
}

}  // namespace
}  // namespace vardel::test
