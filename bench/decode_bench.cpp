// Decoder throughput against the floor of copying the same page bytes into the same kind of pages.
//
// Every iteration decodes the job once and then copies the decoded bytes into pages made in
// advance, so both figures come from the same run under the same cache and clock conditions.
// The benchmark's own time is the decode (manual time); the counters give the copy, the page
// making the decoder does on the way (timed on its own) and the ratios.

#include "job/Document.h"
#include "job/PageData.h"
#include "job/TclParser.h"

#include "BenchPages.h"
#include "JobWriter.h"
#include "Pcl3guiWriter.h"
#include "SampleJob.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using brelmont::job::Bytes;
using brelmont::job::Document;
using brelmont::job::PageData;
using brelmont::job::PagePtr;
using brelmont::job::TclParser;
using namespace brelmont::testing;
using namespace brelmont::bench;

constexpr int Pages = 100;

struct Case {
    ByteVector job;
    std::vector<ByteVector> expected; // page bytes as the decoder must make them (stride included)
    std::vector<PagePtr> reference;   // one decode, the copy baseline's source
    int64_t width = 0, height = 0, kind = 0;
    double density = 0;               // fraction of cells with a dot or ink
};

double densityOf(const std::vector<ByteVector>& pages) {
    size_t set = 0, all = 0;
    for (const ByteVector& p : pages) {
        for (uint8_t c : p) set += c != 0;
        all += p.size();
    }
    return double(set) / double(all);
}

Case embossCase(bool blocks) {
    Case c;
    c.width = EmbossW, c.height = EmbossH, c.kind = 1;
    JobWriter job = jobStart();
    std::vector<ByteVector> cells;
    for (int p = 0; p < Pages; ++p) {
        cells.push_back(embossCells(uint32_t(1000 + p)));
        if (blocks) job.embossBlock(cells.back(), EmbossW, EmbossH, HeaderCheck::Marked, {.force = 2, .flags = 0x10});
        else job.unit(20).embossRaster(cells.back(), EmbossW, EmbossH);
    }
    c.density = densityOf(cells);
    c.expected = cells; // stride 170 = width
    c.job = jobEnd(job);
    return c;
}

Case inkCase(bool blocks) {
    Case c;
    c.width = InkW, c.height = InkH, c.kind = 3;
    JobWriter job = jobStart();
    std::vector<ByteVector> cells;
    for (int p = 0; p < Pages; ++p) {
        cells.push_back(inkCells(uint32_t(2000 + p)));
        if (blocks) {
            job.inkBlock(cells.back(), InkW, InkH, HeaderCheck::Sum4);
        } else {
            job.unit(100).rasterSize(InkW, InkH).startRaster(2);
            for (int64_t y = 0; y < InkH; ++y) job.row(inkRowBits(cells.back(), y));
            job.endRaster();
        }
    }
    c.density = densityOf(cells);
    c.expected = cells; // stride 850 = width
    c.job = jobEnd(job);
    return c;
}

Case rgbCase() {
    Case c;
    c.width = RgbW, c.height = RgbH, c.kind = 4;
    JobWriter job = jobStart();
    job.pcl3guiBlock(colourChartBlock(RgbW, RgbH), {.flags = 4});
    c.job = jobEnd(job);
    return c;
}

std::ostream& nullStream() {
    static std::ostream out(nullptr); // no buffer: writes only set badbit
    return out;
}

std::vector<PagePtr> pagesOf(const brelmont::job::DecodedJob& job, int64_t kind) {
    std::vector<PagePtr> pages;
    for (const auto& page : PageData::isEmbossKind(kind) ? job.emboss : job.ink) pages.push_back(page.pixels);
    return pages;
}

// Decodes once and checks the pages; a benchmark of a decoder that misreads its input means nothing.
void prepare(Case& c, const char* name) {
    const auto job = brelmont::job::decodeJob(c.job, TclParser::Pixels::Make);
    if (job.printerType == 0 || job.result != 0) {
        std::fprintf(stderr, "%s: job refused or damaged\n", name);
        std::exit(1);
    }
    c.reference = pagesOf(job, c.kind);
    const size_t want = c.kind == 4 ? 1 : size_t(Pages);
    bool ok = c.reference.size() == want;
    for (size_t i = 0; ok && i < c.reference.size(); ++i) {
        const PageData& p = *c.reference[i];
        ok = p.m_width == c.width && p.m_height == c.height && p.m_kind == c.kind;
        if (ok && !c.expected.empty())
            ok = size_t(p.m_size) == c.expected[i].size() && std::memcmp(p.m_bytes, c.expected[i].data(), c.expected[i].size()) == 0;
    }
    if (!ok) {
        std::fprintf(stderr, "%s: decoded pages differ from the pages encoded\n", name);
        std::exit(1);
    }
    if (c.kind == 4) { // the chart is mostly white, with colour bands and black text bars
        size_t white = 0;
        const PageData& p = *c.reference[0];
        for (int64_t y = 0; y < p.m_height; ++y)
            for (int64_t x = 0; x < p.m_width; ++x) white += std::memcmp(p.row(y) + 3 * x, "\xFF\xFF\xFF", 3) == 0;
        c.density = 1.0 - double(white) / double(p.m_width * p.m_height);
    }
}

