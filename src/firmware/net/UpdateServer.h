// Where the firmware catalogue and files come from, and how they are fetched: HTTPS only, the
// server's certificate verified, nothing cached, every request bounded in time and size.
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace brelmont::firmware {

// The update server's base: BRELMONT_UPDATE_ROOT, else the setting "firmware/root", else the
// maker's server; its path ends in "/autoupdate/AI/".
QUrl updateRoot();
// The catalogue: the base followed by "firmware.json".
QUrl catalogueUrl();

// The largest bodies accepted, whatever a server or its catalogue says.
constexpr qint64 MaxCatalogueBytes = 1024 * 1024;
constexpr qint64 MaxFirmwareBytes = 64 * 1024 * 1024;
// How long a whole request may take: the catalogue, and a firmware file at a slow line's pace.
constexpr int CatalogueDeadlineMs = 60 * 1000;
constexpr int FirmwareDeadlineMs = 15 * 60 * 1000;

// One HTTPS request at a time. Further certificate authorities come from BRELMONT_CA_FILE (a PEM
// file, for private mirrors and tests); a request stalls at most BRELMONT_HTTPS_TIMEOUT_MS
// (30000) without data, and ends at its deadline however steadily the bytes drip
// (BRELMONT_HTTPS_DEADLINE_MS, when set, stands for every deadline).
class HttpsFetch : public QObject {
    Q_OBJECT

public:
    explicit HttpsFetch(QObject* parent = nullptr);
    ~HttpsFetch() override;

    // Starts fetching; a body larger than `maxBytes` (or than it says it will be), or a request
    // still running after `deadlineMs`, ends as a failure. The body is taken as it arrives.
    void get(const QUrl& url, qint64 maxBytes, int deadlineMs);
    // Stops the request; neither signal follows.
    void cancel();
    bool busy() const { return m_reply != nullptr; }

signals:
    void progress(qint64 received, qint64 total); // total -1 when unknown
    void finished(const QByteArray& body);
    void failed(const QString& reason);

private:
    void done();
    void take();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer* m_deadline;
    QByteArray m_body;
    qint64 m_maxBytes = 0;
    QString m_stopped; // why the request was ended here; empty while it runs on its own
};

// For the command line: fetches and waits in a local event loop. The body, or none with `error`.
std::optional<QByteArray> fetchAndWait(const QUrl& url, qint64 maxBytes, int deadlineMs, QString* error,
                                       const std::function<void(qint64, qint64)>& progress = {});

} // namespace brelmont::firmware
