#include "firmware/net/UpdateServer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QSslConfiguration>

namespace brelmont::firmware {

namespace {

constexpr const char* MakersServer = "https://update.brelmont.com/autoupdate/AI/";

int milliseconds(const char* variable, int fallback) {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue(variable, &ok);
    return ok && ms > 0 ? ms : fallback;
}

QSslConfiguration tlsConfiguration() {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    const QString extra = qEnvironmentVariable("BRELMONT_CA_FILE");
    if (!extra.isEmpty()) tls.addCaCertificates(extra);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return tls;
}

} // namespace

QUrl updateRoot() {
    QString root = qEnvironmentVariable("BRELMONT_UPDATE_ROOT");
    if (root.isEmpty()) root = QSettings().value(QStringLiteral("firmware/root"), QString::fromLatin1(MakersServer)).toString();
    if (!root.endsWith(QLatin1Char('/'))) root += QLatin1Char('/');
    return QUrl(root);
}

QUrl catalogueUrl() { return updateRoot().resolved(QUrl(QStringLiteral("firmware.json"))); }

HttpsFetch::HttpsFetch(QObject* parent)
    : QObject(parent),
      m_network(new QNetworkAccessManager(this)),
      m_deadline(new QTimer(this)) {
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        if (!m_reply) return;
        m_stopped = tr("the server did not finish within %1 s").arg(m_deadline->interval() / 1000.0);
        m_reply->abort();
    });
}

HttpsFetch::~HttpsFetch() { cancel(); }

void HttpsFetch::get(const QUrl& url, qint64 maxBytes, int deadlineMs) {
    cancel();
    if (url.scheme() != QLatin1String("https")) {
        // Firmware comes only from a server that proves who it is.
        QMetaObject::invokeMethod(
            this, [this, url] { emit failed(tr("%1 is not an https:// address").arg(url.toString())); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(milliseconds("BRELMONT_HTTPS_TIMEOUT_MS", 30000));
    request.setSslConfiguration(tlsConfiguration());
    m_maxBytes = maxBytes;
    m_stopped.clear();
    m_body.clear();
    m_reply = m_network->get(request);
    m_reply->setReadBufferSize(256 * 1024); // what arrives is taken as it comes, not kept twice
    m_deadline->start(milliseconds("BRELMONT_HTTPS_DEADLINE_MS", deadlineMs));
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant declared = m_reply ? m_reply->header(QNetworkRequest::ContentLengthHeader) : QVariant();
        if (declared.isValid() && declared.toLongLong() > m_maxBytes) {
            m_stopped = tr("the server announced %1 bytes, more than the %2 expected").arg(declared.toLongLong()).arg(m_maxBytes);
            m_reply->abort();
        }
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpsFetch::take);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (m_stopped.isEmpty()) emit progress(received, total);
    });
    connect(m_reply, &QNetworkReply::finished, this, &HttpsFetch::done);
}

void HttpsFetch::take() {
    if (!m_reply || !m_stopped.isEmpty()) return;
    const QByteArray piece = m_reply->read(m_maxBytes + 1 - m_body.size());
    m_body += piece;
    if (m_body.size() > m_maxBytes) {
        m_stopped = tr("the server sent more than the %1 bytes expected").arg(m_maxBytes);
        m_body = QByteArray();
        m_reply->abort();
    }
}

void HttpsFetch::done() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    m_deadline->stop();
    if (!reply) return;
    reply->deleteLater();
    if (m_stopped.isEmpty() && reply->error() == QNetworkReply::NoError) {
        m_reply = reply;
        take();
        m_reply = nullptr;
    }
    QByteArray body = std::move(m_body);
    m_body = QByteArray();
    if (!m_stopped.isEmpty()) emit failed(m_stopped);
    else if (reply->error() != QNetworkReply::NoError) emit failed(reply->errorString());
    else emit finished(body);
}

void HttpsFetch::cancel() {
    m_deadline->stop();
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

std::optional<QByteArray> fetchAndWait(const QUrl& url, qint64 maxBytes, int deadlineMs, QString* error,
                                       const std::function<void(qint64, qint64)>& progress) {
    HttpsFetch fetch;
    QEventLoop loop;
    std::optional<QByteArray> body;
    QObject::connect(&fetch, &HttpsFetch::finished, &loop, [&](const QByteArray& bytes) {
        body = bytes;
        loop.quit();
    });
    QObject::connect(&fetch, &HttpsFetch::failed, &loop, [&](const QString& reason) {
        if (error) *error = reason;
        loop.quit();
    });
    if (progress) QObject::connect(&fetch, &HttpsFetch::progress, &loop, progress);
    fetch.get(url, maxBytes, deadlineMs);
    loop.exec();
    return body;
}

} // namespace brelmont::firmware
