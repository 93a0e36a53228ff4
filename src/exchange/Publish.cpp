#include "exchange/Publish.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <curl/curl.h>

#include <map>
#include <memory>

namespace torvm {

namespace {

struct Entry {
    qint64 size = 0;
    QByteArray sha256; // hex
    friend bool operator==(const Entry&, const Entry&) = default;
};
using Manifest = std::map<QString, Entry>;

QByteArray manifestBytes(const Manifest& manifest)
{
    QByteArray bytes;
    for (const auto& [name, entry] : manifest)
        bytes += entry.sha256 + ' ' + QByteArray::number(entry.size) + ' ' + name.toUtf8() + '\n';
    return bytes;
}

// Lines that do not parse are left out: their files count as changed and are sent again.
Manifest parseManifest(const QByteArray& bytes)
{
    Manifest manifest;
    for (const QByteArray& line : bytes.split('\n')) {
        // "hash size name"; the name may hold blanks.
        const qsizetype second = line.indexOf(' ', 65);
        bool ok = false;
        const qint64 size = line.indexOf(' ') == 64 && second > 65 ? line.mid(65, second - 65).toLongLong(&ok) : 0;
        if (ok)
            manifest[QString::fromUtf8(line.mid(second + 1))] = {size, line.left(64)};
    }
    return manifest;
}

QString fingerprint(const char* key, size_t length)
{
    const QByteArray hash =
        QCryptographicHash::hash(QByteArrayView(key, static_cast<qsizetype>(length)), QCryptographicHash::Sha256);
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(hash.toBase64(QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals));
}

// Shared by the program and torvm-cli: a server accepted in one is known to the other.
QString knownHostsFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Velmarik/torvm/server-schluessel.ini"));
}

struct CurlFree {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using List = std::unique_ptr<curl_slist, ListFree>;

List makeList(const QStringList& commands)
{
    curl_slist* list = nullptr;
    for (const QString& c : commands)
        list = curl_slist_append(list, c.toUtf8().constData());
    return List(list);
}

size_t collect(char* data, size_t size, size_t count, void* target)
{
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

struct Source {
    const QByteArray* bytes;
    qsizetype offset = 0;
};

size_t supply(char* buffer, size_t size, size_t count, void* source)
{
    auto* s = static_cast<Source*>(source);
    const qsizetype n = std::min<qsizetype>(static_cast<qsizetype>(size * count), s->bytes->size() - s->offset);
    std::memcpy(buffer, s->bytes->constData() + s->offset, static_cast<size_t>(n));
    s->offset += n;
    return static_cast<size_t>(n);
}

// One connection to the server for the whole run, so a publish that sends little is quick.
class Connection {
public:
    Connection(const PublishTarget& target, const PublishOptions& options)
        : m_target(target)
        , m_options(options)
        , m_curl(curl_easy_init())
    {
    }

    bool valid() const { return m_curl != nullptr; }
    const QString& seenKey() const { return m_seenKey; }
    bool keyRefused() const { return m_keyRefused; }
    long responseCode() const
    {
        long code = 0;
        curl_easy_getinfo(m_curl.get(), CURLINFO_RESPONSE_CODE, &code);
        return code;
    }

    // Remote file name: an absolute path for SFTP; for FTP relative to the login folder, which
    // is how FTP servers name paths.
    QString path(const QString& name) const
    {
        if (m_target.protocol == PublishTarget::Protocol::Sftp)
            return m_target.folder + QLatin1Char('/') + name;
        const QString folder = m_target.folder.mid(1);
        return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
    }

    CURLcode get(const QString& name, QByteArray* bytes)
    {
        prepare(name);
        curl_easy_setopt(m_curl.get(), CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(m_curl.get(), CURLOPT_WRITEDATA, bytes);
        return curl_easy_perform(m_curl.get());
    }

    // Under a temporary name first, then renamed over the old file.
    CURLcode put(const QString& name, const QByteArray& bytes)
    {
        const QString part = QLatin1Char('.') + name + QStringLiteral(".part");
        prepare(part);
        Source source{&bytes};
        curl_easy_setopt(m_curl.get(), CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl.get(), CURLOPT_READFUNCTION, supply);
        curl_easy_setopt(m_curl.get(), CURLOPT_READDATA, &source);
        curl_easy_setopt(m_curl.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
        // SFTP servers refuse to rename onto an existing file; the old one goes just before.
        const List after = makeList(
            m_target.protocol == PublishTarget::Protocol::Sftp
                ? QStringList{QStringLiteral("*rm \"%1\"").arg(path(name)),
                              QStringLiteral("rename \"%1\" \"%2\"").arg(path(part), path(name))}
                : QStringList{QStringLiteral("RNFR %1").arg(path(part)), QStringLiteral("RNTO %1").arg(path(name))});
        curl_easy_setopt(m_curl.get(), CURLOPT_POSTQUOTE, after.get());
        return curl_easy_perform(m_curl.get());
    }

    // Runs commands without a transfer: removing files, making the folder.
    CURLcode command(const QStringList& commands)
    {
        prepare(QString());
        curl_easy_setopt(m_curl.get(), CURLOPT_NOBODY, 1L);
        const List list = makeList(commands);
        curl_easy_setopt(m_curl.get(), CURLOPT_QUOTE, list.get());
        return curl_easy_perform(m_curl.get());
    }

    QStringList makeFolder() const
    {
        QStringList commands;
        QString sofar;
        const bool sftp = m_target.protocol == PublishTarget::Protocol::Sftp;
        for (const QString& part : m_target.folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            sofar += (sofar.isEmpty() && !sftp ? QString() : QStringLiteral("/")) + part;
            commands << (sftp ? QStringLiteral("*mkdir \"%1\"").arg(sofar) : QStringLiteral("*MKD %1").arg(sofar));
        }
        return commands;
    }

    QString removeCommand(const QString& name) const
    {
        return m_target.protocol == PublishTarget::Protocol::Sftp ? QStringLiteral("*rm \"%1\"").arg(path(name))
                                                                  : QStringLiteral("*DELE %1").arg(path(name));
    }

private:
    static int checkHostKey(void* self, int, const char* key, size_t length)
    {
        auto* c = static_cast<Connection*>(self);
        c->m_seenKey = fingerprint(key, length);
        c->m_keyRefused = c->m_seenKey != c->m_options.hostKey;
        return c->m_keyRefused ? CURLKHMATCH_MISMATCH : CURLKHMATCH_OK;
    }

    void prepare(const QString& name)
    {
        CURL* curl = m_curl.get();
        curl_easy_reset(curl);
        const bool sftp = m_target.protocol == PublishTarget::Protocol::Sftp;
        QString url = (sftp ? QStringLiteral("sftp://") : QStringLiteral("ftp://")) + m_target.host;
        if (m_target.port != 0)
            url += QLatin1Char(':') + QString::number(m_target.port);
        url += QLatin1Char('/');
        if (sftp)
            url += QString::fromLatin1(QUrl::toPercentEncoding(path(name).mid(1), "/"));
        else if (!name.isEmpty())
            url += QString::fromLatin1(QUrl::toPercentEncoding(path(name), "/"));
        const QByteArray u = url.toUtf8();
        const QByteArray user = m_target.user.toUtf8();
        const QByteArray password = m_options.password.toUtf8();
        curl_easy_setopt(curl, CURLOPT_URL, u.constData());
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(m_options.timeoutSeconds));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_options.timeoutSeconds));
        curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        if (m_target.protocol == PublishTarget::Protocol::Ftps)
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        if (sftp) {
            curl_easy_setopt(curl, CURLOPT_SSH_HOSTKEYFUNCTION, checkHostKey);
            curl_easy_setopt(curl, CURLOPT_SSH_HOSTKEYDATA, this);
            if (!m_options.privateKey.isEmpty()) {
                m_keyFile = QFile::encodeName(m_options.privateKey);
                curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE, m_keyFile.constData());
            }
        }
    }

