// The test's own CUPS server: configuration, start, the PDF queue and what it printed.
#include "tests/support/cups_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vardel::test {
namespace {

constexpr const char* kBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

// A loopback port nobody listens on now.
int freePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  ::close(s);
  return port;
}

bool accepts(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(uint16_t(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  ::close(s);
  return ok;
}

bool writeText(const QString& path, const QString& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

}  // namespace

CupsServer::CupsServer() {
  queue_ = QStringLiteral("VardelTest%1").arg(QCoreApplication::applicationPid());
  available_ = start();
  if (!available_ && reason_.isEmpty()) reason_ = QStringLiteral("the CUPS server did not start");
}

CupsServer::~CupsServer() {
  if (cupsd_) {
    cupsd_->terminate();
    if (!cupsd_->waitForFinished(5000)) cupsd_->kill();
    cupsd_->waitForFinished(2000);
  }
  if (!backendConfig_.isEmpty()) QFile::remove(backendConfig_);
}

QString CupsServer::outputFolder() const { return root_.filePath(QStringLiteral("out")); }

bool CupsServer::run(const QString& program, const QStringList& arguments, QString* output) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, arguments);
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished();
    return false;
  }
  if (output) *output = QString::fromLocal8Bit(p.readAll());
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool CupsServer::start() {
  const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {"/usr/sbin", "/sbin"});
  const QString lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {"/usr/sbin", "/sbin"});
  if (cupsd.isEmpty() || lpadmin.isEmpty()) return reason_ = QStringLiteral("cupsd or lpadmin is not installed"), false;
  if (!QFileInfo::exists(kBackend) || !QFileInfo::exists(kPpd))
    return reason_ = QStringLiteral("printer-driver-cups-pdf is not installed"), false;
  if (::geteuid() != 0) return reason_ = QStringLiteral("the PDF backend runs only for root"), false;
  if (!root_.isValid()) return false;
  port_ = freePort();
  if (port_ == 0) return false;

  // Filters run as the unprivileged print user: every folder must be reachable to it.
  const QString r = root_.path();
  for (const char* d : {"conf", "spool", "logs", "cache", "state", "tmp", "out", "pdfspool"})
    QDir(r).mkpath(QString::fromLatin1(d));
  ::chmod(QFile::encodeName(r).constData(), 0755);
  ::chmod(QFile::encodeName(r + "/tmp").constData(), 01777);
  ::chmod(QFile::encodeName(r + "/out").constData(), 0777);

  const QString conf = r + "/conf/";
  const bool written =
      writeText(conf + "cupsd.conf", QStringLiteral("LogLevel debug\nListen 127.0.0.1:%1\nBrowsing Off\n"
                                                    "DefaultAuthType None\nWebInterface No\n"
                                                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                                    "    Allow all\n  </Limit>\n</Policy>\n")
                                         .arg(port_)) &&
      writeText(conf + "cups-files.conf",
                QStringLiteral("ServerRoot %1/conf\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                               "TempDir %1/tmp\nAccessLog %1/logs/access_log\nErrorLog %1/logs/error_log\n"
                               "PageLog %1/logs/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                               "Sandboxing Relaxed\n")
                    .arg(r));
  if (!written) return false;
  // The backend takes the configuration named after its device URI from /etc/cups.
  backendConfig_ = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(queue_);
  if (!writeText(backendConfig_, QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/pdfspool\nLog %1/logs\n"
                                                "LogType 7\nGrp root\nLabel 1\n")
                                     .arg(r))) {
    backendConfig_.clear();
    return reason_ = QStringLiteral("/etc/cups is not writable"), false;
  }

  cupsd_ = std::make_unique<QProcess>();
  cupsd_->setProcessChannelMode(QProcess::MergedChannels);
  cupsd_->setStandardOutputFile(r + "/logs/cupsd.out");
  cupsd_->start(cupsd, {"-f", "-c", conf + "cupsd.conf", "-s", conf + "cups-files.conf"});
  if (!cupsd_->waitForStarted(10000)) return false;
  QElapsedTimer clock;
  clock.start();
  while (!accepts(port_)) {
    if (clock.elapsed() > 20000 || cupsd_->state() != QProcess::Running) return false;
    QThread::msleep(50);
  }
  QString output;
  if (!run(lpadmin, {"-h", address(), "-p", queue_, "-E", "-v", "cups-pdf:/" + queue_, "-P", kPpd}, &output))
    return reason_ = QStringLiteral("lpadmin failed: ") + output, false;
  qputenv("CUPS_SERVER", address().toLatin1());
  return true;
}

QString CupsServer::waitForPdf(int number, int timeoutMs) const {
  QElapsedTimer clock;
  clock.start();
  do {
    // A job reaches the page log when its backend is done with it.
    if (jobTitles().size() >= number) {
      const QFileInfoList pdfs =
          QDir(outputFolder()).entryInfoList({"*.pdf"}, QDir::Files, QDir::Time | QDir::Reversed);
      if (pdfs.size() >= number) return pdfs[number - 1].absoluteFilePath();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(50);
  } while (clock.elapsed() < timeoutMs);
  return {};
}

QStringList CupsServer::jobTitles() const {
  // Page log lines: queue user job [date] total pages billing host title media sides.
  QFile log(root_.filePath("logs/page_log"));
  QStringList titles;
  if (!log.open(QIODevice::ReadOnly)) return titles;
  for (const QByteArray& line : log.readAll().split('\n')) {
    const qsizetype close = line.indexOf(']');
    if (close < 0) continue;
    QStringList fields = QString::fromUtf8(line.mid(close + 2)).split(' ');
    // "total" pages billing host, then the title (which may hold blanks), then media and sides.
    if (fields.size() < 7) continue;
    titles << fields.mid(4, fields.size() - 6).join(' ');
  }
  return titles;
}

QString CupsServer::errorLog() const {
  QFile log(root_.filePath("logs/error_log"));
  return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll().right(6000)) : QString();
}

}  // namespace vardel::test
