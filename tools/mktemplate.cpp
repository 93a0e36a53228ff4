// Turns resources/schema.sql into the empty competition file torvm.tpl. Written to a temporary
// name first, so a failed run never leaves a half-built template for the programs to copy.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int fail(const std::string& what, sqlite3* db)
{
    std::fprintf(stderr, "torvm-mktemplate: %s: %s\n", what.c_str(), db ? sqlite3_errmsg(db) : "");
    sqlite3_close(db);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: torvm-mktemplate SCHEMA.sql OUT.tpl\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "torvm-mktemplate: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream sql;
    sql << in.rdbuf();

    const std::string out = argv[2];
    const std::string tmp = out + ".tmp";
    std::remove(tmp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return fail("open " + tmp, db);
    const std::string script = "PRAGMA journal_mode = DELETE; BEGIN; " + sql.str() + "\nCOMMIT; VACUUM;";
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail("schema", db);
    if (sqlite3_close(db) != SQLITE_OK)
        return fail("close", db);
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::perror("torvm-mktemplate: rename");
        return 1;
    }
    return 0;
}
