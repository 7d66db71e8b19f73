// The cue sheet parser: one command a line, words separated by blanks, names in double quotes.
#include "platform/mci/cue_sheet.h"

#include <QList>

namespace vardel::platform::cd {
namespace {

QList<QByteArray> words(const QByteArray& line) {
  QList<QByteArray> out;
  qsizetype i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    QByteArray word;
    if (line[i] == '"') {
      const qsizetype close = line.indexOf('"', i + 1);
      const qsizetype end = close < 0 ? line.size() : close;
      word = line.mid(i + 1, end - i - 1);
      i = end + 1;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
    }
    out << word;
  }
  return out;
}

// "mm:ss:ff" to sectors; -1 when malformed.
std::int32_t sectors(const QByteArray& msf) {
  const QList<QByteArray> parts = msf.split(':');
  if (parts.size() != 3) return -1;
  bool ok[3];
  const int m = parts[0].toInt(&ok[0]), s = parts[1].toInt(&ok[1]), f = parts[2].toInt(&ok[2]);
  if (!ok[0] || !ok[1] || !ok[2] || m < 0 || m > 999 || s < 0 || s > 59 || f < 0 || f > 74) return -1;
  return (m * 60 + s) * 75 + f;
}

int sectorBytesOf(const QByteArray& type) {
  if (type == "MODE1/2048") return 2048;
  if (type == "MODE2/2336") return 2336;
  if (type == "CDG") return 2448;
  return 2352;
}

}  // namespace

std::optional<CueSheet> parseCueSheet(const QByteArray& text) {
  CueSheet sheet;
  CueFile* file = nullptr;
  CueTrack* track = nullptr;
  QByteArray body = text;
  if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
  for (QByteArray line : body.split('\n')) {
    const QList<QByteArray> w = words(line.trimmed());
    if (w.isEmpty()) continue;
    const QByteArray command = w[0].toUpper();
    if (command == "FILE" && w.size() >= 2) {
      CueFile f;
      f.name = QString::fromUtf8(w[1]);
      const QByteArray type = w.size() >= 3 ? w[2].toUpper() : QByteArray("BINARY");
      f.type = type == "BINARY"     ? CueFile::Type::Binary
               : type == "MOTOROLA" ? CueFile::Type::Motorola
                                    : CueFile::Type::Audio;
      sheet.files.push_back(f);
      file = &sheet.files.back();
      track = nullptr;
    } else if (command == "TRACK" && w.size() >= 3) {
      if (!file) return std::nullopt;
      CueTrack t;
      t.number = w[1].toInt();
      const QByteArray type = w[2].toUpper();
      t.audio = type == "AUDIO";
      t.sectorBytes = sectorBytesOf(type);
      file->tracks.push_back(t);
      track = &file->tracks.back();
    } else if (command == "INDEX" && w.size() >= 3 && track) {
      if (w[1].toInt() == 1) track->index1 = sectors(w[2]);
    }
  }
  bool anyTrack = false;
  for (const CueFile& f : sheet.files) {
    for (const CueTrack& t : f.tracks) {
      if (t.index1 < 0) return std::nullopt;
      anyTrack = true;
    }
  }
  if (!anyTrack) return std::nullopt;
  return sheet;
}

}  // namespace vardel::platform::cd
