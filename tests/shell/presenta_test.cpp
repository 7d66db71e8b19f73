// The opening: its window, timeline, status texts, the red N and the skip.
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "tests/shell/shell_fixture.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel {
namespace {

using test::ContentFolder;

class PresentaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frmMapa = new TfrmMapa(Variant::Basic);
    frmPresenta = new TfrmPresenta();
  }
  void TearDown() override {
    delete frmPresenta.data();
    delete frmMapa.data();
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
  }
  ContentFolder folder_;
};

TEST_F(PresentaTest, OpensWhiteAndFullScreenWithItsFirstPictureHidden) {
  TfrmPresenta* p = frmPresenta;
  EXPECT_TRUE(p->isVisible());
  EXPECT_EQ(p->geometry(), QRect(0, 0, 800, 600));
  EXPECT_EQ(p->color(), ui::clWhite);
  EXPECT_FALSE(p->imgLogo->isVisible());
  EXPECT_TRUE(test::near(p->imgLogo->picture().pixelColor(10, 10), test::kP1));
  EXPECT_EQ(p->lbPresenta->pos(), QPoint(330, 341));
  EXPECT_EQ(p->lbOndravia->pos(), QPoint(220, 451));
  EXPECT_EQ(p->lbOndravia->caption(), QStringLiteral(" ONDRAVIA VARDEL "));
  EXPECT_EQ(p->lbURL->geometry(), QRect(178, 569, 431, 16));
  EXPECT_EQ(p->lbURL->caption(), QStringLiteral("Buscando componentes instalados"));
  EXPECT_TRUE(p->tmControl->enabled());
  EXPECT_EQ(p->tmControl->interval(), 800);
  EXPECT_FALSE(p->tmTexto->enabled());
  EXPECT_EQ(p->tmTexto->interval(), 2250);
  EXPECT_FALSE(p->tmParpadeo->enabled());
  EXPECT_EQ(p->tmParpadeo->interval(), 2000);
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crHourGlass);
}

TEST_F(PresentaTest, TheRedNCoversTheTitlesOwnN) {
  TfrmPresenta* p = frmPresenta;
  p->lbOndravia->show();
  p->lbN->show();
  const QImage shot = p->grab().toImage();
  const QRect n = p->lbN->geometry().translated(p->client()->pos());
  int red = 0;
  int black = 0;
  for (int y = n.top(); y <= n.bottom(); ++y) {
    for (int x = n.left(); x <= n.right(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 60 && c.blue() < 100) ++red;
      if (c.red() < 40 && c.green() < 40 && c.blue() < 40) ++black;
    }
  }
  EXPECT_GT(red, 40);
  EXPECT_EQ(black, 0) << "part of the title's black N shows beside the red one";
  // The letters on either side of the N stay black.
  int blackAround = 0;
  for (int y = n.top(); y <= n.bottom(); ++y) {
    for (const int x : {n.left() - 4, n.right() + 4}) {
      const QColor c = shot.pixelColor(x, y);
      if (c.red() < 40 && c.green() < 40 && c.blue() < 40) ++blackAround;
    }
  }
  EXPECT_GT(blackAround, 5);
}

TEST_F(PresentaTest, TheSequenceStepsShowItsPicturesTextsAndHandOverToTheMap) {
  TfrmPresenta* p = frmPresenta;
  TfrmMapa* m = frmMapa;
  m->show();
  p->tmControlTimer(p->tmControl);
  EXPECT_FALSE(p->tmControl->enabled());
  EXPECT_TRUE(p->imgLogo->isVisible());
  EXPECT_FALSE(m->isVisible());
  EXPECT_TRUE(p->tmTexto->enabled());

  p->tmTextoTimer(p->tmTexto);
  EXPECT_EQ(p->tmTexto->tag, 1);
  EXPECT_TRUE(p->lbPresenta->isVisible());
  p->tmTextoTimer(p->tmTexto);
  EXPECT_TRUE(p->lbOndravia->isVisible());
  EXPECT_TRUE(p->lbN->isVisible());
  p->tmTextoTimer(p->tmTexto);
  EXPECT_EQ(p->tmTexto->tag, 3);
  EXPECT_EQ(p->tmTexto->interval(), 10200);
  EXPECT_TRUE(test::near(p->imgLogo->picture().pixelColor(10, 10), test::kP2));
  EXPECT_FALSE(p->lbPresenta->isVisible());
  EXPECT_FALSE(p->lbOndravia->isVisible());
  EXPECT_FALSE(p->lbN->isVisible());
  EXPECT_TRUE(p->tmParpadeo->enabled());
  EXPECT_TRUE(p->lbURL->isVisible());

  const QStringList expected = {"Buscando ficheros añadidos",
                                "Buscando módulos multimedia adicionales",
                                "Comprobando validez de ficheros",
                                "Generando interfaz gráfico",
                                "Llegando a la isla de ONDRAVIA VARDEL...",
                                "Llegando a la isla de ONDRAVIA VARDEL..."};
  for (const QString& text : expected) {
    p->tmParpadeoTimer(p->tmParpadeo);
    EXPECT_EQ(p->lbURL->caption(), text);
  }

  p->tmTextoTimer(p->tmTexto);
  EXPECT_EQ(p->tmTexto->tag, 4);
  EXPECT_EQ(p->tmTexto->interval(), 3000);
  p->tmTextoTimer(p->tmTexto);
  EXPECT_FALSE(p->tmTexto->enabled());
  EXPECT_TRUE(m->isVisible());
  EXPECT_EQ(m->pos(), QPoint(0, 0));
  EXPECT_TRUE(test::near(m->ImgFondo->picture().pixelColor(400, 300), test::kP8));
  EXPECT_TRUE(m->tmPresenta->enabled());
  EXPECT_FALSE(m->Label1->isVisibleTo(m));
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crHourGlass);
}

