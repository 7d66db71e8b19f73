// The generator of measurement articles.
#include "bench/article_generator.h"

#include "platform/textcodec.h"

#include <QString>

namespace vardel::bench {
namespace {

const char* const kTopics[] = {"la costa norte",         "los molinos de Tarvel", "la pesca del atún",
                               "el puerto de San Telmo", "las fiestas de agosto", "la sierra central",
                               "el faro de Poniente",    "los viñedos del sur"};

QString section(int n) {
  const QString topic = QString::fromUtf8(kTopics[n % 8]);
  return QStringLiteral(
             "<H2><A NAME=\"s%1\">%1. Sobre %2</A></H2>\n"
             "<P><FONT FACE=\"Arial\" SIZE=2>En esta sección hablamos de <B>%2</B>, uno de los lugares más "
             "queridos por los isleños. Según el censo de 1998, más de %3&nbsp;personas lo visitan cada año; "
             "la mayoría llega en el ferry de las 9:30 desde Puerto Alto.</FONT></P>\n"
             "<P>«Aquí el tiempo pasa despacio», nos cuenta Ramón Pérez, que ha vivido junto a %2 desde niño. "
             "Su familia regenta una pequeña fonda donde se sirve caldereta &amp; queso de cabra por 12&euro;. "
             "Para más detalles, véase el <A HREF=\"historia.html#s%1\">capítulo de historia</A> o el "
             "<A HREF=\"#s0\">comienzo del artículo</A>.</P>\n"
             "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=2 BGCOLOR=\"#E0E0FF\">\n"
             "<TR BGCOLOR=\"#C0C0FF\"><TH>Año</TH><TH>Visitantes</TH><TH>Ingresos (miles)</TH></TR>\n"
             "<TR><TD>1996</TD><TD>%4</TD><TD>%5</TD></TR>\n"
             "<TR><TD>1997</TD><TD>%6</TD><TD>%7</TD></TR>\n"
             "<TR><TD BGCOLOR=\"#FFE0E0\">1998</TD><TD>%3</TD><TD></TD></TR>\n"
             "</TABLE>\n"
             "<P>Lo que no hay que perderse:</P>\n"
             "<UL>\n<LI>El mirador, al atardecer.\n<LI>La lonja, con sus subastas:\n"
             "  <UL><LI>de madrugada, el pescado;<LI>a mediodía, el marisco.</UL>\n"
             "<LI>La ermita de Santa Ana.\n</UL>\n"
             "<CENTER><IMG SRC=\"Imagenes/foto%1.jpg\" WIDTH=200 HEIGHT=150 ALT=\"Vista de %2\"></CENTER>\n"
             "<PRE>\n  Horario del ferry    Salida   Llegada\n  Lunes a viernes      9:30     10:45\n"
             "  Sábados              11:00    12:15\n</PRE>\n"
             "<P><I>Texto: redacción de Ondravia. Fotografía: archivo.</I></P>\n<HR>\n")
      .arg(n)
      .arg(topic)
      .arg(1000 + n * 37)
      .arg(800 + n * 31)
      .arg(40 + n)
      .arg(900 + n * 29)
      .arg(45 + n);
}

}  // namespace

QByteArray generateArticle(qsizetype bytes) {
  QByteArray html = platform::encodeWindows1252(
      QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n<HTML>\n<HEAD>\n"
                     "<TITLE>Ondravia - Reportaje</TITLE>\n<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\n"
                     "function abrir(u) { window.open(u, 'v', 'width=400,height=300'); }\n// -->\n</SCRIPT>\n</HEAD>\n"
                     "<BODY BGCOLOR=\"#FFFFF0\" LINK=\"#0000CC\" VLINK=\"#800080\">\n"
                     "<TABLE WIDTH=\"100%\" BORDER=0><TR><TD WIDTH=120 VALIGN=TOP BGCOLOR=\"#D0E0D0\">\n"
                     "<A HREF=\"geografia.html\">Geografía</A><BR>\n<A HREF=\"historia.html\">Historia</A><BR>\n"
                     "<A HREF=\"cultura.html\">Cultura</A>\n</TD><TD VALIGN=TOP>\n"
                     "<H1><A NAME=\"s0\">Reportaje: la isla por dentro</A></H1>\n"));
  const QByteArray end = "</TD></TR></TABLE>\n</BODY>\n</HTML>\n";
  for (int n = 1; html.size() + end.size() < bytes; ++n) html += platform::encodeWindows1252(section(n));
  return html + end;
}

}  // namespace vardel::bench
