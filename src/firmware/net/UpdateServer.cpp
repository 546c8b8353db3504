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

int timeLimitMs() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("BRELMONT_HTTPS_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : 30000;
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

HttpsFetch::HttpsFetch(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

HttpsFetch::~HttpsFetch() { cancel(); }

void HttpsFetch::get(const QUrl& url, qint64 maxBytes) {
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
    request.setTransferTimeout(timeLimitMs());
    request.setSslConfiguration(tlsConfiguration());
    m_maxBytes = maxBytes;
    m_tooLarge = false;
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (received > m_maxBytes && m_reply) {
            m_tooLarge = true;
            m_reply->abort();
            return;
        }
        emit progress(received, total);
    });
    connect(m_reply, &QNetworkReply::finished, this, &HttpsFetch::done);
}

void HttpsFetch::done() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply) return;
    reply->deleteLater();
    if (m_tooLarge) {
        emit failed(tr("the server sent more than the %1 bytes expected").arg(m_maxBytes));
    } else if (reply->error() != QNetworkReply::NoError) {
        emit failed(reply->errorString());
    } else {
        emit finished(reply->readAll());
    }
}

void HttpsFetch::cancel() {
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

std::optional<QByteArray> fetchAndWait(const QUrl& url, qint64 maxBytes, QString* error,
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
    fetch.get(url, maxBytes);
    loop.exec();
    return body;
}

} // namespace brelmont::firmware
