// The map window: creation, cities from the configuration file, hints, levels, clock and the
// end of the opening.
#include "controls/host/html_control.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "tests/shell/shell_fixture.h"
#include "ui/pointer_tracking.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel {
namespace {

using test::ContentFolder;
using test::MessageRecorder;

class MapaTest : public ::testing::Test {
 protected:
  void TearDown() override {
    delete frmMapa.data();
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
  }
  TfrmMapa* make(Variant variant = Variant::Basic) {
    frmMapa = new TfrmMapa(variant);
    return frmMapa;
  }
  // Shows the map where a person would see it, as the end of the opening does.
  void showAtOrigin(TfrmMapa* m) {
    m->show();
    m->move(0, 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m));
  }
  void pointAt(TfrmMapa* m, QPoint p) {
    QTest::mouseMove(m, p);
    ui::PointerTracker::instance()->check();
  }
  QColor background(TfrmMapa* m) { return m->ImgFondo->picture().pixelColor(400, 300); }
};

TEST_F(MapaTest, IsBuiltOffScreenWithTheFirstPictureAndItsCities) {
  ContentFolder folder;
  TfrmMapa* m = make();
  EXPECT_EQ(m->pos(), QPoint(-5000, -5000));
  EXPECT_EQ(m->size(), QSize(800, 600));
  EXPECT_TRUE(m->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(m->Nivel, 1);
  EXPECT_TRUE(test::near(background(m), test::kP8));
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crHourGlass);
  EXPECT_FALSE(m->Label1->isVisible());
  EXPECT_FALSE(m->lbReloj->isVisibleTo(m));
  EXPECT_FALSE(m->tmPresenta->enabled());
  EXPECT_TRUE(m->tmReloj->enabled());
  EXPECT_EQ(m->tmReloj->interval(), 1000);

  EXPECT_EQ(m->c1->geometry(), QRect(300, 200, 40, 30));
  EXPECT_EQ(m->c1->Hint, QStringLiteral("Puerto Vardel"));
  EXPECT_EQ(m->c1->Cadena, QStringLiteral("uno.html"));
  EXPECT_EQ(m->c1->tag, 1);
  ASSERT_NE(m->cN[2], nullptr);
  EXPECT_EQ(m->cN[2]->Name(), QStringLiteral("c2"));
  EXPECT_EQ(m->cN[2]->geometry(), QRect(400, 300, 60, 40));
  EXPECT_EQ(m->cN[2]->Hint, QStringLiteral("Monte Ondra"));
  EXPECT_EQ(m->cN[3]->tag, 3);
  EXPECT_EQ(m->cN[4], nullptr);
}

TEST_F(MapaTest, StackingPutsRunTimeCitiesAboveEveryPictureAndLabelButBelowTheDisplay) {
  ContentFolder folder;
  TfrmMapa* m = make();
  const QObjectList& order = m->client()->children();
  const auto at = [&](QObject* o) { return order.indexOf(o); };
  EXPECT_EQ(at(m->c1), at(m->ImgFondo) + 1);
  EXPECT_GT(at(m->cN[2]), at(m->Label1));
  EXPECT_GT(at(m->cN[2]), at(m->imgSecciones));
  EXPECT_GT(at(m->cN[3]), at(m->imgMapita));
  EXPECT_GT(at(m->cN[3]), at(m->Shape28));
  EXPECT_LT(at(m->cN[3]), at(m->w));
  EXPECT_LT(at(m->w), at(m->panelAcercaDe));
}

