// Windows code pages through iconv: tables for the single-byte ones, conversion for the rest.
#include "platform/richedit/codepage.h"

#include "platform/textcodec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace vardel::platform::rtf {

int codePageOfCharset(int charset) {
  switch (charset) {
    case 0:
      return 1252;  // ANSI is Windows-1252 whatever the document's code page
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 254:
      return 437;
    case 255:
      return 850;
    default:
      return 0;
  }
}

namespace {

bool isMultiByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

QByteArray iconvName(int codePage) {
  switch (codePage) {
    case 10000:
      return "MACINTOSH";
    case 932:
      return "CP932";
    case 950:
      return "CP950";
    default:
      return "CP" + QByteArray::number(codePage);
  }
}

using Table = std::array<char16_t, 256>;

// One table per single-byte code page, built once from iconv.
const Table* singleByteTable(int codePage) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<Table>> tables;
  std::lock_guard lock(mutex);
  auto found = tables.find(codePage);
  if (found != tables.end()) return found->second.get();
  std::unique_ptr<Table> table;
  iconv_t cd = iconv_open("UTF-16LE", iconvName(codePage).constData());
  if (cd != iconv_t(-1)) {
    table = std::make_unique<Table>();
    for (int b = 0; b < 256; ++b) {
      char in = char(b);
      char16_t out[2] = {0xFFFD, 0};
      char* inPtr = &in;
      size_t inLeft = 1;
      char* outPtr = reinterpret_cast<char*>(out);
      size_t outLeft = sizeof(out);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || outLeft != sizeof(out) - 2) out[0] = 0xFFFD;
      (*table)[b] = out[0];
    }
    iconv_close(cd);
  }
  return tables.emplace(codePage, std::move(table)).first->second.get();
}

// Multi-byte code pages: iconv over the whole run, one replacement character and one byte
// skipped for every sequence it cannot convert.
bool appendMultiByte(QString& out, QByteArrayView bytes, int codePage) {
  iconv_t cd = iconv_open("UTF-16LE", iconvName(codePage).constData());
  if (cd == iconv_t(-1)) return false;
  const qsizetype start = out.size();
  out.resize(start + bytes.size() + 1);
  char* inPtr = const_cast<char*>(bytes.data());
  size_t inLeft = size_t(bytes.size());
  char* outPtr = reinterpret_cast<char*>(out.data() + start);
  size_t outLeft = size_t(bytes.size() + 1) * 2;
  while (inLeft > 0) {
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1)) break;
    if (errno == E2BIG || outLeft < 2) break;  // cannot happen: one unit per byte at most
    // Invalid or incomplete sequence: replace its first byte.
    *reinterpret_cast<char16_t*>(outPtr) = 0xFFFD;
    outPtr += 2;
    outLeft -= 2;
    ++inPtr;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  out.resize((reinterpret_cast<QChar*>(outPtr) - out.data()));
  return true;
}

// The byte of a character Windows-1252 holds as it is; 0 for one it lacks.
char windows1252Byte(QChar ch) {
  const QByteArray b = encodeWindows1252(QStringView(&ch, 1));
  return b.size() == 1 && (b[0] != '?' || ch == QLatin1Char('?')) ? b[0] : 0;
}

}  // namespace

char closestWindows1252(QChar ch, bool asciiOnly) {
  const auto fits = [asciiOnly](char b) { return b != 0 && (!asciiOnly || static_cast<unsigned char>(b) < 0x80); };
  if (const char b = windows1252Byte(ch); fits(b)) return b;
  // Letters and signs that decompose to nothing the code page holds.
  static const std::pair<char16_t, char> kStandIns[] = {
      {0x0110, 'D'},  {0x0111, 'd'}, {0x0126, 'H'}, {0x0127, 'h'},  {0x0131, 'i'},  {0x0141, 'L'},
      {0x0142, 'l'},  {0x0166, 'T'}, {0x0167, 't'}, {0x0180, 'b'},  {0x0197, 'I'},  {0x01B5, 'Z'},
      {0x01B6, 'z'},  {0x2010, '-'}, {0x2011, '-'}, {0x2012, '-'},  {0x2015, '-'},  {0x2212, '-'},
      {0x2032, '\''}, {0x2033, '"'}, {0x2043, '-'}, {0x2044, '/'},  {0x2215, '/'},  {0x2217, '*'},
      {0x2223, '|'},  {0x2236, ':'}, {0x223C, '~'}, {0x02BC, '\''}, {0x02C8, '\''}, {0x02D0, ':'}};
  // Decomposition, first character first: ő is o and a combining mark, ǖ is ü and a macron.
  QChar c = ch;
  for (int depth = 0; depth < 4; ++depth) {
    for (const auto& [from, to] : kStandIns)
      if (c.unicode() == from) return to;
    const QString decomposed = c.decomposition();
    if (decomposed.isEmpty()) break;
    c = decomposed.at(0);
    if (const char b = windows1252Byte(c); fits(b)) return b;
  }
  return '?';
}

void appendDecoded(QString& out, QByteArrayView bytes, int codePage) {
  if (bytes.isEmpty()) return;
  if (codePage == 1252 || codePage == 0) {
    out += decodeWindows1252(bytes);
    return;
  }
  if (isMultiByte(codePage)) {
    if (appendMultiByte(out, bytes, codePage)) return;
  } else if (const Table* table = singleByteTable(codePage)) {
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    QChar* p = out.data() + start;
    for (const char c : bytes) *p++ = QChar((*table)[static_cast<unsigned char>(c)]);
    return;
  }
  out += decodeWindows1252(bytes);
}

}  // namespace vardel::platform::rtf
