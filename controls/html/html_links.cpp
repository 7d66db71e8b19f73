// The light viewer's links, and the pictures and style sheets of its documents: followed and read
// within the magazine's folder, nothing from the network.
#include "controls/html/html_viewer.h"

#include "platform/file_limits.h"
#include "platform/file_url.h"
#include "platform/jpeg.h"
#include "platform/regular_file.h"
#include "platform/textcodec.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace vardel::controls {
namespace {

bool hasScheme(const QString& href) {
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
  return scheme.match(href).hasMatch();
}

}  // namespace

void HtmlViewerControl::adjustLinkColours(QTextDocument* parsed, const QColor& link, const QColor& visitedLink) {
  if (visitedLink == link) return;
  const QString folder = folderOfDocument();
  for (QTextBlock block = parsed->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
      if (format.foreground().color() != link) continue;  // the document colours it itself
      const QString href = format.anchorHref();
      if (href.startsWith(QLatin1Char('#'))) continue;
      if (hasScheme(href) && !platform::isFileUrl(href)) continue;
      const QString target =
          platform::resolveFileUrl(hasScheme(href) ? href : QStringLiteral("file:") + href, folder).path;
      if (!visited_.contains(target)) continue;
      QTextCursor cursor(parsed);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      QTextCharFormat colour;
      colour.setForeground(visitedLink);
      cursor.mergeCharFormat(colour);
    }
  }
}

QString HtmlViewerControl::folderOfDocument() const {
  return request_.path.isEmpty() ? QString() : QFileInfo(request_.path).absolutePath();
}

void HtmlViewerControl::followLink(const QUrl& link) {
  const QString href = link.toString();
  if (href.startsWith(QLatin1Char('#'))) {
    completeDisplay();  // the anchor may lie past the start on display
    scrollToAnchor(QUrl::fromPercentEncoding(href.mid(1).toUtf8()));
    return;
  }
  if (hasScheme(href) && !platform::isFileUrl(href)) {
    if (link.scheme().compare(QLatin1String("javascript"), Qt::CaseInsensitive) != 0) QDesktopServices::openUrl(link);
    return;
  }
  const platform::FileUrl target =
      platform::resolveFileUrl(hasScheme(href) ? href : QStringLiteral("file:") + href, folderOfDocument());
  if (target.path.isEmpty()) return;
  if (target.path == request_.path && !target.fragment.isEmpty() && document_.serial == request_.serial &&
      !displayPending_) {
    completeDisplay();
    scrollToAnchor(target.fragment);
    return;
  }
  // A missing file gets its error page through the same road.
  enqueue(target.path, target.fragment);
}

QVariant HtmlViewerControl::loadResource(int type, const QUrl& name) {
  // Never an empty answer: Qt would then read the file itself, wherever it lies (a picture by
  // its name as written, from the current folder). A picture there is none of is drawn as Qt
  // draws a missing one.
  const QVariant found = readResource(type, name);
  if (!found.isNull()) return found;
  if (type != QTextDocument::ImageResource) return QString();
  static const QImage missing = [] {
    QImage icon(QStringLiteral(":/qt-project.org/styles/commonstyle/images/file-16.png"));
    if (icon.isNull()) {
      icon = QImage(16, 16, QImage::Format_ARGB32);
      icon.fill(Qt::transparent);
    }
    return icon;
  }();
  return missing;
}

QVariant HtmlViewerControl::readResource(int type, const QUrl& name) const {
  if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource) return {};
  const QString ref = name.toString();
  if (hasScheme(ref) && !platform::isFileUrl(ref)) return {};  // nothing from the network
  const QString path =
      platform::resolveFileUrl(hasScheme(ref) ? ref : QStringLiteral("file:") + ref, folderOfDocument()).path;
  if (path.isEmpty() || !readable(path)) return {};
  // Only a regular file within its limit: a link to a device, say, is a missing picture.
  const bool picture = type == QTextDocument::ImageResource;
  const std::optional<QByteArray> read =
      platform::readRegularFile(path, picture ? platform::kMaxPictureBytes : platform::kMaxArticleBytes);
  if (!read) return {};
  const QByteArray& bytes = *read;
  if (!picture) return platform::decodeWindowsText(bytes);
  QImage image;
  if (!image.loadFromData(bytes)) image = platform::decodeJpeg(bytes);  // pictures without a suffix
  if (image.isNull()) return {};
  return image;
}

}  // namespace vardel::controls