    const PublishTarget& m_target;
    const PublishOptions& m_options;
    std::unique_ptr<CURL, CurlFree> m_curl;
    QByteArray m_keyFile;
    QString m_seenKey;
    bool m_keyRefused = false;
};

// response: the server's last reply code, which tells a full FTP server from other refusals.
QString failureText(CURLcode code, long response, const PublishTarget& target)
{
    if (code == CURLE_UPLOAD_FAILED && (response == 452 || response == 552))
        code = CURLE_REMOTE_DISK_FULL;
    switch (code) {
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("Die Anmeldung bei %1 wurde abgelehnt: Benutzername oder Passwort ist falsch.")
            .arg(target.host);
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Der Server %1 ist nicht bekannt. Bitte die Adresse prüfen.").arg(target.host);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Der Server %1 hat die Verbindung abgelehnt.").arg(target.host);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Der Server %1 antwortet nicht (Zeitüberschreitung).").arg(target.host);
    case CURLE_REMOTE_DISK_FULL:
        return QStringLiteral("Auf dem Server %1 ist kein Platz mehr frei.").arg(target.host);
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("Mit %1 kam keine sichere Verbindung zustande: %2")
            .arg(target.host, QString::fromUtf8(curl_easy_strerror(code)));
    default:
        return QStringLiteral("Die Übertragung zu %1 ist fehlgeschlagen: %2")
            .arg(target.host, QString::fromUtf8(curl_easy_strerror(code)));
    }
}

