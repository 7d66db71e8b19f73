// Tumblo's table of records: the ten best games, kept in a small text file in the game's
// folder (the current folder when the game starts).
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace tumblo {

struct Record {
  QString name;
  int score = 0;
  int level = 1;
  int lines = 0;
};

inline constexpr int kMaxRecords = 10;
inline constexpr int kMaxNameLength = 20;

class Scores {
 public:
  // Reads the table from text ("score<TAB>level<TAB>lines<TAB>name" per line, UTF-8). Lines
  // that are not such a record are skipped; the best kMaxRecords are kept, best first.
  static Scores fromBytes(const QByteArray& bytes);
  QByteArray toBytes() const;

  // Reads `path`; a missing or unreadable file gives an empty table.
  static Scores load(const QString& path);
  // Writes the table to `path` through a temporary file, so a crash never leaves half a
  // table. Returns false (and keeps the table in memory) when the folder is read-only, as
  // on a disc.
  bool save(const QString& path) const;

  // True when `score` would enter the table.
  bool qualifies(int score) const;
  // Adds a record (name trimmed, cut to kMaxNameLength, "Anónimo" when empty); returns its
  // place from 0, or -1 when it does not qualify.
  int add(Record record);

  const std::vector<Record>& records() const { return records_; }

 private:
  std::vector<Record> records_;
};

// The file name of the table inside the game's folder.
inline const char* const kScoresFile = "Tumblo.txt";

}  // namespace tumblo