enum CaseId { EmbossRows, EmbossBlocks, InkRows, InkBlocks, RgbBlock, CaseCount };
constexpr const char* CaseNames[] = {"emboss_rows", "emboss_blocks", "ink_rows", "ink_blocks", "rgb_pcl3gui"};

// Cases are built on first use, so a filtered run builds only the jobs it times.
const Case& caseFor(CaseId id) {
    static std::optional<Case> cases[CaseCount];
    std::optional<Case>& c = cases[id];
    if (!c) {
        switch (id) {
        case EmbossRows: c = embossCase(false); break;
        case EmbossBlocks: c = embossCase(true); break;
        case InkRows: c = inkCase(false); break;
        case InkBlocks: c = inkCase(true); break;
        default: c = rgbCase(); break;
        }
        prepare(*c, CaseNames[id]);
    }
    return *c;
}

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Whole: the job decoded in one pass, every page made as it is filed. OnDemand: the page index made
// by opening the document, then every page decoded from where it starts, one at a time.
enum class Entry { Whole, OnDemand };

void BM_Decode(benchmark::State& state, CaseId id, Entry entry) {
    const Case& c = caseFor(id);
    const Bytes job(c.job);
    // The copy baseline's pages are made once, outside every timing.
    std::vector<PagePtr> targets;
    for (const PagePtr& p : c.reference) targets.push_back(PageData::create(p->m_width, p->m_height, p->m_kind));

    double decodeTime = 0, copyTime = 0, allocTime = 0;
    int64_t outBytes = 0;
    for (const PagePtr& p : c.reference) outBytes += p->m_size;

    // One untimed decode first, so the heap has grown to what the decode needs: the faults of
    // fresh memory are allocation, which the ratios leave out.
    benchmark::DoNotOptimize(brelmont::job::decodeJob(job, TclParser::Pixels::Make).result);

    for (auto _ : state) {
        {
            std::vector<PagePtr> kept; // freed after the timing, as a whole job's pages are
            const auto t0 = Clock::now();
            if (entry == Entry::Whole) {
                const TclParser parser(job, TclParser::Pixels::Make, [&](brelmont::job::FiledPage&& page) { kept.push_back(std::move(page.pixels)); });
                benchmark::DoNotOptimize(parser.m_result);
            } else {
                Document doc;
                benchmark::DoNotOptimize(doc.readFromData(job, Document::TypeKprn, "bench.kprn", nullStream()));
                for (const brelmont::job::PageList* list : {&doc.m_embPages, &doc.m_inkPages})
                    for (size_t i = 0; i < list->size(); ++i) kept.push_back(list->decodeUncached(i).page);
            }
            const auto t1 = Clock::now();
            benchmark::DoNotOptimize(kept.data());
            state.SetIterationTime(seconds(t0, t1));
            decodeTime += seconds(t0, t1);
        }

        const auto t2 = Clock::now();
        for (size_t i = 0; i < targets.size(); ++i)
            std::memcpy(targets[i]->m_bytes, c.reference[i]->m_bytes, size_t(c.reference[i]->m_size));
        benchmark::ClobberMemory();
        const auto t3 = Clock::now();
        copyTime += seconds(t2, t3);

        // What making the pages alone costs, as the decoder makes them (allocation and clearing).
        {
            std::vector<PagePtr> made;
            made.reserve(c.reference.size());
            const auto t4 = Clock::now();
            for (const PagePtr& p : c.reference) made.push_back(PageData::create(p->m_width, p->m_height, p->m_kind));
            benchmark::ClobberMemory();
            const auto t5 = Clock::now();
            allocTime += seconds(t4, t5);
        }
    }

    const double n = double(state.iterations());
    state.counters["decode_ms"] = 1e3 * decodeTime / n;
    state.counters["memcpy_ms"] = 1e3 * copyTime / n;
    state.counters["alloc_ms"] = 1e3 * allocTime / n;
    state.counters["ratio"] = decodeTime / copyTime;
    state.counters["ratio_no_alloc"] = (decodeTime - allocTime) / copyTime;
    state.counters["alloc_share"] = allocTime / decodeTime;
    state.counters["job_MB"] = double(c.job.size()) / 1e6;
    state.counters["out_MB"] = double(outBytes) / 1e6;
    state.counters["density"] = c.density;
    state.SetBytesProcessed(int64_t(n) * outBytes);
}

void registerAll() {
    for (int i = 0; i < CaseCount; ++i)
        for (const Entry entry : {Entry::Whole, Entry::OnDemand}) {
            const std::string name = std::string("decode/") + CaseNames[i] + (entry == Entry::Whole ? "/whole" : "/on_demand");
            benchmark::RegisterBenchmark(name.c_str(), BM_Decode, CaseId(i), entry)->UseManualTime()->Unit(benchmark::kMillisecond);
        }
}

// Registered at start-up, as the benchmark macros do, so the stock main runs them. Freed pages
// stay with the allocator, so the kernel's page faults of fresh memory (allocation, which the
// ratios leave out) do not land at random in the decode or the copy.
const bool registered = (mallopt(M_MMAP_THRESHOLD, 32 << 20), mallopt(M_TRIM_THRESHOLD, 1 << 30), registerAll(), true);

} // namespace

BENCHMARK_MAIN();
