// Parse throughput of our JSON parser against two common C++ JSON libraries, on the
// kind of document the update notifier reads: an update answer with 200 entries, each
// with every entry field and a few hundred bytes of release-notes HTML. Writing is
// measured too. Run:
//   build/bench/bin/json_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <string>

#include "upkeep/checking/json_parser.h"
#include "upkeep/checking/json_writer.h"

namespace {

const int kEntries = 200;

JSONValuePtr entry(int index) {
    const std::string n = std::to_string(index);
    JSONValuePtr e = JSONValue::newObject();
    e->objectSet("state", JSONValue::newInteger(index % 4));
    e->objectSet("fileName", JSONValue::newString("vel_component_" + n + ".dll"));
    e->objectSet("name", JSONValue::newString("Component number " + n));
    e->objectSet("curVersion", JSONValue::newString("1.2." + n));
    e->objectSet("version", JSONValue::newString("1.3." + n));
    e->objectSet("versionDate", JSONValue::newString("2007-11-28"));
    e->objectSet("author", JSONValue::newString("Author " + n + " <author" + n + "@example.org>"));
    e->objectSet("details",
                 JSONValue::newString("<h3>Version 1.3." + n + "</h3>\n<ul>\n"
                                      "<li>Faster start-up when the library holds many thousand tracks.</li>\n"
                                      "<li>Fixed: titles with \"quotes\" were cut in the playlist view.</li>\n"
                                      "<li>New option: <b>remember the last folder</b> between sessions.</li>\n"
                                      "</ul>\n<p>See <a href=\"http://www.example.org/c" + n +
                                      "/changes.html\">the full list of changes</a>.</p>"));
    e->objectSet("link", JSONValue::newString("http://www.example.org/c" + n + "/download.html"));
    if (index % 4 == 3) e->objectSet("ignoreReason", JSONValue::newString("beta versions are not offered"));
    return e;
}

JSONValuePtr updateAnswer() {
    JSONValuePtr answer = JSONValue::newObject();
    answer->objectSet("version", JSONValue::newString("1.1"));
    answer->objectSet("key", JSONValue::newString("133497245290000000http://updates.example/au"));
    JSONValuePtr updates = JSONValue::newArray();
    for (int i = 0; i < kEntries; ++i) updates->arrayAppend(entry(i));
    answer->objectSet("updates", updates);
    return answer;
}

const std::string& answerText() {
    static const std::string text = [] {
        std::string out;
        JSONWrite(*updateAnswer(), out);
        return out;
    }();
    return text;
}

void parseOurs(benchmark::State& state) {
    const std::string& text = answerText();
    for (auto _ : state) {
        JSONValuePtr doc = JSONParse(text.data(), text.size());
        benchmark::DoNotOptimize(doc.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(parseOurs);

void parseRapidJSON(benchmark::State& state) {
    const std::string& text = answerText();
    for (auto _ : state) {
        rapidjson::Document doc;
        doc.Parse(text.data(), text.size());
        if (doc.HasParseError()) state.SkipWithError("RapidJSON did not read the document");
        benchmark::DoNotOptimize(&doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(parseRapidJSON);

void parseNlohmann(benchmark::State& state) {
    const std::string& text = answerText();
    for (auto _ : state) {
        nlohmann::json doc = nlohmann::json::parse(text.begin(), text.end());
        benchmark::DoNotOptimize(&doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(parseNlohmann);

void writeOurs(benchmark::State& state) {
    const JSONValuePtr doc = JSONParse(answerText().data(), answerText().size());
    for (auto _ : state) {
        std::string out;
        JSONWrite(*doc, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(answerText().size()));
}
BENCHMARK(writeOurs);

}  // namespace
