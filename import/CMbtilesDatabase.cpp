#include "import/CMbtilesDatabase.h"

#include <sqlite3.h>

namespace mapreg {

CMbtilesDatabase::~CMbtilesDatabase() {
    Release();
}

void CMbtilesDatabase::Release() {
    sqlite3_finalize(m_pTile);
    sqlite3_finalize(m_pMetadata);
    sqlite3_close_v2(m_pDb); // an open transaction is rolled back
    m_pTile = nullptr;
    m_pMetadata = nullptr;
    m_pDb = nullptr;
}

bool CMbtilesDatabase::Fail() {
    m_strError = m_pDb != nullptr ? sqlite3_errmsg(m_pDb) : "cannot open the database";
    return false;
}

bool CMbtilesDatabase::Execute(const char* sql) {
    return sqlite3_exec(m_pDb, sql, nullptr, nullptr, nullptr) == SQLITE_OK || Fail();
}

bool CMbtilesDatabase::Create(const std::string& path) {
    Release();
    if (sqlite3_open_v2(path.c_str(), &m_pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        return Fail();
    }
    // A new file renamed over the target only when complete needs no rollback journal; the commit
    // still syncs it to the disk.
    return Execute("PRAGMA journal_mode = OFF") &&
           Execute("CREATE TABLE tiles (zoom_level INTEGER NOT NULL,tile_column INTEGER NOT "
                   "NULL,tile_row INTEGER NOT NULL,tile_data BLOB NOT NULL,UNIQUE (zoom_level, "
                   "tile_column, tile_row) )") &&
           Execute("CREATE TABLE metadata (name TEXT, value TEXT)") && Execute("BEGIN") &&
           (sqlite3_prepare_v2(m_pDb, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &m_pTile,
                               nullptr) == SQLITE_OK ||
            Fail()) &&
           (sqlite3_prepare_v2(m_pDb, "INSERT INTO metadata VALUES (?, ?)", -1, &m_pMetadata,
                               nullptr) == SQLITE_OK ||
            Fail());
}

bool CMbtilesDatabase::AddTile(int zoom, long long column, long long row, const std::string& data) {
    if (m_pTile == nullptr) {
        return false;
    }
    sqlite3_bind_int(m_pTile, 1, zoom);
    sqlite3_bind_int64(m_pTile, 2, column);
    sqlite3_bind_int64(m_pTile, 3, row);
    sqlite3_bind_blob64(m_pTile, 4, data.data(), data.size(), SQLITE_STATIC);
    const bool done = sqlite3_step(m_pTile) == SQLITE_DONE;
    sqlite3_reset(m_pTile);
    sqlite3_clear_bindings(m_pTile);
    return done || Fail();
}

bool CMbtilesDatabase::AddMetadata(const std::string& name, const std::string& value) {
    if (m_pMetadata == nullptr) {
        return false;
    }
    sqlite3_bind_text(m_pMetadata, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_text(m_pMetadata, 2, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
    const bool done = sqlite3_step(m_pMetadata) == SQLITE_DONE;
    sqlite3_reset(m_pMetadata);
    sqlite3_clear_bindings(m_pMetadata);
    return done || Fail();
}

bool CMbtilesDatabase::Close() {
    if (m_pDb == nullptr) {
        return false;
    }
    sqlite3_finalize(m_pTile);
    sqlite3_finalize(m_pMetadata);
    m_pTile = nullptr;
    m_pMetadata = nullptr;
    if (!Execute("COMMIT")) {
        return false;
    }
    const bool closed = sqlite3_close_v2(m_pDb) == SQLITE_OK || Fail();
    m_pDb = nullptr;
    return closed;
}

} // namespace mapreg
