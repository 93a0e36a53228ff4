#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QFile;
class QIODevice;

namespace torvm {

// What may stand under the target name before a write replaces it.
enum class Replace {
    OutputsOnly, // anything but a database: an export never destroys a competition
    Anything,    // New over an existing competition, after the user has agreed
};

// Writes target through write() so that it is either the complete new file or left as it was:
// the bytes go to a temporary file beside the target, are flushed to the disk and checked, and
// only then renamed over the target. A character device (/dev/null, /dev/full) is written
// directly, its final flush checked. Folders, pipes and sockets are refused, and with
// Replace::OutputsOnly also any existing database. write() returning false is a failure too.
// On failure error receives a German sentence, and no temporary file is left.
bool writeFileSafely(const QString& target, const std::function<bool(QIODevice&)>& write, QString* error,
                     Replace replace = Replace::OutputsOnly);

// A new file (a competition made by New, demo or convert) is built under a temporary name beside
// its target and given the target's name only when complete: a kill half-way leaves no half file
// under that name. The temporary file is removed unless published.
class FileUnderConstruction {
public:
    explicit FileUnderConstruction(const QString& target);
    ~FileUnderConstruction();
    FileUnderConstruction(const FileUnderConstruction&) = delete;
    FileUnderConstruction& operator=(const FileUnderConstruction&) = delete;

    // Empty when no temporary file could be made beside the target (error() says why).
    const QString& path() const { return m_temp; }
    const QString& error() const { return m_error; }
    // Gives the file its target name; refuses when a file of that name has appeared meanwhile.
    bool publish(QString* error);
    // Gives the file its target name in place of the file there now (a restore). That file's
    // journal goes first: played into the new file, it would mix two states.
    bool publishOver(QString* error);

private:
    QString m_target;
    QString m_temp;
    QString m_error;
    bool m_published = false;
};

// Removes the files and folders "PREFIX" + "PID-…" in folder whose maker (the process PID) no
// longer runs: what a killed export or conversion left beside its target. Those of the older
// naming without a process id ("PREFIX" + six characters) go once they are a day old.
void removeLeftovers(const QByteArray& folder, const QByteArray& prefix);

// A text (a competition title, a group name) made fit to be proposed as a file name: characters
// no file system of a Windows or Linux computer takes (/ \ : * ? " < > | and control characters)
// become "-", blanks and dots at the ends go; "Ausgabe" when nothing is left.
QString safeFileName(const QString& text);

// The bytes the system gets for a file name. Names that are not valid UTF-8 arrive from the
// command line with each stray byte b kept as the lone surrogate U+DC00 + b (see
// fileNameFromNative), so they reach the disk unchanged.
QByteArray nativeFileName(const QString& path);
QString fileNameFromNative(const QByteArray& bytes);

// Opens a regular file for reading under the name's bytes, which QFile alone would re-encode;
// false for anything else (a pipe, a device), without waiting on it.
bool openForReading(QFile& file, const QString& path);

// Whether anything (a file, a folder, a dangling link) has this name.
bool pathExists(const QString& path);

// A path as it goes into a message: never longer than a few lines.
QString displayPath(const QString& path);

// German words for a system error number, for messages such as "kann nicht angelegt werden: …".
QString systemErrorText(int errorNumber);

// Why path cannot be read as an input file: missing, a folder, a pipe, a device. Empty when it is
// an ordinary file (a pipe would otherwise block every reader until something writes to it).
QString inputFileProblem(const QString& path);

} // namespace torvm
