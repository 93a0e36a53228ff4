#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace torvm {

// Where a site goes: sftp://user@host[:port]/folder, ftps://... or ftp://...; never a password.
struct PublishTarget {
    enum class Protocol { Sftp, Ftps, Ftp };
    Protocol protocol = Protocol::Sftp;
    QString user;
    QString host;
    int port = 0;   // 0: the protocol's own
    QString folder; // absolute path on the server, without a closing slash

    // The address as the user typed it, normalised.
    QString address() const;
    // host:port, the key of a host's accepted key.
    QString hostKeyName() const;
    // A German sentence in error when text is no address we can publish to.
    static std::optional<PublishTarget> parse(const QString& text, QString* error);
};

struct PublishOptions {
    QString password;
    QString privateKey; // SFTP: a key file instead of, or besides, the password
    // SFTP: the fingerprint ("SHA256:...") the server's key must have. Empty: the server is
    // unknown, nothing is transferred and PublishResult::hostKey tells its fingerprint.
    QString hostKey;
    int timeoutSeconds = 20;
    // Called before each file with the files done and the files to transfer; false cancels.
    std::function<bool(int done, int total)> progress;
};

struct PublishResult {
    enum class Status { Done, Failed, Cancelled, UnknownHost, ChangedHostKey };
    Status status = Status::Failed;
    QString error;   // German, for Failed, UnknownHost and ChangedHostKey
    QString hostKey; // the fingerprint the server showed (SFTP)
    int uploaded = 0;
    int removed = 0;
    int unchanged = 0;
};

// Brings the files of localFolder to the target: only those whose content differs from what the
// manifest on the server (".torvm-manifest", sizes and SHA-256 of the last upload) says; each to
// a temporary name first and renamed, the start pages ("index...") last; files of the old site
// missing from the new one removed at the end, and the manifest last of all. A broken connection
// leaves every page old or new; the next run completes the site.
PublishResult publishFolder(const QString& localFolder, const PublishTarget& target, const PublishOptions& options);

inline constexpr auto kManifestName = ".torvm-manifest";

// The fingerprint accepted for a server, kept per user (not per competition): empty when none.
QString acceptedHostKey(const PublishTarget& target);
bool storeAcceptedHostKey(const PublishTarget& target, const QString& fingerprint);

} // namespace torvm
