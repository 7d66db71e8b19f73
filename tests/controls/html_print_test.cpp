// Printing from the viewer: the whole article with its pictures, on a printer of the system (a
// CUPS server of the test's own) and to a PDF file whose text keeps the size it has on screen.
#include "controls/host/html_control.h"
#include "tests/controls/control_fixture.h"
#include "tests/support/cups_environment.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace vardel {
namespace {

using test::kArticles;
using test::kRealOcx;

test::CupsServer* cups() { return test::cupsServer(); }

QString run(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.start(program, arguments);
  return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The height in points of the first word `word` of a PDF, as pdftotext places it; 0 when absent.
double wordHeight(const QString& pdf, const QString& word) {
  const QString boxes = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  static const QRegularExpression box(QStringLiteral(R"re(yMin="([\d.]+)" [^>]*yMax="([\d.]+)">([^<]*)</word>)re"));
  for (auto it = box.globalMatch(boxes); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    if (m.captured(3) == word) return m.captured(2).toDouble() - m.captured(1).toDouble();
  }
  return 0;
}

class PrintTest : public test::ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty()) GTEST_SKIP() << "poppler-utils missing";
    ASSERT_EQ(callExport(kRealOcx, "DllRegisterServer"), 0);
    viewer_ = std::make_unique<THTML>(nullptr);
    viewer_->resize(660, 600);
  }
  // Prints and answers the outcome ("ok" or the reason).
  QString print(QPrinter& printer) {
    QString outcome;
    viewer_->PrintDocument(&printer,
                           [&](bool ok, const QString& error) { outcome = ok ? QStringLiteral("ok") : error; });
    return outcome;
  }
  QTemporaryDir scratch_;
  std::unique_ptr<THTML> viewer_;
};

TEST_F(PrintTest, TheWholeArticleWithItsPictureGoesToAPdfFileOrToAPrinter) {
  QPrinter printer(QPrinter::HighResolution);
  EXPECT_EQ(print(printer), QStringLiteral("No hay ningún documento que imprimir"));

  viewer_->LoadDocument(QStringLiteral("file:") + kArticles + QStringLiteral("geografia.html"));
  const QString pdf = scratch_.filePath(QStringLiteral("geografia.pdf"));
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  ASSERT_EQ(print(printer), QStringLiteral("ok"));
  const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  EXPECT_TRUE(text.contains(QStringLiteral("Geografía de Ondravia"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("brisa de Santa Ana")));
  EXPECT_EQ(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).count(QLatin1Char('\n')), 3);
  // Body text of 16 pixels is 12 points on paper, whatever the printer's resolution.
  EXPECT_NEAR(wordHeight(pdf, QStringLiteral("templado")), 12 * 1.15, 3);

  printer.setOutputFileName(scratch_.filePath(QStringLiteral("no-existe/geografia.pdf")));
  EXPECT_TRUE(print(printer).startsWith(QStringLiteral("No se puede escribir el fichero")));

  if (!cups()->available()) GTEST_SKIP() << cups()->reason().toStdString();
  QPrinter queue(QPrinter::HighResolution);
  queue.setPrinterName(cups()->queue());
  queue.setDocName(QStringLiteral("geografia"));
  ASSERT_EQ(print(queue), QStringLiteral("ok"));
  const QString printed = cups()->waitForPdf();
  ASSERT_FALSE(printed.isEmpty()) << cups()->errorLog().toStdString();
  // The print service's PDF keeps no text to read back: its job, and its picture.
  EXPECT_EQ(cups()->jobTitles().value(0), QStringLiteral("geografia"));
  EXPECT_GE(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), printed}).count(QLatin1Char('\n')), 3);
}

}  // namespace
}  // namespace vardel
