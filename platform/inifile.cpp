// INI parsing and value conversion.
#include "platform/inifile.h"

#include "platform/integer_text.h"
#include "platform/paths.h"
#include "platform/textcodec.h"

#include <QFile>

namespace vardel::platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView trimmed(QByteArrayView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.sliced(begin, end - begin);
}

QString keyText(QByteArrayView bytes) { return decodeWindowsText(trimmed(bytes)); }

}  // namespace

IniFile IniFile::fromBytes(const QByteArray& bytes) {
  IniFile ini;
  QByteArrayView rest(bytes);
  // A UTF-8 byte order mark in front of the first line is not part of it.
  if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3);
  Section* current = nullptr;
  while (!rest.isEmpty()) {
    qsizetype lineEnd = 0;
    while (lineEnd < rest.size() && rest[lineEnd] != '\n' && rest[lineEnd] != '\r') ++lineEnd;
    const QByteArrayView line = trimmed(rest.first(lineEnd));
    rest = rest.sliced(lineEnd);
    while (!rest.isEmpty() && (rest.front() == '\n' || rest.front() == '\r')) rest = rest.sliced(1);

    if (line.isEmpty()) continue;
    if (line.front() == '[') {
      const qsizetype close = line.lastIndexOf(']');
      const QByteArrayView name = close > 0 ? line.sliced(1, close - 1) : line.sliced(1);
      ini.sections_.push_back(Section{keyText(name), {}});
      current = &ini.sections_.back();
      continue;
    }
    if (!current) continue;  // entries before the first section belong to none
    const qsizetype equals = line.indexOf('=');
    Entry entry;
    if (equals < 0) {
      entry.key = keyText(line);  // a bare key reads as an empty value
    } else {
      entry.key = keyText(line.first(equals));
      QByteArrayView value = trimmed(line.sliced(equals + 1));
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.sliced(1, value.size() - 2);
      }
      const qsizetype zero = value.indexOf('\0');
      if (zero >= 0) value = value.first(zero);  // values are C strings on Windows
      entry.value = value.toByteArray();
    }
    current->entries.push_back(std::move(entry));
  }
  return ini;
}

IniFile IniFile::open(const QString& path) {
  QFile file(nativePath(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return fromBytes(file.readAll());
}

const IniFile::Entry* IniFile::find(const QString& section, const QString& key) const {
  for (const Section& s : sections_) {
    if (s.name.compare(section, Qt::CaseInsensitive) != 0) continue;
    for (const Entry& e : s.entries) {
      if (e.key.compare(key, Qt::CaseInsensitive) == 0) return &e;
    }
    return nullptr;  // only the first section of a name is searched, as Windows does
  }
  return nullptr;
}

bool IniFile::hasKey(const QString& section, const QString& key) const { return find(section, key) != nullptr; }

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
  const Entry* entry = find(section, key);
  if (!entry) return defaultValue;
  QString value = decodeWindowsText(entry->value);
  if (value.size() > kIniValueMaxLength) value.truncate(kIniValueMaxLength);
  return value;
}

std::int32_t IniFile::readInteger(const QString& section, const QString& key, std::int32_t defaultValue) const {
  const Entry* entry = find(section, key);
  if (!entry) return defaultValue;
  return parseIniInteger(readString(section, key, QString()), defaultValue);
}

std::int32_t parseIniInteger(const QString& text, std::int32_t defaultValue) {
  return parseInteger(text, IntegerRules::Ini).value_or(defaultValue);
}

}  // namespace vardel::platform
