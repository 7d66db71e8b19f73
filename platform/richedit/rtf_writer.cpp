// The RTF writer: the document's text and the rich-edit model as RTF 1.x, ASCII only.
#include "platform/richedit/codepage.h"
#include "platform/richedit/format_properties.h"
#include "platform/richedit/rtf.h"
#include "platform/richedit/rtf_picture.h"
#include "platform/textcodec.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace vardel::platform::rtf {

using namespace richtext;

namespace {

struct FontKey {
  QString name;
  int charset = 0;
  int pitch = 0;
  bool operator<(const FontKey& o) const {
    return std::tie(name, charset, pitch) < std::tie(o.name, o.charset, o.pitch);
  }
};

// What a character run looks like, resolved against the control's defaults.
struct RunStyle {
  int font = 0;
  int halfPoints = 24;
  bool bold = false, italic = false, underline = false, strike = false;
  int color = 0;  // 0: the automatic colour
  bool operator==(const RunStyle&) const = default;
};

// Code pages in which \'hh stands for Windows-1252 bytes: the document's and that of character
// sets that leave it to the document.
bool writesWindows1252(int charset) { return charset == 0 || charset == 1; }

const char* fontFamily(const FontKey& key) {
  const QString n = key.name.toLower();
  if (key.charset == 2) return "\\ftech";
  if (key.pitch == 1 || n.startsWith(QStringLiteral("courier"))) return "\\fmodern";
  if (n.contains(QStringLiteral("times")) || n.contains(QStringLiteral("roman")) ||
      (n.contains(QStringLiteral("serif")) && !n.contains(QStringLiteral("sans"))))
    return "\\froman";
  if (n.contains(QStringLiteral("arial")) || n.contains(QStringLiteral("sans")) ||
      n.contains(QStringLiteral("helvetica")))
    return "\\fswiss";
  return "\\fnil";
}

class Writer {
 public:
  Writer(const QTextDocument& document, const Defaults& defaults) : doc_(document), defaults_(defaults) {
    defaultFont_ = document.defaultFont();
    fontIndex({familyName(defaultFont_.family()), defaults.charset == 1 ? 0 : defaults.charset, defaults.pitch});
  }

  // The characters [from, to); the whole document ends its last paragraph with \par too, as
  // other writers do (the reader drops an unterminated empty paragraph at the end).
  QByteArray write(int from, int to, bool wholeDocument) {
    // Collect the runs first: the tables come before the text.
    struct Run {
      QString text;
      RunStyle style;
      int charset;
      std::optional<QTextImageFormat> image;  // each character of the text is this image
    };
    struct Piece {
      QTextBlock block;
      std::vector<Run> runs;
      RunStyle mark;  // the paragraph mark's style (an empty paragraph's height)
      bool terminated;
    };
    std::vector<Piece> pieces;
    const QTextBlock first = doc_.findBlock(from);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
      if (block.position() >= to && block != first && !wholeDocument) break;
      const int separator = block.position() + block.length() - 1;
      // Fonts and colours are numbered in the order the text uses them, so writing what was
      // read gives the same tables.
      Piece piece{block, {}, {}, separator < to || (wholeDocument && !block.next().isValid())};
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = std::max(from, fragment.position());
        const int end = std::min(to, fragment.position() + fragment.length());
        if (start >= end) continue;
        int charset = 0;
        const QTextCharFormat format = fragment.charFormat();
        const RunStyle style = styleOf(format, &charset);
        std::optional<QTextImageFormat> image;
        if (format.isImageFormat()) image = format.toImageFormat();
        piece.runs.push_back({fragment.text().mid(start - fragment.position(), end - start), style, charset, image});
      }
      if (piece.runs.empty()) piece.mark = styleOf(block.charFormat(), nullptr);
      pieces.push_back(std::move(piece));
    }
    bool anyBullets = false;
    for (const Piece& p : pieces) anyBullets = anyBullets || isBulleted(p.block);
    if (anyBullets) symbolFont_ = fontIndex({QStringLiteral("Symbol"), 2, 2});

