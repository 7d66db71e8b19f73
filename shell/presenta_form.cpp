// The opening: pictures, the title and the status line on a timeline, with music.
#include "shell/presenta_form.h"

#include "platform/paths.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "ui/application.h"
#include "ui/definition.h"

#include <QTextLayout>

namespace vardel {

using platform::programFolder;
using ui::Application;
using ui::Cursor;

namespace {
const QString kArial = QStringLiteral("Arial");
const QString kTitle = QStringLiteral(" ONDRAVIA VARDEL ");
}  // namespace

TfrmPresenta::TfrmPresenta() : TfrmPresenta(WindowOnly{}) { completeCreation(); }

TfrmPresenta::TfrmPresenta(WindowOnly) {
  setObjectName(QStringLiteral("frmPresenta"));
  setBorderStyle(ui::BorderStyle::bsNone);
  setColor(ui::clWhite);
  setCaption(QStringLiteral("VARDEL"));
  setBounds(0, 0, 800, 600);
  show();
}

void TfrmPresenta::completeCreation() {
  if (imgLogo) return;
  defineControls();
  FormCreate(this);
}

void TfrmPresenta::defineControls() {
  // clang-format off
  ui::Definition d(this, client());
  d.add(imgLogo, "imgLogo", 0, 0).autoSize().visible(false).onClick(&TfrmPresenta::imgLogoClick);
  d.add(lbPresenta, "lbPresenta", 330, 341).caption(QStringLiteral("PRESENTA")).transparent()
      .font(kArial, 21, ui::fsBold).fontColor(ui::clBlack).visible(false);
  d.add(lbOndravia, "lbOndravia", 220, 451).caption(kTitle).color(ui::clWhite)
      .font(kArial, 32, ui::fsBold | ui::fsUnderline).fontColor(ui::clWindowText).visible(false);
  d.add(lbN, "lbN", 370, 451).caption(QStringLiteral("N")).color(ui::clWhite)
      .font(kArial, 32, ui::fsBold | ui::fsUnderline).fontColor(ui::rgb(182, 16, 62)).visible(false);
  d.add(lbURL, "lbURL", 178, 569, 431, 16).autoSize(false).alignment(ui::Alignment::taCenter).transparent()
      .caption(QStringLiteral("Buscando componentes instalados")).font(kArial, 13, ui::fsBold)
      .fontColor(ui::clBlack).visible(false);
  d.timer(tmControl, "tmControl").interval(800).enabled(true).onTimer(&TfrmPresenta::tmControlTimer);
  d.timer(tmTexto, "tmTexto").interval(2250).enabled(false).onTimer(&TfrmPresenta::tmTextoTimer);
  d.timer(tmParpadeo, "tmParpadeo").interval(2000).enabled(false).onTimer(&TfrmPresenta::tmParpadeoTimer);
  placeRedN();
  // clang-format on
}

// The red N covers the title's own letter N, wherever the substituted font puts it.
void TfrmPresenta::placeRedN() {
  const qsizetype index = kTitle.indexOf(QLatin1Char('N'));
  QTextLayout layout(kTitle, lbOndravia->font());
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  const int x = int(std::lround(line.cursorToX(int(index))));
  lbN->move(lbOndravia->x() + x, lbOndravia->y());
}

QString TfrmPresenta::statusText(int step) {
  static const QString kTexts[] = {
      QStringLiteral("Buscando ficheros añadidos"),
      QStringLiteral("Buscando módulos multimedia adicionales"),
      QStringLiteral("Comprobando validez de ficheros"),
      QStringLiteral("Generando interfaz gráfico"),
      QStringLiteral("Llegando a la isla de ONDRAVIA VARDEL..."),
  };
  if (step < 0) return QStringLiteral("Buscando componentes instalados");
  return kTexts[std::min(step, 4)];
}

void TfrmPresenta::FormCreate(QObject*) {
  setBounds(0, 0, 800, 600);
  // Picture, library and music in one step: a failure anywhere leaves the rest undone, silently.
  try {
    imgLogo->loadPicture(programFolder() + QStringLiteral("Graficos\\p1."));
    if (frmMapa) frmMapa->playOpeningMusic();
  } catch (const std::exception&) {
  }
}

void TfrmPresenta::tmControlTimer(QObject*) {
  tmControl->setEnabled(false);
  imgLogo->show();
  if (frmMapa) frmMapa->hide();
  tmTexto->setEnabled(true);
}

void TfrmPresenta::tmTextoTimer(QObject*) {
  switch (tmTexto->tag) {
    case 0:
      tmTexto->tag = 1;
      lbPresenta->show();
      break;
    case 1:
      tmTexto->tag = 2;
      lbOndravia->show();
      lbN->show();
      break;
    case 2:
      tmTexto->tag = 3;
      tmTexto->setInterval(10200);
      try {
        imgLogo->loadPicture(programFolder() + QStringLiteral("Graficos\\p2."));
      } catch (const std::exception&) {
      }
      lbPresenta->hide();
      lbOndravia->hide();
      lbN->hide();
      tmParpadeo->setEnabled(true);
      lbURL->show();
      break;
    case 3:
      tmTexto->tag = 4;
      tmTexto->setInterval(3000);
      break;
    case 4:
      tmTexto->setEnabled(false);
      if (frmMapa) frmMapa->handOver(this);
      break;
    default:
      break;
  }
}

void TfrmPresenta::tmParpadeoTimer(QObject*) {
  if (tmParpadeo->tag <= 4) lbURL->setCaption(statusText(tmParpadeo->tag));
  lbURL->repaint();
  ++tmParpadeo->tag;
}

void TfrmPresenta::imgLogoClick(QObject*) {
  if (!tmTexto->enabled() || tmTexto->tag <= 2) return;
  tmTexto->setEnabled(false);
  if (frmMapa) {
    frmMapa->skipOpening(this);
    return;
  }
  close();
  Application::instance().setCursor(Cursor::crDefault);
}

}  // namespace vardel
