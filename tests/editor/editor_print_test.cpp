// Printing from the editor window: the print dialog offers the system's printers (a CUPS
// server of the test's own) and printing to a PDF file, and the text comes out on the chosen
// one under the document's name.
#include "tests/editor/editor_fixture.h"
#include "tests/support/cups_environment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QStandardPaths>

namespace vardel {
namespace {

using test::EditorTest;

test::CupsServer* cups() { return test::cupsServer(); }

QString pdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QStringList printerEntries(QPrintDialog* dialog) {
  QStringList entries;
  if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"))) {
    for (int i = 0; i < printers->count(); ++i) entries << printers->itemText(i);
  }
  return entries;
}

// Picks the entry of the dialog's printer list that contains `text`, then prints.
void printOn(test::DialogAnswers& dialogs, const QString& text, QStringList* entries,
             const QString& pdfFile = QString()) {
  dialogs.then<QPrintDialog>([=](QPrintDialog* dialog) {
    *entries = printerEntries(dialog);
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_TRUE(printers);
    const int index = printers->findText(text, Qt::MatchContains);
    ASSERT_GE(index, 0);
    printers->setCurrentIndex(index);
    if (!pdfFile.isEmpty()) dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdfFile);
    dialog->accept();
  });
}

TEST_F(EditorTest, ThePrintDialogOffersTheSystemsPrintersAndAPdfFile) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is missing";
  TfrmEditor* e = editor();
  e->Editor->setLines({QStringLiteral("Carta impresa desde el editor"), QStringLiteral("Segunda línea")});
  e->AssignDocumentName(folder() + QStringLiteral("carta.rtf"));

  QStringList entries;
  const QString pdf = folder() + QStringLiteral("carta.pdf");
  printOn(dialogs, QStringLiteral("PDF"), &entries, pdf);
  e->FilePrint(nullptr);
  const QString text = pdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Carta impresa desde el editor"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Segunda línea")));

  if (!cups()->available()) GTEST_SKIP() << cups()->reason().toStdString();
  EXPECT_TRUE(entries.contains(cups()->queue())) << entries.join(QLatin1Char(',')).toStdString();
  printOn(dialogs, cups()->queue(), &entries);
  e->FilePrint(nullptr);
  ASSERT_FALSE(cups()->waitForPdf().isEmpty()) << cups()->errorLog().toStdString();
  EXPECT_EQ(cups()->jobTitles().value(0), folder() + QStringLiteral("carta.rtf"));

  // Cancelled: nothing goes to the printer.
  dialogs.then<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
  e->FilePrint(nullptr);
  EXPECT_EQ(cups()->jobTitles().size(), 1);
}

}  // namespace
}  // namespace vardel
