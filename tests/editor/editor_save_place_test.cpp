// Where the editor's saves go: Save As of a magazine that is not the person's starts in their
// documents, and no save writes through a link that a magazine's folder planted.
#include "tests/editor/editor_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

namespace vardel {
namespace {

using test::EditorTest;

class SavePlaceTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    // The person's documents folder, as the desktop names it (not made yet).
    savedConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    documents_ = home_.path() + QStringLiteral("/Mis documentos");
    test::writeFile(config_.path(), QStringLiteral("user-dirs.dirs"),
                    "XDG_DOCUMENTS_DIR=\"" + documents_.toUtf8() + "\"\n");
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", savedConfig_);
    EditorTest::TearDown();
  }
  // Answers the next Save As with `name` typed into the name box; notes where it started.
  void saveAs(TfrmEditor* e, const QString& name, QString* startedIn) {
    dialogs.then<QFileDialog>([=](QFileDialog* dialog) {
      *startedIn = dialog->directory().absolutePath();
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
      static_cast<QDialog*>(dialog)->accept();
    });
    e->FileSaveAs(nullptr);
  }

  QTemporaryDir config_, home_, outside_;
  QString documents_;
  QByteArray savedConfig_;
};

TEST_F(SavePlaceTest, SaveAsStartsInTheMagazineOnlyWhenItIsThePersonsOwn) {
  TfrmEditor* own = editor();
  own->Editor->insertPlainText(QStringLiteral("mía"));
  QString startedIn;
  saveAs(own, QStringLiteral("carta"), &startedIn);
  EXPECT_EQ(startedIn + QLatin1Char('/'), folder());
  EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("carta.rtf")));
  delete own;

  host().ownContentFolder = false;
  TfrmEditor* disc = editor();
  disc->Editor->insertPlainText(QStringLiteral("del disco"));
  saveAs(disc, QStringLiteral("notas"), &startedIn);
  EXPECT_EQ(startedIn, documents_);
  EXPECT_TRUE(test::readFile(documents_ + QStringLiteral("/notas.rtf")).contains("del disco"));
  EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("notas.rtf")));
}

TEST_F(SavePlaceTest, ALinkInTheMagazineIsRefusedAndOneElsewhereIsNamedByItsRealFile) {
  const QString victim = test::writeFile(outside_.path(), QStringLiteral("privado.txt"), "secreto");
  ASSERT_TRUE(QFile::link(victim, folder() + QStringLiteral("notas.rtf")));
  ASSERT_TRUE(QFile::link(outside_.path() + QStringLiteral("/nuevo.txt"), folder() + QStringLiteral("vacio.rtf")));
  TfrmEditor* e = editor();
  e->Editor->insertPlainText(QStringLiteral("texto"));

  // The planted link and a link to nothing: refused before any question, nothing written.
  for (const QString& name : {QStringLiteral("notas"), QStringLiteral("vacio")}) {
    dialogs.file(folder() + name);
    try {
      e->FileSaveAs(nullptr);
      ADD_FAILURE() << "saved through " << name.toStdString();
    } catch (const std::runtime_error& error) {
      EXPECT_TRUE(QString::fromStdString(error.what()).contains(QStringLiteral("es un enlace"))) << error.what();
    }
  }
  EXPECT_EQ(test::readFile(victim), "secreto");
  EXPECT_TRUE(QFileInfo(folder() + QStringLiteral("notas.rtf")).isSymLink());
  EXPECT_FALSE(QFile::exists(outside_.path() + QStringLiteral("/nuevo.txt")));
  EXPECT_EQ(e->DocumentName, kUntitled);
  EXPECT_TRUE(e->Editor->modified());

  // A link in a folder the person chose: the question names the file really written.
  const QString real = test::writeFile(outside_.path(), QStringLiteral("real.rtf"), "antes");
  ASSERT_TRUE(QFile::link(real, outside_.path() + QStringLiteral("/atajo.rtf")));
  QString question;
  dialogs.file(outside_.path() + QStringLiteral("/atajo"));
  dialogs.question(ui::DialogButton::mbYes, &question);
  e->FileSaveAs(nullptr);
  EXPECT_EQ(question, QStringLiteral("¿Sobreescribir %1?").arg(real));
  EXPECT_TRUE(test::readFile(real).contains("texto"));
  EXPECT_TRUE(QFileInfo(outside_.path() + QStringLiteral("/atajo.rtf")).isSymLink());
  EXPECT_EQ(e->DocumentName, real);

  // A document opened through the magazine's link is not saved back through it either.
  ASSERT_TRUE(e->HandleDroppedFiles({folder() + QStringLiteral("notas.rtf")}));
  e->Editor->insertPlainText(QStringLiteral("cambio"));
  EXPECT_THROW(e->FileSave(nullptr), std::runtime_error);
  EXPECT_EQ(test::readFile(victim), "secreto");
}

}  // namespace
}  // namespace vardel
