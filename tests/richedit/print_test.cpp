// TRichEdit::print through Qt's print-to-PDF and through a real CUPS server with a PDF queue:
// the text, the job title and the page use, read back with pdftotext and pdfinfo.
#include "platform/richedit/richedit.h"

#include "tests/support/cups_environment.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

QString runTool(const QString& tool, const QStringList& arguments) {
  QProcess p;
  p.start(tool, arguments);
  if (!p.waitForFinished(30000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

test::CupsServer* cups() { return test::cupsServer(); }

bool havePoppler() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// The text of one page of a PDF, read from its picture.
QString ocr(const QString& pdf, int page) {
  QTemporaryDir dir;
  const QString prefix = dir.filePath("page");
  runTool("pdftoppm",
          {"-r", "150", "-f", QString::number(page), "-l", QString::number(page), "-singlefile", "-png", pdf, prefix});
  qputenv("OMP_THREAD_LIMIT", "1");  // its spinning worker threads crawl on a busy machine
  return runTool("tesseract", {prefix + ".png", "-"});
}

// A letter long enough for three pages, with a bold word and accents.
void writeLetter(TRichEdit& edit) {
  QStringList lines{QStringLiteral("Querida Ondravia: año nuevo, vida nueva.")};
  for (int i = 1; i <= 150; ++i) lines << QStringLiteral("Línea %1 de la carta").arg(i);
  lines << QStringLiteral("FIN DE LA CARTA");
  edit.setLines(lines);
  edit.setSelStart(0);
  edit.setSelLength(7);
  edit.selAttributes().setStyle(rfsBold);
  edit.selAttributes().setSize(12);
}

TEST(RichEditPrint, PrintToPdfPutsTheWholeTextOverThePrintablePageUnderTheTitle) {
  if (!havePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  QTemporaryDir dir;
  TRichEdit edit;
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(14);
  edit.setFont(font);
  writeLetter(edit);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("carta.pdf"));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
  // The first numbered line one inch in, the second a bullet.
  edit.setSelStart(edit.lineIndex(1));
  edit.paragraph().setFirstIndent(72);
  edit.setSelStart(edit.lineIndex(2));
  edit.paragraph().setBullets(true);
  edit.print(&printer, QStringLiteral("carta.rtf"));

  const QString text = runTool("pdftotext", {"-layout", dir.filePath("carta.pdf"), "-"});
  EXPECT_TRUE(text.contains(QStringLiteral("Querida Ondravia: año nuevo, vida nueva.")))
      << text.left(300).toStdString();
  for (int i = 1; i <= 150; ++i) ASSERT_TRUE(text.contains(QStringLiteral("Línea %1 de la carta").arg(i))) << i;
  EXPECT_TRUE(text.contains("FIN DE LA CARTA"));
  const QString info = runTool("pdfinfo", {dir.filePath("carta.pdf")});
  EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+carta.rtf"))) << info.toStdString();
  // 152 lines of 11-point text (about 18 points a line) fill three A4 pages within 10 mm margins.
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b"))) << info.toStdString();
  // The first word stands at the printable area's corner: no margins of the text's own.
  const QString box = runTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", dir.filePath("carta.pdf"), "-"});
  const QRegularExpressionMatch first = QRegularExpression("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"").match(box);
  ASSERT_TRUE(first.hasMatch()) << box.left(500).toStdString();
  EXPECT_NEAR(first.captured(1).toDouble(), 28.35, 3.0);
  EXPECT_NEAR(first.captured(2).toDouble(), 28.35, 6.0);
  // Indents are points on paper too: 72 points, and 10 for the bullet's text.
  const QRegularExpression line("<word xMin=\"([0-9.]+)\"[^>]*>Línea</word>");
  auto matches = line.globalMatch(box);
  ASSERT_TRUE(matches.hasNext());
  EXPECT_NEAR(matches.next().captured(1).toDouble(), 28.35 + 72, 2.0);
  ASSERT_TRUE(matches.hasNext());
  EXPECT_NEAR(matches.next().captured(1).toDouble(), 28.35 + 10, 2.0);
}

TEST(RichEditPrint, ACupsQueueGetsTheTextWithTheDocumentNameAsJobTitle) {
  if (!cups()->available()) GTEST_SKIP() << cups()->reason().toStdString();
  if (!havePoppler() || QStandardPaths::findExecutable(QStringLiteral("tesseract")).isEmpty())
    GTEST_SKIP() << "pdftotext or tesseract is not installed";
  ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(cups()->queue()))
      << QPrinterInfo::availablePrinterNames().join(",").toStdString();
  TRichEdit edit;
  edit.setFont(QFont(QStringLiteral("Arial"), 11));
  writeLetter(edit);
  QPrinter printer(QPrinterInfo::printerInfo(cups()->queue()), QPrinter::HighResolution);
  edit.print(&printer, QStringLiteral("/home/lector/Documentos/carta.rtf"));

  const QString pdf = cups()->waitForPdf();
  ASSERT_FALSE(pdf.isEmpty()) << cups()->errorLog().toStdString();
  EXPECT_EQ(cups()->jobTitles().value(0), "/home/lector/Documentos/carta.rtf");
  const QString info = runTool("pdfinfo", {pdf});
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b"))) << info.toStdString();
  // The print path through PostScript loses the text layer; the pages are read as a person would.
  const QString first = ocr(pdf, 1);
  EXPECT_TRUE(first.contains("Querida Ondravia")) << first.toStdString();
  EXPECT_TRUE(first.contains(QRegularExpression("L.nea 1 de la carta"))) << first.toStdString();
  const QString last = ocr(pdf, 3);
  EXPECT_TRUE(last.contains("FIN DE LA CARTA")) << last.toStdString();
}

TEST(RichEditPrint, NoPrinterIsAnError) {
  TRichEdit edit;
  EXPECT_THROW(edit.print(nullptr, "x"), std::runtime_error);
}

}  // namespace
}  // namespace vardel::platform
