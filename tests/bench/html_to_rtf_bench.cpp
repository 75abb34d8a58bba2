// Conversion throughput of the release notes' HTML-to-RTF converter on a large
// release-notes page (about 200 KiB): version headings, paragraphs, bullet lists,
// links, bold and italic text, entities and non-ASCII text. Run:
//   build/bench/bin/html_to_rtf_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <string>

#include "upkeep/review/html_to_rtf.h"

namespace {

std::string releaseNotes() {
    std::string html;
    for (int version = 0; html.size() < 200 * 1024; ++version) {
        const std::string v = "2." + std::to_string(version / 10) + "." + std::to_string(version % 10);
        html += "<h3>Version " + v + "</h3>\n";
        html += "<p>This release brings <b>faster start-up</b> for libraries with many thousand tracks &amp; "
                "fixes the problems reported since " + v + "&nbsp;beta. Caf\xC3\xA9 owners: the "
                "&quot;Now playing&quot; line no longer cuts titles \xE2\x80\x94 thanks for the reports!</p>\n";
        html += "<ul>\n";
        html += "<li>Fixed: titles with &lt;angle brackets&gt; were cut in the playlist view.</li>\n";
        html += "<li>New option: <i>remember the last folder</i> between sessions.</li>\n";
        html += "<li>The tag editor keeps &#8220;smart quotes&#8221; and emoji (&#x1F3B5;).</li>\n";
        html += "<li>See <a href=\"http://www.example.org/components/player/" + v +
                "/changes.html#details\">the detailed change log</a> for everything else.</li>\n";
        html += "</ul>\n";
        html += "<p><font color=\"#336699\" size=\"2\">Download: <a href='http://downloads.example.org/player-" +
                v + ".zip'>player-" + v + ".zip</a></font></p>\n";
    }
    return html;
}

const std::string& page() {
    static const std::string html = releaseNotes();
    return html;
}

void convertReleaseNotes(benchmark::State& state) {
    const std::string& html = page();
    Html2RtfDisplay display;
    display.colours.window = {255, 255, 255};
    display.colours.button_face = {236, 233, 216};
    const Html2RtfFont font{"MS Shell Dlg", -11};
    Html2Rtf converter;
    for (auto _ : state) {
        RgbColour background{255, 255, 255};
        auto rtf = converter.Convert(html, font, {0, 0, 0}, background, display);
        if (!rtf) {
            state.SkipWithError("the page did not convert");
            break;
        }
        benchmark::DoNotOptimize(rtf->data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(html.size()));
    state.counters["links"] = double(converter.Links().size());
}
BENCHMARK(convertReleaseNotes)->Unit(benchmark::kMicrosecond);

}  // namespace