    out_.reserve(qsizetype(to - from) * 2 + 1024);
    out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720";
    writeFontTable();
    writeColorTable();
    if (anyBullets) writeListTables();
    out_ += "{\\*\\generator VARDEL;}\\viewkind4\\uc1\r\n";
    for (const Piece& p : pieces) {
      writeParagraphStart(p.block);
      for (const Run& run : p.runs) {
        writeStyle(run.style);
        if (run.image) {
          for (qsizetype i = 0; i < run.text.size(); ++i) writePicture(out_, *run.image, doc_);
          delimit_ = false;
        } else {
          writeText(run.text, run.charset);
        }
      }
      if (p.runs.empty()) writeStyle(p.mark);
      if (p.terminated) {
        out_ += "\\par\r\n";
        delimit_ = false;
      }
    }
    out_ += "}\r\n";
    return out_;
  }

 private:
  RunStyle styleOf(const QTextCharFormat& format, int* charsetOut) {
    const QFont font = format.font().resolve(defaultFont_);
    const int charset = format.hasProperty(kCharset) ? format.intProperty(kCharset) : defaults_.charset;
    const int pitch = format.hasProperty(kPitch) ? format.intProperty(kPitch) : defaults_.pitch;
    if (charsetOut) *charsetOut = charset;
    RunStyle s;
    s.font = fontIndex({familyName(font.family()), charset == 1 ? 0 : charset, pitch});
    double points = pointSizeOf(font);
    if (format.hasProperty(QTextFormat::FontPointSize)) points = format.fontPointSize();
    s.halfPoints = std::clamp(int(std::lround(points * 2)), 1, kMaxFontHalfPoints);
    s.bold = font.weight() >= QFont::DemiBold;
    s.italic = font.italic();
    s.underline = font.underline();
    s.strike = font.strikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush))
      s.color = colorIndex(format.foreground().color());
    else if (defaults_.color.isValid() && defaults_.color.rgb() != QColor(Qt::black).rgb())
      s.color = colorIndex(defaults_.color);
    return s;
  }

  int fontIndex(const FontKey& key) {
    auto [it, added] = fontIndices_.emplace(key, int(fonts_.size()));
    if (added) fonts_.push_back(key);
    return it->second;
  }

  int colorIndex(const QColor& color) {
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    auto [it, added] = colorIndices_.emplace(rgb, int(colors_.size()) + 1);
    if (added) colors_.push_back(rgb);
    return it->second;
  }

  void word(const char* w) {
    out_ += w;
    delimit_ = true;
  }
  void word(const char* w, long long n) {
    out_ += w;
    out_ += QByteArray::number(n);
    delimit_ = true;
  }

  void writeFontTable() {
    out_ += "{\\fonttbl";
    for (size_t i = 0; i < fonts_.size(); ++i) {
      const FontKey& f = fonts_[i];
      out_ += "{\\f" + QByteArray::number(qulonglong(i)) + fontFamily(f);
      out_ += "\\fcharset" + QByteArray::number(f.charset);
      if (f.pitch) out_ += "\\fprq" + QByteArray::number(f.pitch);
      out_ += ' ';
      QString name = f.name;
      name.remove(QChar(u';'));
      delimit_ = false;
      writeText(name, f.charset);  // a name is read in its own font's code page
      out_ += ";}";
    }
    out_ += "}";
  }

  void writeColorTable() {
    out_ += "{\\colortbl ;";
    for (const QRgb c : colors_)
      out_ += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue" +
              QByteArray::number(qBlue(c)) + ';';
    out_ += "}";
  }

  // The list-table form of bullets (Word 97 and later, LibreOffice); the paragraphs also
  // carry the older \pn form, which rich-edit controls read.
  void writeListTables() {
    out_ +=
        "{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0"
        "\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace0\\levelindent0{\\leveltext\\'01\\u8226\\'95;}"
        "{\\levelnumbers;}\\fi-200\\li200}{\\listname ;}\\listid1}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}";
  }

  void writeParagraphStart(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    const Indents in = indentsOf(format);
    out_ += "\\pard";
    delimit_ = true;
    const bool bullet = isBulleted(block);
    if (bullet) {
      word("\\ls1");
      out_ += "{\\pntext\\f" + QByteArray::number(symbolFont_) + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" +
              QByteArray::number(symbolFont_) + "\\pnindent" + QByteArray::number(std::max(0, in.left)) +
              "{\\pntxtb\\'b7}}";
      delimit_ = false;
    }
    // Rich-edit model to RTF: \li is where the following lines start, \fi moves the first.
    if (in.left) word("\\fi", -static_cast<long long>(in.left));
    if (in.first + in.left) word("\\li", static_cast<long long>(in.first) + in.left);
    if (in.right) word("\\ri", in.right);
    const Qt::Alignment a = format.alignment();
    if (a & Qt::AlignRight)
      word("\\qr");
    else if (a & Qt::AlignHCenter)
      word("\\qc");
    else if (a & Qt::AlignJustify)
      word("\\qj");
  }

  void writeStyle(const RunStyle& s) {
    const bool fresh = !current_;
    const RunStyle was = fresh ? RunStyle{-1, -1, false, false, false, false, 0} : *current_;
    if (fresh || s.font != was.font) word("\\f", s.font);
    if (fresh || s.halfPoints != was.halfPoints) word("\\fs", s.halfPoints);
    if (s.bold != was.bold) word(s.bold ? "\\b" : "\\b0");
    if (s.italic != was.italic) word(s.italic ? "\\i" : "\\i0");
    if (s.underline != was.underline) word(s.underline ? "\\ul" : "\\ulnone");
    if (s.strike != was.strike) word(s.strike ? "\\strike" : "\\strike0");
    if (fresh || s.color != was.color) word("\\cf", s.color);
    current_ = s;
  }

  void writeText(const QString& text, int charset) {
    const bool cp1252 = writesWindows1252(charset);
    for (const QChar ch : text) {
      const char16_t u = ch.unicode();
      if (u >= 0x20 && u < 0x80) {
        if (u == '\\' || u == '{' || u == '}') {
          out_ += '\\';
          out_ += char(u);
          delimit_ = false;
          continue;
        }
        if (delimit_) out_ += ' ';
        delimit_ = false;
        out_ += char(u);
        continue;
      }
      switch (u) {
        case u'\t':
          word("\\tab");
          continue;
        case QChar::LineSeparator:
          word("\\line");
          continue;
        case QChar::Nbsp:
          out_ += "\\~";
          delimit_ = false;
          continue;
        case 0x00AD:
          out_ += "\\-";
          delimit_ = false;
          continue;
        case 0x2011:
          out_ += "\\_";
          delimit_ = false;
          continue;
        default:
          break;
      }
      if (u < 0x20) {
        hex(u);
        continue;
      }
      const QByteArray cp = cp1252 ? encodeWindows1252Char(ch) : QByteArray();
      if (!cp.isEmpty()) {
        hex(static_cast<unsigned char>(cp[0]));
        continue;
      }
      // \uN takes a signed 16-bit number. The one character readers without Unicode show
      // instead is an escape too: a bare '?' after the number is taken for text by some
      // readers with Unicode, which then drop the character that follows. The \'hh is read in
      // the font's code page, so only ASCII stands in for a character of another one.
      word("\\u", static_cast<int16_t>(u));
      hex(static_cast<unsigned char>(closestWindows1252(ch, !cp1252)));
    }
  }

  // The Windows-1252 byte of a character outside ASCII, or nothing.
  static QByteArray encodeWindows1252Char(QChar ch) {
    const QByteArray b = encodeWindows1252(QStringView(&ch, 1));
    return b == "?" ? QByteArray() : b;
  }

  void hex(unsigned value) {
    static const char kHex[] = "0123456789abcdef";
    out_ += "\\'";
    out_ += kHex[(value >> 4) & 15];
    out_ += kHex[value & 15];
    delimit_ = false;
  }

  const QTextDocument& doc_;
  Defaults defaults_;
  QFont defaultFont_;
  std::vector<FontKey> fonts_;
  std::map<FontKey, int> fontIndices_;
  std::vector<QRgb> colors_;
  std::map<QRgb, int> colorIndices_;
  int symbolFont_ = 0;
  std::optional<RunStyle> current_;
  QByteArray out_;
  bool delimit_ = false;  // the last thing written was a control word
};

}  // namespace

QByteArray write(const QTextDocument& document, const Defaults& defaults) {
  return Writer(document, defaults).write(0, document.characterCount() - 1, true);
}

QByteArray write(const QTextDocument& document, const Defaults& defaults, int from, int to) {
  const int end = document.characterCount() - 1;
  from = std::clamp(from, 0, end);
  to = std::clamp(to, from, end);
  return Writer(document, defaults).write(from, to, false);
}

}  // namespace vardel::platform::rtf
