#include "db/LongPath.h"

#include <sqlite3.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvm {

namespace {

constexpr const char* kFileLayer = "torvm-langer-pfad";

sqlite3_vfs* g_engine = nullptr; // the engine's own file layer, which does the work
sqlite3_vfs g_layer{};

std::mutex g_mutex;
// Folders by path, each with a descriptor kept open for the life of the program: the engine keeps
// the name it was given until its file closes, and opens the folder again by it to flush it.
std::map<std::string, int> g_folders;
// Every alias handed out, at a fixed place for as long as the engine may read it, with the zero
// bytes after it that the engine reads past a file name.
std::set<std::string> g_aliases;

// What the engine makes of path: absolute, every link followed (that of the file too). 0 or errno.
int absolutePath(const char* path, std::string* out)
{
    std::string full(path);
    if (full.empty())
        return ENOENT;
    if (full.front() != '/') {
        char* cwd = ::getcwd(nullptr, 0);
        if (!cwd)
            return errno;
        full = std::string(cwd) + '/' + full;
        std::free(cwd);
    }
    if (full.size() >= PATH_MAX)
        return ENAMETOOLONG;
    if (char* resolved = ::realpath(full.c_str(), nullptr)) {
        *out = resolved;
        std::free(resolved);
        return 0;
    }
    if (errno != ENOENT)
        return errno;
    // A file still to be made: its folder resolved, its name as it is.
    const std::size_t slash = full.rfind('/');
    const std::string name = full.substr(slash + 1);
    if (name.size() > NAME_MAX)
        return ENAMETOOLONG;
    char* folder = ::realpath(slash == 0 ? "/" : full.substr(0, slash).c_str(), nullptr);
    if (!folder)
        return errno;
    *out = std::string(folder) + (std::strcmp(folder, "/") == 0 ? "" : "/") + name;
    std::free(folder);
    return out->size() >= PATH_MAX ? ENAMETOOLONG : 0;
}

// "/proc/self/fd/N/NAME" for path, N a descriptor of its folder; path itself where there is none.
const char* aliasFor(const char* path)
{
    const std::string_view full(path);
    const std::size_t slash = full.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return path;
    const std::string folder(full.substr(0, slash));
    struct stat now {};
    if (::stat(folder.c_str(), &now) != 0)
        return path; // the engine reports it
    const std::lock_guard lock(g_mutex);
    auto it = g_folders.find(folder);
    struct stat held {};
    if (it == g_folders.end() || ::fstat(it->second, &held) != 0 || held.st_dev != now.st_dev ||
        held.st_ino != now.st_ino) {
        // A folder renamed and another made under its name: the old descriptor stays open, as
        // files opened through it may still use their alias.
        const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return path;
        it = g_folders.insert_or_assign(folder, fd).first;
    }
    std::string alias = "/proc/self/fd/" + std::to_string(it->second) + std::string(full.substr(slash));
    alias.append(4, '\0');
    return g_aliases.insert(std::move(alias)).first->c_str();
}

int fullPathname(sqlite3_vfs*, const char* path, int size, char* out)
{
    std::string full;
    if (absolutePath(path, &full) != 0 || full.size() + 1 > std::size_t(size))
        return SQLITE_CANTOPEN;
    std::memcpy(out, full.c_str(), full.size() + 1);
    return SQLITE_OK;
}

int openFile(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    return g_engine->xOpen(g_engine, name ? aliasFor(name) : nullptr, file, flags, outFlags);
}

int deleteFile(sqlite3_vfs*, const char* name, int syncFolder)
{
    return g_engine->xDelete(g_engine, aliasFor(name), syncFolder);
}

int accessFile(sqlite3_vfs*, const char* name, int flags, int* result)
{
    return g_engine->xAccess(g_engine, aliasFor(name), flags, result);
}

bool registerLayer()
{
    static const bool registered = [] {
        g_engine = sqlite3_vfs_find("unix");
        if (!g_engine || ::access("/proc/self/fd", X_OK) != 0)
            return false;
        g_layer = *g_engine;
        g_layer.pNext = nullptr;
        g_layer.zName = kFileLayer;
        g_layer.mxPathname = PATH_MAX;
        g_layer.xFullPathname = fullPathname;
        g_layer.xOpen = openFile;
        g_layer.xDelete = deleteFile;
        g_layer.xAccess = accessFile;
        return sqlite3_vfs_register(&g_layer, 0) == SQLITE_OK;
    }();
    return registered;
}

} // namespace

const char* engineFileLayerFor(const QByteArray& native, QString* problem)
{
    std::string full;
    const int failure = absolutePath(native.constData(), &full);
    if (failure == ENAMETOOLONG) {
        *problem = QStringLiteral("Der Pfad der Datei ist zu lang: das System nimmt Namen bis %1 Bytes und Pfade bis "
                                  "%2 Bytes an. Bitte verschieben Sie die Datei in einen Ordner mit kürzerem Pfad.")
                       .arg(NAME_MAX)
                       .arg(PATH_MAX - 1);
        return nullptr;
    }
    // The engine names the journal after the file ("-journal"): that name must fit as well.
    const sqlite3_vfs* engine = sqlite3_vfs_find(nullptr);
    if (failure != 0 || !engine || full.size() + std::strlen("-journal") < std::size_t(engine->mxPathname))
        return nullptr;
    return registerLayer() ? kFileLayer : nullptr;
}

} // namespace torvm