TEST_F(MapaTest, TheFixedHotspotsAreInPlaceWithTheirHints) {
  ContentFolder folder;
  TfrmMapa* m = make();
  EXPECT_EQ(m->Shape21->geometry(), QRect(31, 528, 81, 28));
  EXPECT_EQ(m->Shape22->geometry(), QRect(765, 1, 28, 25));
  EXPECT_EQ(m->Shape24->geometry(), QRect(733, 3, 28, 23));
  EXPECT_EQ(m->Shape23->geometry(), QRect(5, 565, 58, 27));
  EXPECT_EQ(m->Shape26->geometry(), QRect(-1, 2, 140, 35));
  EXPECT_EQ(m->Shape27->geometry(), QRect(67, 568, 65, 27));
  EXPECT_EQ(m->Shape28->geometry(), QRect(16, 480, 101, 41));
  EXPECT_EQ(m->Shape22->Hint, QStringLiteral("Cierra la aplicación y vuelve a Windows"));
  EXPECT_EQ(m->Shape28->Hint, QStringLiteral("¡TUMBLO! El fantástico juego de ONDRAVIA VARDEL"));
  EXPECT_EQ(m->Label1->geometry(), QRect(5, 132, 124, 221));
  EXPECT_EQ(m->lbReloj->pos(), QPoint(43, 443));
  EXPECT_EQ(m->panelAcercaDe->geometry(), QRect(0, 0, 800, 600));
  EXPECT_FALSE(m->panelAcercaDe->isVisibleTo(m));
  EXPECT_EQ(m->Shape25->geometry(), QRect(448, 461, 85, 28));
}

struct CountCase {
  const char* value;
  int cities;
};

