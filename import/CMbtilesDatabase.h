#pragma once
// A new MBTiles file written tile by tile through SQLite: the two tables GDAL's MBTiles driver
// makes (tiles, unique by zoom level, column and row; metadata as names and values), filled in one
// transaction that Close commits. Memory stays at SQLite's page cache whatever the tile count.

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace mapreg {

class CMbtilesDatabase {
public:
    CMbtilesDatabase() = default;
    // Closes the file without committing what was added.
    ~CMbtilesDatabase();
    CMbtilesDatabase(const CMbtilesDatabase&) = delete;
    CMbtilesDatabase& operator=(const CMbtilesDatabase&) = delete;

    // Creates the file at path (which must not exist) with its tables; false on failure, Error()
    // says why.
    bool Create(const std::string& path);
    // A tile's encoded picture; row counted from the south (TMS), as the format has it.
    bool AddTile(int zoom, long long column, long long row, const std::string& data);
    bool AddMetadata(const std::string& name, const std::string& value);
    // Commits everything to the file and closes it.
    bool Close();

    const std::string& Error() const { return m_strError; }

private:
    bool Execute(const char* sql);
    bool Fail();
    void Release();

    sqlite3* m_pDb = nullptr;
    sqlite3_stmt* m_pTile = nullptr;
    sqlite3_stmt* m_pMetadata = nullptr;
    std::string m_strError;
};

} // namespace mapreg
