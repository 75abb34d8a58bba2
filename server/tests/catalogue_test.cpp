#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "server/catalogue.h"
#include "server/catalogue_json.h"
#include "support/sample_catalogue.h"

namespace {

// A fresh SQLite file in a temporary folder, removed afterwards.
class temporary_db {
public:
    temporary_db() {
        char pattern[] = "/tmp/catalogue-test-XXXXXX";
        m_folder = mkdtemp(pattern);
        m_path = m_folder + "/catalogue.db";
    }
    ~temporary_db() {
        unlink(m_path.c_str());
        rmdir(m_folder.c_str());
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_folder, m_path;
};

std::vector<catalogue_entry> awkward_catalogue() {
    std::vector<catalogue_entry> entries = sample_catalogue();
    catalogue_entry odd;
    odd.file_name = "Zed \xc3\xa9t\xc3\xa9.dll";
    odd.name = std::string("Quotes \" backslash \\ slash / tab \t control \x01 end");
    odd.version = "";                 // present but empty: not the same as absent
    odd.release_notes = "<a href=\"http://x/\">notes</a>\r\n";
    odd.ignore_reason = "";
    entries.push_back(odd);
    return entries;
}

std::vector<catalogue_entry> sorted_by_key(std::vector<catalogue_entry> entries) {
    std::sort(entries.begin(), entries.end(), [](const catalogue_entry& a, const catalogue_entry& b) {
        return file_name_key(a.file_name) < file_name_key(b.file_name);
    });
    return entries;
}

TEST(Catalogue, ExportImportRoundTripThroughTheDatabase) {
    temporary_db file;
    const std::vector<catalogue_entry> entries = awkward_catalogue();
    {
        catalogue_db db(file.path());
        db.replace_all(catalogue_from_json(catalogue_to_json(entries)));
    }
    catalogue_db reopened(file.path());
    std::vector<catalogue_entry> read = reopened.read_all();
    EXPECT_EQ(sorted_by_key(entries), read);
    // A second export of what was imported is the same text.
    EXPECT_EQ(catalogue_to_json(read), catalogue_to_json(catalogue_from_json(catalogue_to_json(read))));
}

TEST(Catalogue, AbsentAndEmptyMembersStayApart) {
    std::vector<catalogue_entry> entries = catalogue_from_json(
        "{\"components\":[{\"fileName\":\"a.dll\",\"version\":\"\"},"
        "{\"fileName\":\"b.dll\",\"ignoreReason\":\"Retired\"}]}");
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("", entries[0].name);
    EXPECT_EQ(std::optional<std::string>(""), entries[0].version);
    EXPECT_FALSE(entries[0].author);
    EXPECT_FALSE(entries[1].version);
}

TEST(Catalogue, ImportRefusesDocumentsThatDoNotFit) {
    const struct {
        const char* what;
        const char* json;
    } cases[] = {
        {"not JSON", "components"},
        {"no components", "{}"},
        {"components an object", "{\"components\":{}}"},
        {"entry a string", "{\"components\":[\"a.dll\"]}"},
        {"no file name", "{\"components\":[{\"version\":\"1\"}]}"},
        {"empty file name", "{\"components\":[{\"fileName\":\"\",\"version\":\"1\"}]}"},
        {"file name a number", "{\"components\":[{\"fileName\":1,\"version\":\"1\"}]}"},
        {"version a number", "{\"components\":[{\"fileName\":\"a.dll\",\"version\":1}]}"},
        {"misspelt member", "{\"components\":[{\"fileName\":\"a.dll\",\"version\":\"1\",\"detials\":\"x\"}]}"},
        {"neither version nor ignore reason", "{\"components\":[{\"fileName\":\"a.dll\",\"name\":\"A\"}]}"},
        {"same file name in another case",
         "{\"components\":[{\"fileName\":\"a.dll\",\"version\":\"1\"},{\"fileName\":\"A.DLL\",\"version\":\"2\"}]}"},
    };
    for (const auto& c : cases) EXPECT_THROW(catalogue_from_json(c.json), std::invalid_argument) << c.what;
}

TEST(Catalogue, FailedReplaceKeepsTheCatalogue) {
    temporary_db file;
    catalogue_db db(file.path());
    db.replace_all(sample_catalogue());
    std::vector<catalogue_entry> duplicate = sample_catalogue();
    duplicate.push_back(duplicate.front());
    duplicate.back().file_name = "VEL_PORTER.DLL";
    EXPECT_THROW(db.replace_all(duplicate), std::invalid_argument);
    EXPECT_EQ(sorted_by_key(sample_catalogue()), db.read_all());
}

TEST(Catalogue, FileNamesMatchWithoutAsciiLetterCase) {
    catalogue_index index(awkward_catalogue());
    const struct {
        const char* file_name;
        const char* found;  // nullptr: unknown
    } cases[] = {
        {"vel_porter.dll", "vel_porter.dll"},
        {"VEL_Porter.DLL", "vel_porter.dll"},
        {"vel_porter.dll ", nullptr},
        {"vel_porter", nullptr},
        {"zed \xc3\xa9t\xc3\xa9.dll", "Zed \xc3\xa9t\xc3\xa9.dll"},
        {"ZED \xc3\x89T\xc3\x89.DLL", nullptr},  // only ASCII letters fold
    };
    for (const auto& c : cases) {
        const catalogue_entry* entry = index.find(c.file_name);
        EXPECT_EQ(c.found ? c.found : "<unknown>", entry ? entry->file_name : "<unknown>") << c.file_name;
    }
}

}  // namespace
