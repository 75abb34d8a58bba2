// The catalogue of components the server knows: one row per module file name with
// the newest version and its release facts. Kept in an SQLite file; the server reads
// it into a catalogue_index at start (and again on SIGHUP).
//
// File names are matched as Windows matches them, without regard to letter case, but
// only for ASCII letters: other bytes must be equal. Two catalogue rows whose names
// differ only in ASCII letter case are the same component and are refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;

struct catalogue_entry {
    std::string file_name;  // as the operator wrote it
    std::string name;       // component name; empty: answer with the client's name
    std::optional<std::string> version;        // newest version; absent only for ignored components
    std::optional<std::string> release_date;   // free text
    std::optional<std::string> author;
    std::optional<std::string> release_notes;  // HTML
    std::optional<std::string> download_link;
    std::optional<std::string> ignore_reason;  // present: no updates are offered

    bool operator==(const catalogue_entry& other) const;
};

// The matching key of a file name: ASCII letters in lower case, other bytes as they are.
std::string file_name_key(std::string_view file_name);

// Throws std::invalid_argument naming the first entry that has an empty file name,
// repeats another entry's file name key, or has neither a version nor an ignore reason.
void validate_catalogue(const std::vector<catalogue_entry>& entries);

// The SQLite file. Opening creates the file and its table when missing.
class catalogue_db {
public:
    explicit catalogue_db(const std::string& path);
    ~catalogue_db();
    catalogue_db(const catalogue_db&) = delete;
    catalogue_db& operator=(const catalogue_db&) = delete;

    // Every entry, ordered by file name key.
    std::vector<catalogue_entry> read_all() const;

    // Validates `entries` and replaces the whole catalogue with them in one transaction:
    // on any failure the catalogue stays as it was.
    void replace_all(const std::vector<catalogue_entry>& entries);

private:
    sqlite3* m_db = nullptr;
};

// Read-only lookup by file name, shared by the worker threads.
class catalogue_index {
public:
    explicit catalogue_index(std::vector<catalogue_entry> entries);
    const catalogue_entry* find(std::string_view file_name) const;
    size_t size() const { return m_entries.size(); }

private:
    std::unordered_map<std::string, catalogue_entry> m_entries;
};
