// Cue sheets: which files a disc image is made of and where its tracks start in them.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace vardel::platform::cd {

struct CueTrack {
  int number = 0;
  bool audio = true;
  int sectorBytes = 2352;    // bytes a sector of this track takes in a binary file
  std::int32_t index1 = -1;  // start within its file, in sectors (1/75 s); -1 when missing
};

struct CueFile {
  enum class Type { Binary, Motorola, Audio };  // BINARY, MOTOROLA, or an audio file (WAVE, MP3, AIFF, FLAC)
  QString name;                                 // as written
  Type type = Type::Binary;
  std::vector<CueTrack> tracks;
};

struct CueSheet {
  std::vector<CueFile> files;
};

// Parses the text of a cue sheet. Unknown commands are skipped. Null when it names no file
// with a track, a track lies outside any file, or a track has no INDEX 01.
std::optional<CueSheet> parseCueSheet(const QByteArray& text);

}  // namespace vardel::platform::cd