bool isStartPage(const QString& name)
{
    return name.startsWith(QLatin1String("index"));
}

} // namespace

QString PublishTarget::address() const
{
    QString text = protocol == Protocol::Sftp   ? QStringLiteral("sftp://")
                   : protocol == Protocol::Ftps ? QStringLiteral("ftps://")
                                                : QStringLiteral("ftp://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    text += host;
    if (port != 0)
        text += QLatin1Char(':') + QString::number(port);
    return text + (folder.isEmpty() ? QStringLiteral("/") : folder);
}

QString PublishTarget::hostKeyName() const
{
    return host + QLatin1Char(':') + QString::number(port != 0 ? port : 22);
}

std::optional<PublishTarget> PublishTarget::parse(const QString& text, QString* error)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    PublishTarget target;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("sftp"))
        target.protocol = Protocol::Sftp;
    else if (scheme == QLatin1String("ftps"))
        target.protocol = Protocol::Ftps;
    else if (scheme == QLatin1String("ftp"))
        target.protocol = Protocol::Ftp;
    if (!url.isValid() ||
        (scheme != QLatin1String("sftp") && scheme != QLatin1String("ftps") && scheme != QLatin1String("ftp")) ||
        url.host().isEmpty() || !url.password().isEmpty() || url.hasQuery() || url.hasFragment()) {
        *error = url.password().isEmpty()
                     ? QStringLiteral("Die Adresse \"%1\" ist ungültig. Erwartet wird sftp://benutzer@server/ordner, "
                                      "ftps://… oder ftp://….")
                           .arg(text)
                     : QStringLiteral("Das Passwort gehört nicht in die Adresse; es wird beim Veröffentlichen "
                                      "abgefragt.");
        return std::nullopt;
    }
    target.user = url.userName();
    target.host = url.host();
    target.port = std::max(0, url.port());
    QString folder = url.path();
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    target.folder = folder;
    return target;
}

QString acceptedHostKey(const PublishTarget& target)
{
    const QSettings keys(knownHostsFile(), QSettings::IniFormat);
    return keys.value(QStringLiteral("Server/") + target.hostKeyName()).toString();
}

bool storeAcceptedHostKey(const PublishTarget& target, const QString& fingerprint)
{
    QDir().mkpath(QFileInfo(knownHostsFile()).absolutePath());
    QSettings keys(knownHostsFile(), QSettings::IniFormat);
    keys.setValue(QStringLiteral("Server/") + target.hostKeyName(), fingerprint);
    keys.sync();
    return keys.status() == QSettings::NoError;
}

