// What each control word of the RTF reader does to the group it is read in.
#include "platform/richedit/rtf_reader_state.h"

namespace vardel::platform::rtf::reading {

void Reader::handle(const Keyword& k, const Word& w, Group& g) {
  const long long v = w.value;
  const bool on = !w.hasValue || v != 0;
  switch (k.kind) {
    case Kw::DestSkip:
      toSkip(g);
      return;
    case Kw::DestUnkept:
      // An embedded object or a drawing: nothing of it is kept, which saving must say.
      result_.unkeptElements = true;
      toSkip(g);
      return;
    case Kw::DestPict:
      if (g.dest != Dest::Text || pict_) {
        toSkip(g);  // a picture in a font name, a list number or another picture
        return;
      }
      flushBytes();
      g.dest = Dest::Picture;
      pict_.emplace();
      pictDepth_ = stack_.size();
      return;
    case Kw::DestShpPict:
      return;  // the picture inside is read; its twin for older readers (\nonshppict) is not
    case Kw::DestFontTable:
      flushBytes();
      g.dest = Dest::FontTable;
      return;
    case Kw::DestColorTable:
      flushBytes();
      g.dest = Dest::ColorTable;
      tables_.beginColors();
      return;
    case Kw::DestListText:
      if (g.dest == Dest::Text) {
        flushBytes();
        g.dest = Dest::ListText;
        listText_.clear();
        listTextSeen_ = true;
      } else {
        toSkip(g);
      }
      return;
    case Kw::DestPn:
      flushBytes();
      g.dest = Dest::Pn;
      g.para.pn = ListKind::Numbered;
      return;
    case Kw::DestListTable:
      g.dest = Dest::ListTable;
      return;
    case Kw::DestListOverrideTable:
      g.dest = Dest::ListOverride;
      return;
    case Kw::DestUpr:
      flushBytes();
      g.outer = g.dest;
      g.dest = Dest::Upr;
      return;
    case Kw::DestUd:
      return;  // read as the text around its \upr
    case Kw::DestFieldResult:
    case Kw::DestField:
      return;  // a field shows its result
    case Kw::Rtf:
    case Kw::Ansi:
      return;
    case Kw::Mac:
      docCodePage_ = 10000;
      return;
    case Kw::Pc:
      docCodePage_ = 437;
      return;
    case Kw::Pca:
      docCodePage_ = 850;
      return;
    case Kw::AnsiCpg:
      if (v > 0 && v < 65536) docCodePage_ = int(v);
      return;
    case Kw::Deff:
      defaultFont_ = clampInt(v, 0, 1 << 20);
      tablesChanged();
      return;
    case Kw::Uc:
      g.uc = clampInt(v, 0, 16);
      return;
    case Kw::U: {
      skip_ = 0;
      // A signed 16-bit number: -1..-32768 stand for 0xFFFF..0x8000. Some writers give
      // code points beyond 0xFFFF as they are.
      const long long u = v < 0 ? v + 65536 : v;
      if (u >= 0 && u <= 0xFFFF) {
        addChar(char16_t(u));
      } else if (u <= 0x10FFFF) {
        const char32_t cp = char32_t(u);
        addText(QString::fromUcs4(&cp, 1));
      } else {
        addChar(0xFFFD);
      }
      skip_ = g.uc;
      return;
    }
    case Kw::Bin:
      if (g.dest == Dest::Picture && inPictureGroup() && v > 0) {
        const qsizetype n = qsizetype(std::min<long long>(v, in_.size() - pos_));
        pict_->binary(in_.sliced(pos_, n));
        pos_ += n;
      } else {
        skipBinary(v);
      }
      return;
    case Kw::F:
      if (g.dest == Dest::FontTable) {
        tables_.beginFont(clampInt(v, 0, 1 << 20));
      } else {
        setChars(g, [&](CharState& s) { s.font = clampInt(v, 0, 1 << 20); });
      }
      return;
    case Kw::FCharset:
      if (g.dest == Dest::FontTable) {
        tables_.pendingFont().charset = clampInt(v, 0, 255);
        tables_.pendingFont().charsetGiven = true;
      }
      return;
    case Kw::FPrq:
      if (g.dest == Dest::FontTable) tables_.pendingFont().pitch = clampInt(v, 0, 2);
      return;
    case Kw::Cpg:
      if (g.dest == Dest::FontTable && v > 0 && v < 65536) tables_.pendingFont().codePage = int(v);
      return;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
      if (g.dest == Dest::ColorTable) {
        tables_.setComponent(k.kind == Kw::Red ? 'r' : k.kind == Kw::Green ? 'g' : 'b', clampInt(v, 0, 255));
      }
      return;
    case Kw::Plain:
      setChars(g, [&](CharState& s) { s = CharState{}; });
      return;
    case Kw::Fs:
      setChars(g, [&](CharState& s) { s.halfPoints = w.hasValue ? clampInt(v, 1, kMaxFontHalfPoints) : 24; });
      return;
    case Kw::B:
      setChars(g, [&](CharState& s) { s.bold = on; });
      return;
    case Kw::I:
      setChars(g, [&](CharState& s) { s.italic = on; });
      return;
    case Kw::Ul:
      setChars(g, [&](CharState& s) { s.underline = on; });
      return;
    case Kw::UlNone:
      setChars(g, [&](CharState& s) { s.underline = false; });
      return;
    case Kw::Strike:
      setChars(g, [&](CharState& s) { s.strike = on; });
      return;
    case Kw::Cf:
      setChars(g, [&](CharState& s) { s.color = clampInt(v, 0, 1 << 20); });
      return;
    case Kw::V:
      setChars(g, [&](CharState& s) { s.hidden = on; });
      return;
    case Kw::Pard:
      if (g.dest == Dest::Text) g.para = ParaState{};
      return;
    case Kw::Fi:
      g.para.fi = clampIndent(v);
      return;
    case Kw::Li:
      g.para.li = clampIndent(v);
      return;
    case Kw::Ri:
      g.para.ri = clampIndent(v);
      return;
    case Kw::Ql:
      g.para.align = Qt::AlignLeft;
      return;
    case Kw::Qr:
      g.para.align = Qt::AlignRight;
      return;
    case Kw::Qc:
      g.para.align = Qt::AlignHCenter;
      return;
    case Kw::Qj:
      g.para.align = Qt::AlignJustify;
      return;
    case Kw::Ls:
      if (g.dest == Dest::ListOverride) {
        tables_.overrideNumber(clampInt(v, 0, 1 << 20));
      } else if (g.dest == Dest::Text || g.dest == Dest::ListText) {
        g.para.ls = clampInt(v, 0, 1 << 20);
      }
      return;
    case Kw::PnLvlBlt:
      if (g.dest == Dest::Pn) g.para.pn = ListKind::Bullet;
      return;
    case Kw::PnLvlNumbered:
      if (g.dest == Dest::Pn) g.para.pn = ListKind::Numbered;
      return;
    case Kw::List:
      if (g.dest == Dest::ListTable) {
        tables_.beginList();
      }
      return;
    case Kw::ListId:
      if (g.dest == Dest::ListTable) {
        tables_.listId(v);
      } else if (g.dest == Dest::ListOverride) {
        tables_.overrideListId(v);
      }
      return;
    case Kw::ListOverride:
      if (g.dest == Dest::ListOverride) {
        tables_.beginOverride();
      }
      return;
    case Kw::ListLevel:
      if (g.dest == Dest::ListTable) tables_.listLevel();
      return;
    case Kw::LevelNfc:
      if (g.dest == Dest::ListTable) tables_.levelNumberFormat(clampInt(v, 0, 255));
      return;
    case Kw::Par:
      if (g.dest == Dest::Text) paragraphEnd();
      return;
    case Kw::Line:
      addChar(QChar::LineSeparator);
      return;
    case Kw::Tab:
      addChar(u'\t');
      return;
    case Kw::Cell:
      if (g.dest == Dest::Text) {
        flushBytes();
        cellPending_ = true;
      }
      return;
    case Kw::Row:
      if (g.dest == Dest::Text) {
        cellPending_ = false;
        paragraphEnd();
      }
      return;
    case Kw::Char:
      addChar(k.ch);
      return;
  }
}

}  // namespace vardel::platform::rtf::reading
