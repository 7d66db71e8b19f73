// Tumblo's records file.
#include "content/tumblo/scores.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace tumblo {
namespace {

QString cleanName(QString name) {
  name = name.simplified();
  name.remove(QLatin1Char('\t'));
  if (name.size() > kMaxNameLength) name.truncate(kMaxNameLength);
  if (name.isEmpty()) name = QStringLiteral("Anónimo");
  return name;
}

void sortAndTrim(std::vector<Record>& records) {
  std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.score > b.score; });
  if (records.size() > size_t(kMaxRecords)) records.resize(kMaxRecords);
}

}  // namespace

Scores Scores::fromBytes(const QByteArray& bytes) {
  Scores scores;
  for (QByteArray line : bytes.split('\n')) {
    // Only the line end goes: a trailing tab is an empty name, not a missing field.
    if (line.endsWith('\r')) line.chop(1);
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 4) continue;
    bool okScore = false, okLevel = false, okLines = false;
    Record r;
    r.score = fields[0].trimmed().toInt(&okScore);
    r.level = fields[1].trimmed().toInt(&okLevel);
    r.lines = fields[2].trimmed().toInt(&okLines);
    if (!okScore || !okLevel || !okLines || r.score < 0 || r.level < 1 || r.lines < 0) continue;
    r.name = cleanName(QString::fromUtf8(fields[3]));
    scores.records_.push_back(r);
  }
  sortAndTrim(scores.records_);
  return scores;
}

QByteArray Scores::toBytes() const {
  QByteArray out;
  for (const Record& r : records_) {
    out += QByteArray::number(r.score) + '\t' + QByteArray::number(r.level) + '\t' + QByteArray::number(r.lines) +
           '\t' + r.name.toUtf8() + '\n';
  }
  return out;
}

Scores Scores::load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  // A records file has at most a few hundred bytes; refuse to read a huge stranger.
  return fromBytes(file.read(64 * 1024));
}

bool Scores::save(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = toBytes();
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool Scores::qualifies(int score) const {
  return score > 0 && (records_.size() < size_t(kMaxRecords) || score > records_.back().score);
}

int Scores::add(Record record) {
  if (!qualifies(record.score)) return -1;
  record.name = cleanName(record.name);
  // A new record goes after older ones of the same score: the first to reach it keeps it.
  auto at = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.score < record.score; });
  const int place = int(at - records_.begin());
  records_.insert(at, record);
  sortAndTrim(records_);
  return place;
}

}  // namespace tumblo
