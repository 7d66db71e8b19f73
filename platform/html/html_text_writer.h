// Writing an article's readable text line by line as its parse tree is walked (see htmlToText).
#pragma once

#include <gumbo.h>

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

namespace vardel::platform::html {

// Elements whose content is never part of the readable text: by their tag, or hidden by an
// attribute ("hidden", or a style of "display: none" or "visibility: hidden").
bool isSkipped(GumboTag tag);
bool isHidden(const GumboElement& element);

// The text of the elements opened and closed and of the text met in between, in document order;
// the skipped elements (above) are never given to it.
class TextWriter {
 public:
  void open(const GumboNode* node);
  void close(const GumboNode* node);
  void text(const char* data, std::size_t size);
  QString finish();

 private:
  struct List {
    bool ordered = false;
    char type = '1';
    int next = 1;
    int column = 0;  // where its markers stand
  };
  struct Row {
    bool simple = false;
    int cells = 0;
  };

  void beginText();
  void commitLine();
  void requestBreak(int strength);
  void lineBreak();
  void flushMarker();
  void flushAlts();
  void appendAlt(const GumboElement& image);
  int indent() const { return indents_.empty() ? 0 : indents_.back(); }
  bool inSimpleRow() const { return !rows_.empty() && rows_.back().simple && cellDepth_ > 0; }

  QByteArray out_;
  QByteArray line_;
  bool lineOpen_ = false;
  bool started_ = false;
  int pendingBreak_ = 0;  // 1: new line, 2: empty line, before the next text
  bool pendingSpace_ = false;
  int pendingTabs_ = 0;
  QByteArray pendingMarker_;
  bool textSinceBreak_ = false;
  std::vector<QByteArray> alts_;
  int preDepth_ = 0;
  int cellDepth_ = 0;
  std::vector<List> lists_;
  std::vector<int> indents_;
  std::vector<Row> rows_;
};

}  // namespace vardel::platform::html