PublishResult publishFolder(const QString& localFolder, const PublishTarget& target, const PublishOptions& options)
{
    PublishResult result;
    Manifest local;
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(localFolder).entryList(QDir::Files, QDir::Name)) {
        QFile file(QDir(localFolder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(file.fileName());
            return result;
        }
        files[name] = file.readAll();
        local[name] = {files[name].size(), QCryptographicHash::hash(files[name], QCryptographicHash::Sha256).toHex()};
    }

    Connection connection(target, options);
    const auto failed = [&](CURLcode code) {
        if (connection.keyRefused()) {
            result.hostKey = connection.seenKey();
            result.status =
                options.hostKey.isEmpty() ? PublishResult::Status::UnknownHost : PublishResult::Status::ChangedHostKey;
            result.error =
                options.hostKey.isEmpty()
                    ? QStringLiteral("Der Server %1 ist noch unbekannt. Der Fingerabdruck seines Schlüssels ist %2; "
                                     "bitte vergleichen und einmal bestätigen.")
                          .arg(target.host, result.hostKey)
                    : QStringLiteral("WARNUNG: Der Schlüssel des Servers %1 hat sich geändert (jetzt %2, bestätigt "
                                     "war %3). Es wurde nichts übertragen. Wenn der Betreiber den Schlüssel nicht "
                                     "erneuert hat, gibt sich ein anderer Rechner als Ihr Server aus.")
                          .arg(target.host, result.hostKey, options.hostKey);
            return result;
        }
        result.status =
            code == CURLE_ABORTED_BY_CALLBACK ? PublishResult::Status::Cancelled : PublishResult::Status::Failed;
        result.error = failureText(code, connection.responseCode(), target);
        return result;
    };
    if (!connection.valid()) {
        result.error = QStringLiteral("Die Übertragung konnte nicht vorbereitet werden.");
        return result;
    }

    QByteArray remoteBytes;
    CURLcode code = connection.get(QString::fromLatin1(kManifestName), &remoteBytes);
    if (code == CURLE_REMOTE_FILE_NOT_FOUND && !connection.keyRefused()) {
        remoteBytes.clear();
        code = connection.command(connection.makeFolder());
    }
    if (code != CURLE_OK)
        return failed(code);
    const Manifest remote = parseManifest(remoteBytes);

    QStringList send;
    QStringList startPages;
    for (const auto& [name, entry] : local) {
        const auto it = remote.find(name);
        if (it != remote.end() && it->second == entry)
            ++result.unchanged;
        else
            (isStartPage(name) ? startPages : send) << name;
    }
    send << startPages;
    QStringList gone;
    for (const auto& [name, entry] : remote) {
        if (local.count(name) == 0)
            gone << name;
    }
    // Before the first page changes, the manifest forgets every page about to change or go: a run
    // broken half way must not leave it vouching for a page the server no longer holds as listed,
    // or a later site that goes back to that content would skip it.
    if (!send.isEmpty() || !gone.isEmpty()) {
        Manifest kept = remote;
        for (const QString& name : send + gone)
            kept.erase(name);
        if ((code = connection.put(QString::fromLatin1(kManifestName), manifestBytes(kept))) != CURLE_OK)
            return failed(code);
    }
    const int total = static_cast<int>(send.size());
    for (const QString& name : send) {
        if (options.progress && !options.progress(result.uploaded, total)) {
            result.status = PublishResult::Status::Cancelled;
            return result;
        }
        if ((code = connection.put(name, files[name])) != CURLE_OK)
            return failed(code);
        ++result.uploaded;
    }
    if (!gone.isEmpty()) {
        QStringList commands;
        for (const QString& name : gone)
            commands << connection.removeCommand(name);
        if ((code = connection.command(commands)) != CURLE_OK)
            return failed(code);
        result.removed = static_cast<int>(gone.size());
    }
    if ((!send.isEmpty() || !gone.isEmpty()) &&
        (code = connection.put(QString::fromLatin1(kManifestName), manifestBytes(local))) != CURLE_OK)
        return failed(code);
    if (options.progress)
        options.progress(result.uploaded, total);
    result.hostKey = connection.seenKey();
    result.status = PublishResult::Status::Done;
    return result;
}

} // namespace torvm
