#pragma once
// Taking one row of the log back by its id, with what it held, so that an
// undo can put it back: the saved people and the verdicts are taken back
// alike. Run inside CLogConnection::Run, whose result it returns.

#include <sqlite3.h>

#include <cstdint>

#include "browse/research_log/log_connection.h"
#include "browse/research_log/sqlite_link.h"

namespace research_log::log_removal {

// selectById reads the row of id, removeById removes it; read fills removed
// from the row read. A row that does not read is removed all the same: what
// undoes it is then only its id. found says whether a row was removed.
template <typename Row, typename ReadRow>
int RemoveById(CLogConnection& connection, const char* selectById, const char* removeById, std::int64_t id,
               bool& found, Row& removed, ReadRow read) {
    found = false;
    int code = SQLITE_OK;
    CSqliteStatement* statement = connection.Statement(selectById, code);
    if (statement == nullptr) return code;
    {
        CStatementRun run(*statement);
        statement->BindInteger(1, id);
        code = statement->Step();
        if (code == SQLITE_DONE) return SQLITE_OK;
        if (code != SQLITE_ROW) return code;
        if (!read(*statement, removed)) removed = Row{};
        removed.id = id;
    }
    CSqliteStatement* remove = connection.Statement(removeById, code);
    if (remove == nullptr) return code;
    CStatementRun run(*remove);
    remove->BindInteger(1, id);
    code = remove->Step();
    if (code == SQLITE_DONE) code = SQLITE_OK;
    found = code == SQLITE_OK;
    return code;
}

}  // namespace research_log::log_removal
