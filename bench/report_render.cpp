// The printed phone list of a long list: laying it out and writing it to a PDF file, and the
// print command itself (the grid read, the preview window laying out every page).
// Run one benchmark per process to compare peak memory:
//   report_render --benchmark_filter=Pdf   and   report_render --benchmark_filter=Command
#include "BenchSupport.h"

#include "report/ReportPreview.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// A program folder holding `cards` Personal cards, all of them in the grid.
struct Directory : bench::ProgramFolder {
    explicit Directory(int cards) {
        addCards(cards);
        trigger("mnuAll");
    }
};

bench::PerSize<Directory> directory;

double rssMb() {
    return double(bench::statusKb("VmRSS:")) / 1024.0;
}

void closePreview(Directory& d) {
    if (QWidget* preview = d.window->reportWindow())
        preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The report of the grid's cards laid out on A4 and written to a PDF file, as the preview's
// print command writes it.
void BM_ReportToPdf(benchmark::State& state) {
    Directory& d = directory(int(state.range(0)));
    d.trigger("mnuPrint");
    const report::PhoneListReport& report = d.window->reportWindow()->report();
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("list.pdf"));
    for (auto _ : state) {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
        report::preparePrinter(pdf);
        if (!report.print(pdf))
            state.SkipWithError("the PDF file was not written");
    }
    if (report.table().size() != size_t(state.range(0)))
        state.SkipWithError("wrong card count");
    state.counters["pdf_MB"] = double(QFileInfo(file).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = bench::peakRssMb();
    closePreview(d);
}

// The print command as the user meets it: the grid read into the report and the preview
// window shown, which lays out every page and keeps each one as a recorded picture.
// held_MB is what the open preview keeps in memory, as the growth of the resident set at the
// first opening (later openings reuse what the closed ones freed).
void BM_PrintCommand(benchmark::State& state) {
    Directory& d = directory(int(state.range(0)));
    double held = 0;
    int pages = 0;
    for (auto _ : state) {
        const double before = rssMb();
        d.trigger("mnuPrint");
        state.PauseTiming();
        held = std::max(held, rssMb() - before);
        pages = d.window->reportWindow()->pageCount();
        closePreview(d);
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
    state.counters["held_MB"] = held;
    state.counters["peak_rss_MB"] = bench::peakRssMb();
}

} // namespace

BENCHMARK(BM_ReportToPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintCommand)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] { directory.made.clear(); });
}