class CityCountTest : public MapaTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CityCountTest, TheCountsLowEightBitsDecideHowManyCitiesExist) {
  const QByteArray ini = QByteArray("[Mapa]\r\nNCiudades=") + GetParam().value + "\r\n";
  ContentFolder folder(ini.constData());
  TfrmMapa* m = make();
  int cities = 1;
  for (int n = 2; n <= 15; ++n) cities += m->cN[size_t(n)] ? 1 : 0;
  EXPECT_EQ(cities, GetParam().cities) << GetParam().value;
  if (cities == 15) {
    EXPECT_EQ(m->cN[15]->Name(), QStringLiteral("c15"));
    EXPECT_EQ(m->cN[14]->tag, 14);
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, CityCountTest,
                         ::testing::Values(CountCase{"3", 3}, CountCase{"0x0F", 15}, CountCase{"20", 15},
                                           CountCase{"0", 1}, CountCase{"1", 1}, CountCase{"256", 1},
                                           CountCase{"257", 1}, CountCase{"259", 3}, CountCase{"catorce", 1},
                                           CountCase{"14", 14}, CountCase{"-1", 15}));

TEST_F(MapaTest, WithoutAConfigurationFileTheMapHasOneDefaultCity) {
  ContentFolder folder(nullptr);
  TfrmMapa* m = make();
  EXPECT_EQ(m->c1->geometry(), QRect(0, 0, 50, 50));
  EXPECT_EQ(m->c1->Hint, QStringLiteral(" "));
  EXPECT_EQ(m->c1->Cadena, QStringLiteral(" "));
  EXPECT_EQ(m->cN[2], nullptr);
}

TEST_F(MapaTest, OddValuesAreAppliedAsTheyAre) {
  QByteArray ini = "[Mapa]\r\nNCiudades=2\r\n[Posiciones]\r\nCiudad2X=-10\r\nCiudad2Y=5\r\n[Hints]\r\nCiudad2=";
  ini += QByteArray(2000, 'h');
  ini += "\r\n[Tamanios]\r\nCiudad1Ancho=abc\r\n";
  ContentFolder folder(ini.constData());
  TfrmMapa* m = make();
  EXPECT_EQ(m->cN[2]->pos(), QPoint(-10, 5));
  EXPECT_EQ(m->cN[2]->Hint.size(), 1023);
  EXPECT_EQ(m->c1->width(), 50);
}

TEST_F(MapaTest, HintsFollowThePointerOnTheMapOnlyAndAreEmptiedOnExitAtAnyLevel) {
  ContentFolder folder;
  TfrmMapa* m = make();
  showAtOrigin(m);
  pointAt(m, QPoint(310, 210));  // c1
  EXPECT_EQ(m->Label1->caption(), QStringLiteral("Puerto Vardel"));
  pointAt(m, QPoint(770, 5));  // the close button
  EXPECT_EQ(m->Label1->caption(), QStringLiteral("Cierra la aplicación y vuelve a Windows"));
  pointAt(m, QPoint(600, 100));  // bare map
  EXPECT_EQ(m->Label1->caption(), QString());
  m->Nivel = 2;
  pointAt(m, QPoint(770, 5));
  EXPECT_EQ(m->Label1->caption(), QString());
  m->Label1->setCaption(QStringLiteral("x"));
  pointAt(m, QPoint(600, 100));
  EXPECT_EQ(m->Label1->caption(), QString());
}

TEST_F(MapaTest, ACityClickShowsItsSectionTheSmallMapAndTheDocument) {
  ContentFolder folder;
  MessageRecorder messages;
  TfrmMapa* m = make();
  showAtOrigin(m);
  int parsed = 0;
  m->w->OnParseComplete = [&](QObject*) { ++parsed; };
  QTest::mouseClick(m->c1, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(m->Nivel, 2);
  EXPECT_TRUE(m->imgSecciones->isVisible());
  EXPECT_EQ(m->imgSecciones->size(), QSize(120, 300));
  EXPECT_EQ(m->imgSecciones->pos(), QPoint(4, 121));
  EXPECT_TRUE(m->imgMapita->isVisible());
  EXPECT_EQ(m->imgMapita->size(), QSize(136, 100));
  EXPECT_TRUE(m->w->isVisible());
  EXPECT_EQ(m->w->geometry(), QRect(140, 0, 660, 600));
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  EXPECT_TRUE(test::waitUntil([&] { return parsed == 1; }));
  EXPECT_TRUE(m->w->GetDocumentText(0, 0).contains(QStringLiteral("Texto del artículo uno")));
  EXPECT_TRUE(messages.texts().isEmpty());
  EXPECT_EQ(QDir::currentPath() + QLatin1Char('/'), folder.root() + QStringLiteral("Ficheros/"));
}

TEST_F(MapaTest, DocumentsOpenFromAProgramFolderOfAnyLength) {
  QString deep = QStringLiteral("revista");
  while (deep.size() < 300) deep += QStringLiteral("/una_carpeta_con_un_nombre_bastante_largo");
  ContentFolder folder(test::kThreeCities, true, deep);
  ASSERT_GT(platform::programFolder().size(), 300);
  TfrmMapa* m = make();
  showAtOrigin(m);
  int parsed = 0;
  m->w->OnParseComplete = [&](QObject*) { ++parsed; };
  QTest::mouseClick(m->c1, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(test::waitUntil([&] { return parsed == 1; }));
  EXPECT_TRUE(m->w->GetDocumentText(0, 0).contains(QStringLiteral("Texto del artículo uno")));
  EXPECT_EQ(QDir::currentPath() + QLatin1Char('/'), folder.root() + QStringLiteral("Ficheros/"));
  EXPECT_TRUE(test::near(background(m), test::kP8));
}

TEST_F(MapaTest, ACityWhoseDocumentIsMissingReportsTheProgramFolderAndItsFileName) {
  ContentFolder folder;
  MessageRecorder messages;
  TfrmMapa* m = make();
  showAtOrigin(m);
  QTest::mouseClick(m->cN[3], Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_EQ(messages.texts()[0],
            QStringLiteral("No se ha encontrado el fichero: ") + folder.root() + QStringLiteral("falta.html"));
  EXPECT_EQ(m->Nivel, 2);
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
}

TEST_F(MapaTest, AMissingSectionPictureLeavesTheSmallMapEmptyToo) {
  ContentFolder folder;
  MessageRecorder messages;
  TfrmMapa* m = make();
  showAtOrigin(m);
  QTest::mouseClick(m->cN[3], Qt::LeftButton, {}, QPoint(5, 5));  // no s3
  EXPECT_EQ(m->Nivel, 2);
  EXPECT_FALSE(m->imgSecciones->hasPicture());
  EXPECT_FALSE(m->imgMapita->hasPicture());
}

TEST_F(MapaTest, TheSmallMapLeadsBackOrWithControlAltLeftOpensTheHiddenDocument) {
  ContentFolder folder;
  MessageRecorder messages;
  TfrmMapa* m = make();
  showAtOrigin(m);
  int parsed = 0;
  m->w->OnParseComplete = [&](QObject*) { ++parsed; };
  QTest::mouseClick(m->c1, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_EQ(m->Nivel, 2);
  ASSERT_TRUE(test::waitUntil([&] { return parsed == 1; }));
  QTest::mouseClick(m->imgMapita, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, QPoint(10, 10));
  EXPECT_EQ(m->Nivel, 2);
  EXPECT_TRUE(m->imgMapita->isVisible());
  ASSERT_TRUE(test::waitUntil([&] { return parsed == 2; }));
  EXPECT_TRUE(m->w->GetDocumentText(0, 0).contains(QStringLiteral("Extra")));
  // Control, Alt and the right button go back to the map.
  QTest::mouseClick(m->imgMapita, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier, QPoint(10, 10));
  EXPECT_EQ(m->Nivel, 1);
  EXPECT_FALSE(m->imgMapita->isVisible());
  EXPECT_FALSE(m->imgMapita->hasPicture());
  EXPECT_FALSE(m->imgSecciones->isVisible());
  EXPECT_FALSE(m->imgSecciones->hasPicture());
  EXPECT_FALSE(m->w->isVisible());
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MapaTest, AMissingHiddenDocumentGoesToTheGeneralErrorReport) {
  ContentFolder folder;
  folder.remove("Ficheros/extra1.html");
  MessageRecorder messages;
  TfrmMapa* m = make();
  showAtOrigin(m);
  QTest::mouseClick(m->c1, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(m->imgMapita, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, QPoint(10, 10));
  // The display's own error text, not the map's message about a city.
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("extra1.html"))) << messages.texts()[0].toStdString();
  EXPECT_NE(messages.texts()[0],
            QStringLiteral("No se ha encontrado el fichero: ") + folder.root() + QStringLiteral("extra1.html"));
  EXPECT_EQ(m->Nivel, 2);
}

TEST_F(MapaTest, TheClockShowsTheLocalesLongTime) {
  ContentFolder folder;
  TfrmMapa* m = make();
  m->tmRelojTimer(m->tmReloj);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(m->lbReloj->caption()).hasMatch())
      << m->lbReloj->caption().toStdString();
}

TEST_F(MapaTest, TheEndOfTheOpeningTakesTwoTicks) {
  ContentFolder folder;
  TfrmMapa* m = make();
  frmPresenta = new TfrmPresenta();
  m->handOver(frmPresenta);
  EXPECT_EQ(m->pos(), QPoint(0, 0));
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(m->tmPresenta->enabled());
  m->tmPresentaTimer(m->tmPresenta);
  EXPECT_TRUE(test::near(background(m), test::kP3));
  EXPECT_EQ(m->tmPresenta->interval(), 5250);
  EXPECT_TRUE(m->tmPresenta->enabled());
  EXPECT_FALSE(m->Label1->isVisibleTo(m));
  m->tmPresentaTimer(m->tmPresenta);
  EXPECT_FALSE(m->tmPresenta->enabled());
  EXPECT_TRUE(m->Label1->isVisibleTo(m));
  EXPECT_TRUE(m->lbReloj->isVisibleTo(m));
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  EXPECT_FALSE(frmPresenta->isVisible());
  delete frmPresenta.data();
}

TEST_F(MapaTest, TheBackgroundSkipsOnlyWhileTheEndOfTheOpeningIsPending) {
  ContentFolder folder;
  TfrmMapa* m = make();
  frmPresenta = new TfrmPresenta();
  m->ImgFondoClick(m->ImgFondo);  // before the hand-over: nothing
  EXPECT_TRUE(test::near(background(m), test::kP8));
  EXPECT_TRUE(frmPresenta->isVisible());
  m->handOver(frmPresenta);
  m->ImgFondoClick(m->ImgFondo);
  EXPECT_TRUE(test::near(background(m), test::kP3));
  EXPECT_EQ(m->pos(), QPoint(0, 0));
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(m->Label1->isVisible());
  EXPECT_FALSE(frmPresenta->isVisible());
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  EXPECT_TRUE(m->tmPresenta->enabled());  // its remaining ticks still come
  delete frmPresenta.data();
}

TEST_F(MapaTest, ClosingFreesTheCitiesAndStopsTheClock) {
  ContentFolder folder;
  TfrmMapa* m = make();
  QPointer<TShape2> c2 = m->cN[2];
  ui::CloseAction action = ui::CloseAction::caHide;
  m->FormClose(m, action);
  EXPECT_TRUE(c2.isNull());
  EXPECT_EQ(m->cN[2], nullptr);
  EXPECT_FALSE(m->tmReloj->enabled());
}

}  // namespace
}  // namespace vardel
