#include "exchange/JetFile.h"

#include "db/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace torvm {

namespace {

QString g_readerProgram;

constexpr qsizetype kDiagnosticsKept = 16 * 1024;
constexpr int kMemoryCheckMs = 50;
constexpr qsizetype kReadChunk = 256 * 1024;

QString notReadable(const QString& path, const QString& reason)
{
    return QStringLiteral("Die Datei %1 ist keine lesbare Access-Datenbank (%2).")
        .arg(QDir::toNativeSeparators(path), reason);
}

std::uint32_t le32(const QByteArray& bytes, int at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The child's environment: ours without the variables that change the library's text
// conversion, so every file reads the same on every machine.
std::vector<std::string> childEnvironment()
{
    std::vector<std::string> env;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string value(*entry);
        if (value.starts_with("MDBICONV=") || value.starts_with("MDB_JET3_CHARSET="))
            continue;
        env.push_back(value);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    result.reserve(strings.size() + 1);
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

qint64 residentBytes(pid_t pid)
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Decodes the child's stream as it arrives; false as soon as it stops making sense.
class FrameDecoder {
public:
    explicit FrameDecoder(JetReadHandler& handler)
        : m_handler(handler)
    {
    }

    bool feed(const char* data, qsizetype size)
    {
        m_buffer.append(data, size);
        if (!m_haveMagic) {
            if (m_buffer.size() < qsizetype(sizeof jetframe::kMagic))
                return std::memcmp(m_buffer.constData(), jetframe::kMagic, size_t(m_buffer.size())) == 0;
            if (std::memcmp(m_buffer.constData(), jetframe::kMagic, sizeof jetframe::kMagic) != 0)
                return false;
            m_pos = sizeof jetframe::kMagic;
            m_haveMagic = true;
        }
        while (m_buffer.size() - m_pos >= jetframe::kHeaderSize) {
            if (m_ended)
                return false; // bytes after the end frame
            const char kind = m_buffer.at(m_pos);
            const std::uint32_t length = le32(m_buffer, int(m_pos + 1));
            if (length > jetframe::kMaxPayload)
                return false;
            if (m_buffer.size() - m_pos - jetframe::kHeaderSize < qsizetype(length))
                break;
            if (!frame(kind, m_buffer.constData() + m_pos + jetframe::kHeaderSize, qsizetype(length)))
                return false;
            m_pos += jetframe::kHeaderSize + length;
        }
        if (m_pos > kReadChunk) {
            m_buffer.remove(0, m_pos);
            m_pos = 0;
        }
        return true;
    }

    bool complete() const { return m_ended && m_pos == m_buffer.size(); }
    const QString& refusal() const { return m_refusal; }

private:
    bool frame(char kind, const char* data, qsizetype size)
    {
        jetframe::Reader in(data, size);
        switch (kind) {
        case jetframe::TableBegin: {
            if (m_inTable)
                return false;
            std::uint32_t count = 0;
            if (!in.string(&m_report.name) || !in.u32(&count) || count > 4096)
                return false;
            m_columns.assign(count, {});
            for (JetColumn& column : m_columns) {
                std::uint8_t type = 0;
                if (!in.u8(&type) || !in.string(&column.name))
                    return false;
                column.type = static_cast<JetType>(type);
            }
            if (!in.atEnd())
                return false;
            m_inTable = true;
            m_row.assign(count, {});
            m_handler.beginTable(m_report.name, m_columns);
            return true;
        }
        case jetframe::Row:
            if (!m_inTable)
                return false;
            for (JetValue& value : m_row) {
                std::uint8_t kind8 = 0;
                if (!in.u8(&kind8) || kind8 > std::uint8_t(JetValue::Kind::True))
                    return false;
                // The row buffer is reused: a Null must not show the previous row's value.
                value = JetValue{};
                value.kind = static_cast<JetValue::Kind>(kind8);
                std::uint32_t integer = 0;
                switch (value.kind) {
                case JetValue::Kind::Integer:
                    if (!in.u32(&integer))
                        return false;
                    value.integer = static_cast<std::int32_t>(integer);
                    break;
                case JetValue::Kind::Real:
                    if (!in.f64(&value.real))
                        return false;
                    break;
                case JetValue::Kind::Text:
                    if (!in.string(&value.text))
                        return false;
                    break;
                case JetValue::Kind::Null:
                case JetValue::Kind::False:
                case JetValue::Kind::True:
                    break;
                }
            }
            if (!in.atEnd())
                return false;
            m_handler.row(m_row);
            return true;
        case jetframe::TableEnd: {
            std::uint32_t read = 0;
            std::uint32_t unreadable = 0;
            std::uint8_t broken = 0;
            if (!m_inTable || !in.u32(&read) || !in.u32(&unreadable) || !in.u8(&broken) || !in.atEnd())
                return false;
            m_report.rowsRead = int(read);
            m_report.rowsUnreadable = int(unreadable);
            m_report.unreadable = broken != 0;
            m_inTable = false;
            m_handler.endTable(m_report);
            m_report = {};
            return true;
        }
        case jetframe::Failure:
            if (!in.string(&m_refusal) || !in.atEnd() || m_refusal.isEmpty())
                return false;
            return true;
        case jetframe::End:
            if (m_inTable || !in.atEnd())
                return false;
            m_ended = true;
            return true;
        default:
            return false;
        }
    }

    JetReadHandler& m_handler;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_haveMagic = false;
    bool m_inTable = false;
    bool m_ended = false;
    std::vector<JetColumn> m_columns;
    JetRow m_row;
    JetTableReport m_report;
    QString m_refusal;
};

// Closes a descriptor when the scope ends.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

} // namespace

bool checkJetFile(const QString& path, QString* why)
{
    // A pipe or a device would block the reader or never end.
    if (const QString problem = inputFileProblem(path); !problem.isEmpty()) {
        *why = problem;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why =
            QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(displayPath(QDir::toNativeSeparators(path)));
        return false;
    }
    const QByteArray head = file.read(0x18);
    if (head.size() < 0x18 || head.at(0) != 0 ||
        (head.mid(4, 15) != "Standard Jet DB" && head.mid(4, 15) != "Standard ACE DB")) {
        *why = notReadable(path, QStringLiteral("die Kennung einer Access-Datenbank fehlt"));
        return false;
    }
    const std::uint32_t version = le32(head, 0x14);
    if (version > 0x06) {
        *why = notReadable(path, QStringLiteral("unbekannte Formatversion %1").arg(version));
        return false;
    }
    const qint64 pageSize = version == 0 ? 2048 : 4096;
    // Page 2 holds the system catalog; a file cut anywhere but at a page boundary cannot be whole.
    if (file.size() % pageSize != 0 || file.size() < 3 * pageSize) {
        *why = notReadable(path, QStringLiteral("die Datei ist unvollständig"));
        return false;
    }
    return true;
}

int jetPageSize(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(0x18);
    return head.size() == 0x18 && le32(head, 0x14) == 0 ? 2048 : 4096;
}

void JetFile::setReaderProgram(const QString& path)
{
    g_readerProgram = path;
}

QString JetFile::readerProgram()
{
    if (!g_readerProgram.isEmpty())
        return g_readerProgram;
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(dir).filePath(QStringLiteral("torvm-cli"));
}

bool JetFile::fail(const QString& reason)
{
    m_error = reason;
    return false;
}

bool JetFile::read(JetReadHandler& handler, const QStringList& tables)
{
    m_error.clear();
    m_diagnostics.clear();
    QString why;
    if (!checkJetFile(m_path, &why))
        return fail(why);
    const QString program = readerProgram();
    if (!QFileInfo(program).isExecutable())
        return fail(notReadable(m_path, QStringLiteral("das Leseprogramm %1 fehlt").arg(program)));

    // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
    std::vector<std::string> args{QFile::encodeName(program).toStdString(), "jet-dump",
                                  QFile::encodeName(QFileInfo(m_path).absoluteFilePath()).toStdString()};
    for (const QString& table : tables)
        args.push_back(table.toStdString());
    std::vector<std::string> env = childEnvironment();
    std::vector<char*> argv = pointers(args);
    std::vector<char*> envp = pointers(env);
    const rlim_t cpuSeconds = rlim_t(m_limits.timeoutMs / 1000 + 2);
    const rlim_t memory = rlim_t(m_limits.memoryBytes);

    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return fail(notReadable(m_path, systemErrorText(errno)));
    Fd outRead{outPipe[0]};
    Fd outWrite{outPipe[1]};
    if (pipe2(errPipe, O_CLOEXEC) != 0)
        return fail(notReadable(m_path, systemErrorText(errno)));
    Fd errRead{errPipe[0]};
    Fd errWrite{errPipe[1]};

    const pid_t pid = fork();
    if (pid < 0)
        return fail(notReadable(m_path, systemErrorText(errno)));
    if (pid == 0) {
        const int nullFd = ::open("/dev/null", O_RDONLY);
        if (nullFd < 0 || dup2(nullFd, 0) < 0 || dup2(outPipe[1], 1) < 0 || dup2(errPipe[1], 2) < 0)
            _exit(127);
        close_range(3, ~0U, 0);
        const rlimit cpu{cpuSeconds, cpuSeconds};
        const rlimit none{0, 0};
        setrlimit(RLIMIT_CPU, &cpu);
        setrlimit(RLIMIT_CORE, &none);
        // The reader has no business writing files.
        setrlimit(RLIMIT_FSIZE, &none);
#if !defined(__SANITIZE_ADDRESS__)
        // An address-sanitized build reserves terabytes of shadow memory at start-up, which any
        // address-space limit refuses; there the resident-size watch below is the only limit.
        const rlimit as{memory, memory};
        setrlimit(RLIMIT_AS, &as);
#else
        (void)memory;
#endif
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    outWrite.reset();
    errWrite.reset();
    fcntl(outRead.fd, F_SETFL, fcntl(outRead.fd, F_GETFL) | O_NONBLOCK);
    fcntl(errRead.fd, F_SETFL, fcntl(errRead.fd, F_GETFL) | O_NONBLOCK);

    FrameDecoder decoder(handler);
    QByteArray chunk(kReadChunk, Qt::Uninitialized);
    QByteArray diagnostics;
    QElapsedTimer clock;
    clock.start();
    qint64 lastMemoryCheck = 0;
    QString abort; // why the child was stopped
    bool garbage = false;

    while (outRead.fd >= 0 || errRead.fd >= 0) {
        const qint64 elapsed = clock.elapsed();
        if (elapsed >= m_limits.timeoutMs) {
            abort = QStringLiteral("das Lesen wurde nach %1 Sekunden abgebrochen").arg(m_limits.timeoutMs / 1000.0);
            break;
        }
        if (elapsed - lastMemoryCheck >= kMemoryCheckMs) {
            lastMemoryCheck = elapsed;
            if (residentBytes(pid) > m_limits.memoryBytes) {
                abort = QStringLiteral("das Lesen brauchte zu viel Speicher");
                break;
            }
        }
        pollfd fds[2];
        nfds_t count = 0;
        for (const Fd* fd : {&outRead, &errRead}) {
            if (fd->fd >= 0)
                fds[count++] = pollfd{fd->fd, POLLIN, 0};
        }
        const int wait = int(std::min<qint64>(kMemoryCheckMs, m_limits.timeoutMs - elapsed));
        if (poll(fds, count, wait) < 0 && errno != EINTR) {
            abort = systemErrorText(errno);
            break;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Fd& fd = fds[i].fd == outRead.fd ? outRead : errRead;
            // Drain what is there, but come back to the clock regularly: a child flooding its
            // error channel must not keep the parent from noticing the time limit.
            for (int round = 0; round < 16; ++round) {
                const ssize_t n = ::read(fd.fd, chunk.data(), size_t(chunk.size()));
                if (n > 0) {
                    if (&fd == &outRead) {
                        if (!garbage && !decoder.feed(chunk.constData(), n))
                            garbage = true;
                    } else if (diagnostics.size() < kDiagnosticsKept) {
                        diagnostics.append(chunk.constData(), std::min<qsizetype>(n, kDiagnosticsKept));
                    }
                    continue;
                }
                if (n == 0 || (errno != EAGAIN && errno != EINTR))
                    fd.reset();
                break;
            }
        }
        if (garbage) {
            abort = QStringLiteral("das Leseprogramm lieferte unverständliche Daten");
            break;
        }
    }

    if (!abort.isEmpty())
        ::kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_diagnostics = QString::fromLocal8Bit(diagnostics.left(kDiagnosticsKept));

    if (!abort.isEmpty())
        return fail(notReadable(m_path, abort));
    if (!decoder.refusal().isEmpty())
        return fail(notReadable(m_path, decoder.refusal()));
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        return fail(notReadable(m_path, sig == SIGXCPU
                                            ? QStringLiteral("das Lesen wurde wegen Zeitüberschreitung abgebrochen")
                                            : QStringLiteral("das Leseprogramm ist abgestürzt (Signal %1)").arg(sig)));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !decoder.complete()) {
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
            return fail(
                notReadable(m_path, QStringLiteral("das Leseprogramm %1 ließ sich nicht starten").arg(program)));
        return fail(notReadable(m_path, QStringLiteral("das Leseprogramm endete vorzeitig")));
    }
    return true;
}

int JetTable::column(const QString& columnName) const
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(columnName, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

namespace {

class CollectingHandler : public JetReadHandler {
public:
    explicit CollectingHandler(std::vector<JetTable>* out)
        : m_out(out)
    {
    }
    void beginTable(const QString& name, const std::vector<JetColumn>& columns) override
    {
        m_out->push_back(JetTable{name, columns, {}, {}});
    }
    void row(const JetRow& row) override { m_out->back().rows.push_back(row); }
    void endTable(const JetTableReport& report) override { m_out->back().report = report; }

private:
    std::vector<JetTable>* m_out;
};

} // namespace

bool readJetTables(const QString& path, const QStringList& names, std::vector<JetTable>* out, QString* error,
                   const JetLimits& limits)
{
    out->clear();
    JetFile file(path);
    file.setLimits(limits);
    CollectingHandler handler(out);
    if (!file.read(handler, names)) {
        out->clear();
        *error = file.error();
        return false;
    }
    for (const QString& name : names) {
        const bool found = std::any_of(out->begin(), out->end(), [&](const JetTable& t) {
            return t.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!found) {
            out->clear();
            *error = QStringLiteral("Die Tabelle %1 fehlt in der Datei %2.").arg(name, QDir::toNativeSeparators(path));
            return false;
        }
    }
    return true;
}

} // namespace torvm
