// INI parsing and value conversion.
#include "platform/inifile.h"

#include "platform/integer_text.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/textcodec.h"

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

bool isAscii(QByteArrayView bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool isAscii(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() >= 0x80) return false;
  return true;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool asciiEqualIgnoringCase(QByteArrayView bytes, const QString& text) {
  if (bytes.size() != text.size()) return false;
  for (qsizetype i = 0; i < bytes.size(); ++i)
    if (asciiLower(bytes[i]) != asciiLower(char(text[i].unicode()))) return false;
  return true;
}

// Names compare as Windows compares them, without regard to case. ASCII names, nearly all of
// them, are compared as bytes; any other is decoded first.
bool sameName(QByteArrayView bytes, bool asciiBytes, const QString& name, bool asciiName) {
  if (asciiBytes && asciiName) return asciiEqualIgnoringCase(bytes, name);
  return decodeWindowsText(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

}  // namespace

IniFile IniFile::fromBytes(const QByteArray& bytes) {
  IniFile ini;
  ini.bytes_ = bytes;
  const QByteArrayView all(ini.bytes_);
  qsizetype at = 0;
  // A UTF-8 byte order mark in front of the first line is not part of it.
  if (all.startsWith("\xEF\xBB\xBF")) at = 3;
  Section* current = nullptr;
  const char* data = all.data();
  while (at < all.size()) {
    qsizetype lineEnd = at;
    while (lineEnd < all.size() && data[lineEnd] != '\n' && data[lineEnd] != '\r') ++lineEnd;
    const QByteArrayView line = trimmed(all.sliced(at, lineEnd - at));
    at = lineEnd;
    while (at < all.size() && (data[at] == '\n' || data[at] == '\r')) ++at;

    if (line.isEmpty()) continue;
    if (line.front() == '[') {
      const qsizetype close = line.lastIndexOf(']');
      const QByteArrayView name = close > 0 ? line.sliced(1, close - 1) : line.sliced(1);
      ini.sections_.push_back(Section{decodeWindowsText(trimmed(name)), {}});
      current = &ini.sections_.back();
      continue;
    }
    if (!current) continue;  // entries before the first section belong to none
    const qsizetype equals = line.indexOf('=');
    // A bare key reads as an empty value.
    const QByteArrayView key = trimmed(equals < 0 ? line : line.first(equals));
    QByteArrayView value = equals < 0 ? QByteArrayView() : trimmed(line.sliced(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.sliced(1, value.size() - 2);
    }
    const qsizetype zero = value.indexOf('\0');
    if (zero >= 0) value = value.first(zero);  // values are C strings on Windows
    Entry entry;
    entry.keyAt = key.data() - data;
    entry.keyLength = int(key.size());  // a line is shorter than the file, at most kMaxIniBytes
    entry.valueAt = value.isNull() ? 0 : value.data() - data;
    entry.valueLength = int(value.size());
    entry.asciiKey = isAscii(key);
    current->entries.push_back(entry);
  }
  return ini;
}

IniFile IniFile::open(const QString& path) {
  const std::optional<QByteArray> bytes = readRegularFile(nativePath(path), kMaxIniBytes);
  return bytes ? fromBytes(*bytes) : IniFile();
}

const IniFile::Entry* IniFile::find(const QString& section, const QString& key) const {
  for (const Section& s : sections_) {
    if (s.name.compare(section, Qt::CaseInsensitive) != 0) continue;
    const bool asciiKey = isAscii(key);
    for (const Entry& e : s.entries) {
      if (sameName(keyOf(e), e.asciiKey, key, asciiKey)) return &e;
    }
    return nullptr;  // only the first section of a name is searched, as Windows does
  }
  return nullptr;
}

bool IniFile::hasKey(const QString& section, const QString& key) const { return find(section, key) != nullptr; }

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
  const Entry* entry = find(section, key);
  if (!entry) return defaultValue;
  QString value = decodeWindowsText(valueOf(*entry));
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