TEST_F(PresentaTest, ClicksOnTheFirstPictureDoNothingAndOnTheSecondSkipToTheFinishedMap) {
  TfrmPresenta* p = frmPresenta;
  TfrmMapa* m = frmMapa;
  p->tmControlTimer(p->tmControl);
  p->tmTextoTimer(p->tmTexto);
  p->tmTextoTimer(p->tmTexto);
  QTest::mouseClick(p->imgLogo, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_TRUE(p->isVisible());
  EXPECT_TRUE(p->tmTexto->enabled());
  p->tmTextoTimer(p->tmTexto);  // the second picture
  QTest::mouseClick(p->imgLogo, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_FALSE(p->isVisible());
  EXPECT_FALSE(p->tmTexto->enabled());
  EXPECT_TRUE(m->isVisible());
  EXPECT_EQ(m->pos(), QPoint(0, 0));
  EXPECT_TRUE(test::near(m->ImgFondo->picture().pixelColor(400, 300), test::kP3));
  EXPECT_TRUE(m->Label1->isVisible());
  EXPECT_TRUE(m->lbReloj->isVisible());
  EXPECT_FALSE(m->tmPresenta->enabled());  // the map is interactive at once
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
}

TEST(PresentaWithoutPictures, StaysWhiteUntilTheSecondPictureWhenTheFirstIsMissing) {
  ContentFolder folder;
  folder.remove("Graficos/p1");
  frmMapa = new TfrmMapa(Variant::Basic);
  frmPresenta = new TfrmPresenta();
  EXPECT_FALSE(frmPresenta->imgLogo->hasPicture());
  frmPresenta->tmControlTimer(nullptr);
  frmPresenta->tmTextoTimer(nullptr);
  frmPresenta->tmTextoTimer(nullptr);
  frmPresenta->tmTextoTimer(nullptr);
  EXPECT_TRUE(test::near(frmPresenta->imgLogo->picture().pixelColor(10, 10), test::kP2));
  delete frmPresenta.data();
  delete frmMapa.data();
  ui::Application::instance().setCursor(ui::Cursor::crDefault);
}

// The whole timeline in real time. Every step comes at its time after the step that started its
// timer: never sooner, and on a busy machine maybe later (the bound is generous), which then
// delays the steps after it as well.
TEST(PresentaTimeline, EveryStepComesAtItsTimeAfterTheStepThatStartedItsTimer) {
  ContentFolder folder;
  QElapsedTimer clock;
  clock.start();
  frmMapa = new TfrmMapa(Variant::Basic);
  const qint64 created = clock.elapsed();  // the timers start after this
  frmPresenta = new TfrmPresenta();
  TfrmPresenta* p = frmPresenta;
  std::vector<std::pair<QString, qint64>> steps;
  const auto record = [&](const char* name, ui::Timer* timer, void (TfrmPresenta::*handler)(QObject*)) {
    timer->setOnTimer([&, name, handler](QObject* sender) {
      steps.emplace_back(QString::fromLatin1(name), clock.elapsed());
      (p->*handler)(sender);
    });
  };
  record("control", p->tmControl, &TfrmPresenta::tmControlTimer);
  record("texto", p->tmTexto, &TfrmPresenta::tmTextoTimer);
  record("parpadeo", p->tmParpadeo, &TfrmPresenta::tmParpadeoTimer);
  ASSERT_TRUE(test::waitUntil([&] { return frmMapa->tmPresenta->enabled(); }, 60000));
  // name, the step it counts from (-1: the window's creation), its time after that step
  struct Expected {
    const char* name;
    int from;
    qint64 after;
  };
  const std::vector<Expected> expected = {{"control", -1, 800},  {"texto", 0, 2250},     {"texto", 1, 2250},
                                          {"texto", 2, 2250},    {"parpadeo", 3, 2000},  {"parpadeo", 3, 4000},
                                          {"parpadeo", 3, 6000}, {"parpadeo", 3, 8000},  {"parpadeo", 3, 10000},
                                          {"texto", 3, 10200},   {"parpadeo", 3, 12000}, {"texto", 9, 3000}};
  ASSERT_GE(steps.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(steps[i].first, QLatin1String(expected[i].name)) << i;
    const qint64 origin = expected[i].from < 0 ? created : steps[size_t(expected[i].from)].second;
    const qint64 took = steps[i].second - origin;
    EXPECT_GE(took, expected[i].after - 2) << expected[i].name << " " << i;
    EXPECT_LE(took, expected[i].after + 1500) << expected[i].name << " " << i;
  }
  EXPECT_EQ(p->lbURL->caption(), QStringLiteral("Llegando a la isla de ONDRAVIA VARDEL..."));
  delete frmPresenta.data();
  delete frmMapa.data();
  ui::Application::instance().setCursor(ui::Cursor::crDefault);
}

}  // namespace
}  // namespace vardel
