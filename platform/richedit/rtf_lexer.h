// The RTF lexer: the control words the reader knows, and scanning of words, escapes and
// skipped groups over bytes.
#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <string_view>

namespace vardel::platform::rtf {

enum class Kw : uint8_t {
  // destinations
  DestSkip,
  DestUnkept,  // skipped, and lost on writing: objects, shapes, drawings
  DestPict,
  DestShpPict,
  DestFontTable,
  DestColorTable,
  DestListText,
  DestPn,
  DestListTable,
  DestListOverrideTable,
  DestUpr,
  DestUd,
  DestFieldResult,
  DestField,
  // document
  Rtf,
  Ansi,
  Mac,
  Pc,
  Pca,
  AnsiCpg,
  Deff,
  Uc,
  U,
  Bin,
  // font table
  F,
  FCharset,
  FPrq,
  Cpg,
  // colour table
  Red,
  Green,
  Blue,
  // characters
  Plain,
  Fs,
  B,
  I,
  Ul,
  UlNone,
  Strike,
  Cf,
  V,
  // paragraphs
  Pard,
  Fi,
  Li,
  Ri,
  Ql,
  Qr,
  Qc,
  Qj,
  Ls,
  PnLvlBlt,
  PnLvlNumbered,
  // list tables
  List,
  ListId,
  ListLevel,
  LevelNfc,
  ListOverride,
  // text
  Par,
  Line,
  Tab,
  Cell,
  Row,
  Char,
};

struct Keyword {
  Kw kind;
  char16_t ch = 0;  // for Kw::Char
};

// The entry of a control word (letters only, at most 32), or nullptr for one we ignore.
const Keyword* findKeyword(std::string_view name);

struct Word {
  std::string_view name;
  long long value;  // clamped to 32 bits
  bool hasValue;
};

// A position in the bytes, and the moves over them that do not depend on what the words mean.
class Scanner {
 public:
  explicit Scanner(QByteArrayView in) : in_(in) {}

 protected:
  // Reads a control word at pos_ (which is at the backslash): letters, an optional signed
  // number (any number of digits is consumed), an optional space.
  Word readWord();
  // Skips to the end of the current group, with its nested groups, quickly: only braces,
  // escapes and binary data matter. Leaves the closing brace for the main loop.
  void skipToGroupEnd();
  // Skips `count` bytes of binary data (\binN), no further than the end.
  void skipBinary(long long count);

  static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static int hexValue(char c);

  QByteArrayView in_;
  qsizetype pos_ = 0;
};

}  // namespace vardel::platform::rtf
