#include "catalogue.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <unordered_set>

#include "ascii_text.h"

namespace {

const char* const schema =
    "CREATE TABLE IF NOT EXISTS component ("
    " file_key TEXT PRIMARY KEY NOT NULL,"
    " file_name TEXT NOT NULL,"
    " name TEXT NOT NULL,"
    " version TEXT,"
    " release_date TEXT,"
    " author TEXT,"
    " release_notes TEXT,"
    " download_link TEXT,"
    " ignore_reason TEXT)";

struct statement_finalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using statement_ptr = std::unique_ptr<sqlite3_stmt, statement_finalize>;

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
    throw std::runtime_error("catalogue: " + what + ": " + sqlite3_errmsg(db));
}

statement_ptr prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) fail(db, "prepare");
    return statement_ptr(raw);
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(db, sql);
}

std::string column_text(sqlite3_stmt* s, int column) {
    const void* data = sqlite3_column_blob(s, column);
    int size = sqlite3_column_bytes(s, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

std::optional<std::string> column_optional(sqlite3_stmt* s, int column) {
    if (sqlite3_column_type(s, column) == SQLITE_NULL) return std::nullopt;
    return column_text(s, column);
}

void bind_text(sqlite3* db, sqlite3_stmt* s, int index, const std::string& text) {
    if (sqlite3_bind_text64(s, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        fail(db, "bind");
}

void bind_optional(sqlite3* db, sqlite3_stmt* s, int index, const std::optional<std::string>& text) {
    if (!text) {
        if (sqlite3_bind_null(s, index) != SQLITE_OK) fail(db, "bind");
    } else {
        bind_text(db, s, index, *text);
    }
}

}  // namespace

bool catalogue_entry::operator==(const catalogue_entry& o) const {
    return file_name == o.file_name && name == o.name && version == o.version && release_date == o.release_date &&
           author == o.author && release_notes == o.release_notes && download_link == o.download_link &&
           ignore_reason == o.ignore_reason;
}

std::string file_name_key(std::string_view file_name) { return ascii_lower(file_name); }

void validate_catalogue(const std::vector<catalogue_entry>& entries) {
    std::unordered_set<std::string> keys;
    for (size_t i = 0; i < entries.size(); ++i) {
        const catalogue_entry& e = entries[i];
        std::string where = "catalogue entry " + std::to_string(i + 1);
        if (e.file_name.empty()) throw std::invalid_argument(where + ": the file name is empty");
        where += " (" + e.file_name + ")";
        if (!keys.insert(file_name_key(e.file_name)).second)
            throw std::invalid_argument(where + ": the file name is listed twice (letter case does not count)");
        if (!e.version && !e.ignore_reason)
            throw std::invalid_argument(where + ": needs a version, or an ignore reason");
    }
}

catalogue_db::catalogue_db(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("catalogue: cannot open " + path + ": " + message);
    }
    try {
        sqlite3_busy_timeout(m_db, 5000);
        exec(m_db, schema);
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

catalogue_db::~catalogue_db() { sqlite3_close(m_db); }

std::vector<catalogue_entry> catalogue_db::read_all() const {
    statement_ptr s = prepare(m_db,
                              "SELECT file_name, name, version, release_date, author, release_notes, download_link,"
                              " ignore_reason FROM component ORDER BY file_key");
    std::vector<catalogue_entry> entries;
    int step;
    while ((step = sqlite3_step(s.get())) == SQLITE_ROW) {
        catalogue_entry e;
        e.file_name = column_text(s.get(), 0);
        e.name = column_text(s.get(), 1);
        e.version = column_optional(s.get(), 2);
        e.release_date = column_optional(s.get(), 3);
        e.author = column_optional(s.get(), 4);
        e.release_notes = column_optional(s.get(), 5);
        e.download_link = column_optional(s.get(), 6);
        e.ignore_reason = column_optional(s.get(), 7);
        entries.push_back(std::move(e));
    }
    if (step != SQLITE_DONE) fail(m_db, "read");
    return entries;
}

void catalogue_db::replace_all(const std::vector<catalogue_entry>& entries) {
    validate_catalogue(entries);
    exec(m_db, "BEGIN IMMEDIATE");
    try {
        exec(m_db, "DELETE FROM component");
        statement_ptr s = prepare(m_db,
                                  "INSERT INTO component (file_key, file_name, name, version, release_date, author,"
                                  " release_notes, download_link, ignore_reason) VALUES (?,?,?,?,?,?,?,?,?)");
        for (const catalogue_entry& e : entries) {
            sqlite3_reset(s.get());
            bind_text(m_db, s.get(), 1, file_name_key(e.file_name));
            bind_text(m_db, s.get(), 2, e.file_name);
            bind_text(m_db, s.get(), 3, e.name);
            bind_optional(m_db, s.get(), 4, e.version);
            bind_optional(m_db, s.get(), 5, e.release_date);
            bind_optional(m_db, s.get(), 6, e.author);
            bind_optional(m_db, s.get(), 7, e.release_notes);
            bind_optional(m_db, s.get(), 8, e.download_link);
            bind_optional(m_db, s.get(), 9, e.ignore_reason);
            if (sqlite3_step(s.get()) != SQLITE_DONE) fail(m_db, "insert " + e.file_name);
        }
        exec(m_db, "COMMIT");
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

catalogue_index::catalogue_index(std::vector<catalogue_entry> entries) {
    for (catalogue_entry& e : entries) {
        std::string key = file_name_key(e.file_name);
        m_entries.emplace(std::move(key), std::move(e));
    }
}

const catalogue_entry* catalogue_index::find(std::string_view file_name) const {
    auto it = m_entries.find(file_name_key(file_name));
    return it == m_entries.end() ? nullptr : &it->second;
}
