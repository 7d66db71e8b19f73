// A CUPS server of a test's own: cupsd with its own folders on a loopback port and one PDF
// queue (printer-driver-cups-pdf), so printing goes through the real print service.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vardel::test {

class CupsServer {
 public:
  // Starts the server and adds the queue; sets CUPS_SERVER for this process, so create it
  // before anything in the process talks to CUPS (Qt's printer list included).
  CupsServer();
  ~CupsServer();
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  // False when cupsd, lpadmin or the PDF backend is missing or the server did not come up;
  // reason() says which (tests skip with it).
  bool available() const { return available_; }
  QString reason() const { return reason_; }

  QString queue() const { return queue_; }
  QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
  QString outputFolder() const;

  // Waits for the number-th PDF (from 1) the queue writes; its path, or empty on time-out.
  QString waitForPdf(int number = 1, int timeoutMs = 60000) const;
  // The titles of the jobs the server has printed, oldest first (from its page log).
  QStringList jobTitles() const;
  // The server's error log, for failure messages.
  QString errorLog() const;

 private:
  bool start();
  bool run(const QString& program, const QStringList& arguments, QString* output = nullptr);

  QTemporaryDir root_;
  std::unique_ptr<QProcess> cupsd_;
  QString queue_;
  QString backendConfig_;  // cups-pdf reads its per-queue configuration from /etc/cups
  int port_ = 0;
  bool available_ = false;
  QString reason_;
};

}  // namespace vardel::test
