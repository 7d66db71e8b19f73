// Private-profile INI reading with the rules of Windows' GetPrivateProfileString.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace vardel::platform {

// Longest text value returned: the 1024-byte buffer of the original reader, less its zero.
inline constexpr int kIniValueMaxLength = 1023;

// One INI file held in memory. Sections and keys match without regard to case; the first
// section and the first key of a given name win. A value is the text after the first '=',
// with surrounding blanks removed and one pair of enclosing quotes (" or ') removed.
// Text is decoded per value: valid UTF-8 as UTF-8, anything else as Windows-1252, so files
// written by Windows programs and by Linux editors both read right. The file is read and split
// into lines once; names and values stay bytes until a read asks for them, so a large file
// costs one pass however many values are read.
class IniFile {
 public:
  IniFile() = default;

  // Parses INI text; never fails (garbage simply yields no entries).
  static IniFile fromBytes(const QByteArray& bytes);
  // Reads and parses a file named as the program names it (see nativePath); a missing or
  // unreadable file gives an empty IniFile, in which every read returns its default. So does
  // anything but a regular file of at most kMaxIniBytes (file_limits.h): a pipe or a device in
  // its place is never waited on.
  static IniFile open(const QString& path);

  // The value of `key` in `section`, cut to kIniValueMaxLength characters; `defaultValue`
  // when the section or key is missing.
  QString readString(const QString& section, const QString& key, const QString& defaultValue) const;

  // The value converted by parseIniInteger; `defaultValue` when missing or not a number.
  std::int32_t readInteger(const QString& section, const QString& key, std::int32_t defaultValue) const;

  bool hasKey(const QString& section, const QString& key) const;

 private:
  // Places in bytes_: the key trimmed, the value trimmed, unquoted and cut at a zero.
  struct Entry {
    qsizetype keyAt = 0;
    qsizetype valueAt = 0;
    int keyLength = 0;
    int valueLength = 0;
    bool asciiKey = true;
  };
  struct Section {
    QString name;
    std::vector<Entry> entries;
  };
  const Entry* find(const QString& section, const QString& key) const;
  QByteArrayView keyOf(const Entry& entry) const { return QByteArrayView(bytes_).sliced(entry.keyAt, entry.keyLength); }
  QByteArrayView valueOf(const Entry& entry) const {
    return QByteArrayView(bytes_).sliced(entry.valueAt, entry.valueLength);
  }

  QByteArray bytes_;
  std::vector<Section> sections_;
};

// Integer conversion of an INI value by IntegerRules::Ini (platform/integer_text.h); anything
// that is not wholly such a number yields `defaultValue`.
std::int32_t parseIniInteger(const QString& text, std::int32_t defaultValue);

}  // namespace vardel::platform
