// The benchmark suite: Korvex's Run pipeline and runner against the external-process peer
// (piping the text through a new `ruby` process). Prints one table; see bench/run.sh.
#include "benchclock.h"
#include "peerprocess.h"
#include "samples.h"
#include "timedview.h"

#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"
#include "runner/linelist.h"
#include "runner/zerith.h"
#include "window/korvexform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <map>
#include <memory>
#include <ruby.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

/// The Korvex window with its Qt face, driven as a user would.
struct BenchForm
{
    std::unique_ptr<TfrmKorvex> form = TfrmKorvex::create(nullptr);
    QWidget &dialog = *platform::widgetOf(form->handle());

    void AttachToView(platform::WindowHandle view) { form->AttachToView(view); }
    template <typename T> T findChild(const char *name) const
    {
        return dialog.findChild<T>(QString::fromLatin1(name));
    }
    void show() { dialog.show(); }
    bool isVisible() const { return dialog.isVisible(); }
};

const char *const FilterScript = "ARGV.each { |l| puts l.upcase }";
const char *const PeerFilter = "STDIN.each_line { |l| puts l.upcase }";
// The same body timed inside Ruby with ARGV already set and output to a real (buffered)
// file: what the script itself costs, whoever runs it.
std::string floorScript()
{
    const std::string clock = BenchClock::rubyClockName();
    return "__out = File.open(File::NULL, 'w')\n"
           "$stdout = __out\n"
           "__t0 = Process.clock_gettime(" +
           clock +
           ")\n"
           "ARGV.each { |l| puts l.upcase }\n"
           "$stdout.flush\n"
           "$korvex_bench_seconds = Process.clock_gettime(" +
           clock +
           ") - __t0\n"
           "__out.close\n";
}

int repetitions = 5;

double secondsSince(double start)
{
    return BenchClock::now() - start;
}

/// The peer's figure for its last run, taken with the chosen clock.
double peerSeconds(PeerProcess &peer, double wall)
{
    return BenchClock::isProcessorTime() ? peer.cpuSeconds() : wall;
}

/// A document of about @p size bytes: lines of about 60 bytes, ASCII mixed with Japanese,
/// CR LF breaks (as the plug-in reads them).
std::string makeDocument(std::size_t size)
{
    static const char *const words[] = {"日本語の", "テキスト", "を変換し",
                                        "ますよ。", "漢字かな", "カタカナ"};
    std::string doc;
    doc.reserve(size + 64);
    char head[32];
    for (std::size_t i = 0; doc.size() < size; ++i) {
        snprintf(head, sizeof head, "%07zu quick brown fox ", i);
        doc += head;
        doc += words[i % 6];
        doc += words[(i + 1) % 6];
        doc += " jumps\r\n";
    }
    return doc;
}

std::string upcaseAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

std::string sizeName(std::size_t bytes)
{
    if (bytes >= 1000000)
        return std::to_string(bytes / 1000000) + " MB";
    if (bytes >= 1000)
        return std::to_string(bytes / 1000) + " KB";
    return std::to_string(bytes) + " B";
}

struct Row
{
    std::string group, figure, inputs, korvex, peer, ratio, target;
};
std::vector<Row> table;
std::string sideBySide; // the batch group's own table

void printRow(const Row &r)
{
    std::printf("| %-10s | %-34s | %-20s | %-30s | %-30s | %-12s | %-10s |\n", r.group.c_str(),
                r.figure.c_str(), r.inputs.c_str(), r.korvex.c_str(), r.peer.c_str(),
                r.ratio.c_str(), r.target.c_str());
}

void addRow(Row row)
{
    std::fprintf(stderr, "  %s / %s / %s: %s  peer %s  ratio %s\n", row.group.c_str(),
                 row.figure.c_str(), row.inputs.c_str(), row.korvex.c_str(), row.peer.c_str(),
                 row.ratio.c_str());
    table.push_back(std::move(row));
}

std::string ratioText(double a, double b, bool met)
{
    char text[48];
    snprintf(text, sizeof text, "%.3g%s", b > 0 ? a / b : 0.0, met ? "" : " MISSED");
    return text;
}

/// Press Run on @p form over @p view: whole document unless @p selection; answers the seconds.
double pressRun(BenchForm &form, TimedView &view, bool selection)
{
    if (selection)
        view.selectAll();
    form.AttachToView(view.handle());
    form.findChild<QCheckBox *>("chkSelectArea")->setChecked(selection);
    form.findChild<QPlainTextEdit *>("Memo1")->setPlainText(QString::fromUtf8(FilterScript));
    form.show();
    view.resetHostTime();
    const auto start = BenchClock::now();
    form.findChild<QAbstractButton *>("SpeedButton1")->click();
    const double seconds = secondsSince(start);
    if (form.isVisible())
        throw std::runtime_error("Run failed: the window stayed open");
    return seconds;
}

double floorSeconds(const LineList &lines)
{
    TZerith zerith;
    zerith.setScript(LineList{FilterScript}); // warm the same code path first
    zerith.setScript([] {
        LineList script;
        script.setText(floorScript());
        return script;
    }());
    zerith.setParams(lines);
    LineList output;
    zerith.Execute(&output);
    if (!output.isEmpty())
        throw std::runtime_error("floor script failed: " + std::string(output[0]));
    return NUM2DBL(rb_gv_get("$korvex_bench_seconds"));
}

void captureGroup()
{
    std::fprintf(stderr, "capture scaling\n");
    PeerProcess peer;
    Samples korvex[2], process[2];
    const long counts[2] = {100'000, 1'000'000};
    for (int k = 0; k < 2; ++k) {
        const std::string script = std::to_string(counts[k]) + ".times { |i| puts i }";
        for (int r = 0; r < repetitions; ++r) {
            TZerith zerith;
            zerith.setScript(LineList{script});
            LineList output;
            const auto start = BenchClock::now();
            zerith.Execute(&output);
            korvex[k].add(secondsSince(start));
            if (output.count() != std::size_t(counts[k]))
                throw std::runtime_error("capture: wrong line count");
            process[k].add(peerSeconds(peer, peer.run({"ruby", "-e", script}, {})));
        }
        addRow({"capture", "runner, n lines of `puts i`", "n = " + std::to_string(counts[k]),
                korvex[k].format("s"), process[k].format("s"),
                ratioText(korvex[k].median(), process[k].median(), true), "-"});
    }
    const double scaling = korvex[1].median() / korvex[0].median();
    addRow({"capture", "time(1,000,000) / time(100,000)", "runner vs ruby pipe",
            ratioText(korvex[1].median(), korvex[0].median(), scaling <= 12),
            ratioText(process[1].median(), process[0].median(), true), "", "<= 12"});
}

struct Shares
{
    Samples total, host, plugin, script, peer, pipelineNoHost;
};

Shares throughputOne(std::size_t size, BenchForm &form, TimedView &view)
{
    const std::string doc = makeDocument(size);
    const std::string expected = upcaseAscii(doc); // the Japanese text has no case
    PeerProcess peer;
    Shares s;
    LineList lines;
    lines.setText(doc);
    for (int r = 0; r < repetitions; ++r) {
        view.setDocument(doc);
        const double total = pressRun(form, view, false);
        const double host = view.hostSeconds();
        if (r == 0) {
            const QByteArrayView result = view.view().bytes();
            if (std::string_view(result.data(), std::size_t(result.size())) != expected)
                throw std::runtime_error("Run gave a wrong document at " + sizeName(size));
        }
        view.setDocument({});
        malloc_trim(0);
        const double script = floorSeconds(lines);
        s.total.add(total);
        s.host.add(host);
        s.script.add(script);
        s.plugin.add(total - host - script);
        s.pipelineNoHost.add(total - host);
        s.peer.add(peerSeconds(peer, peer.run({"ruby", "-e", PeerFilter}, doc)));
        if (r == 0 && peer.output() != expected)
            throw std::runtime_error("the peer gave a wrong output");
    }
    return s;
}

std::vector<std::size_t> sizes = {1'000, 1'000'000, 10'000'000, 50'000'000};

void throughputGroup()
{
    std::fprintf(stderr, "filter throughput\n");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    TimedView view;
    BenchForm form;
    std::vector<Shares> all;
    for (std::size_t size : sizes) {
        Shares s = throughputOne(size, form, view);
        const std::string in = sizeName(size);
        addRow({"throughput", "Run pipeline, whole document", in, s.total.format("s"),
                s.peer.format("s"), ratioText(s.total.median(), s.peer.median(), true), "-"});
        const bool big = size == 50'000'000;
        addRow({"throughput", "  pipeline without host share", in, s.pipelineNoHost.format("s"),
                s.peer.format("s"),
                ratioText(s.pipelineNoHost.median(), s.peer.median(),
                          !big || s.pipelineNoHost.median() <= 1.25 * s.peer.median()),
                big ? "<= 1.25" : "-"});
        addRow({"throughput", "  host share (messages)", in, s.host.format("s"), "", "", ""});
        addRow({"throughput", "  script share (Ruby floor)", in, s.script.format("s"),
                s.peer.format("s"), ratioText(s.script.median(), s.peer.median(), true), "-"});
        addRow({"throughput", "  plug-in share / script share", in, s.plugin.format("s"),
                s.script.format("s"),
                ratioText(s.plugin.median(), s.script.median(),
                          !big || s.plugin.median() <= 0.2 * s.script.median()),
                big ? "<= 0.2" : "-"});
        all.push_back(std::move(s));
    }
    if (all.size() != 4)
        return; // sizes chosen by hand (for profiling): no scaling figures
    const Shares &s10 = all[2];
    const Shares &s50 = all[3];
    const struct
    {
        const char *name;
        const Samples Shares::*share;
    } shares[] = {{"total", &Shares::total},
                  {"host share", &Shares::host},
                  {"plug-in share", &Shares::plugin},
                  {"script share", &Shares::script},
                  {"peer process", &Shares::peer}};
    for (const auto &share : shares) {
        const double ratio = (s50.*share.share).median() / (s10.*share.share).median();
        addRow({"throughput", std::string("time(50 MB) / time(10 MB), ") + share.name, "", "", "",
                ratioText((s50.*share.share).median(), (s10.*share.share).median(), ratio <= 5.5),
                "<= 5.5"});
    }
}

/// Ruby's own cost of making a document's lines into an array of Strings, as ARGV holds
/// them: what no filter that hands the lines over as ARGV can go below.
double argvFloorSeconds(const LineList &lines)
{
    const std::string clock = BenchClock::rubyClockName();
    TZerith zerith;
    LineList script;
    script.setText("__s = ARGV.join(\"\\n\")\nGC.start\n__t0 = Process.clock_gettime(" + clock +
                   ")\n__a = __s.split(\"\\n\").each(&:freeze)\n$korvex_bench_seconds = "
                   "Process.clock_gettime(" +
                   clock + ") - __t0\n__a = __s = nil\n");
    zerith.setScript(script);
    zerith.setParams(lines);
    LineList output;
    zerith.Execute(&output);
    if (!output.isEmpty())
        throw std::runtime_error("ARGV floor script failed: " + std::string(output[0]));
    return NUM2DBL(rb_gv_get("$korvex_bench_seconds"));
}

/// Seconds to zero-fill a new buffer of @p size bytes (the first touch of its pages), and to
/// fill it once more (pages already in place).
std::pair<double, double> touchSeconds(std::size_t size)
{
    malloc_trim(0); // memory the allocator kept would not be new to the process
    auto start = BenchClock::now();
    std::string buffer(size, '\0');
    const double fresh = secondsSince(start);
    start = BenchClock::now();
    std::fill(buffer.begin(), buffer.end(), '\1');
    const double warm = secondsSince(start);
    if (buffer[size / 2] != '\1')
        throw std::runtime_error("touch: the buffer was not filled");
    return {fresh, warm};
}

void floorsGroup()
{
    std::fprintf(stderr, "floors\n");
    for (std::size_t size : {10'000'000, 50'000'000}) {
        LineList lines;
        lines.setText(makeDocument(size));
        Samples argv, script, fresh, warm;
        for (int r = 0; r < repetitions; ++r) {
            argv.add(argvFloorSeconds(lines));
            script.add(floorSeconds(lines));
            const auto [first, again] = touchSeconds(size);
            fresh.add(first);
            warm.add(again);
        }
        addRow({"floor", "lines to String array, in Ruby / script", sizeName(size),
                argv.format("s"), script.format("s"),
                ratioText(argv.median(), script.median(), true), "-"});
        addRow({"floor", "new buffer of the text's size / script", sizeName(size),
                fresh.format("s"), script.format("s"),
                ratioText(fresh.median(), script.median(), true), "-"});
        addRow({"floor", "  the same buffer filled again", sizeName(size), warm.format("s"), "", "",
                ""});
    }
}

void latencyGroup()
{
    std::fprintf(stderr, "latency\n");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    TimedView view;
    BenchForm form;
    const std::string doc = makeDocument(1000);
    PeerProcess peer;
    Samples korvex, process;
    for (int r = 0; r < repetitions * 4 + 1; ++r) {
        view.setDocument(doc);
        korvex.add(pressRun(form, view, true));
        process.add(peerSeconds(peer, peer.run({"ruby", "-e", PeerFilter}, doc)));
    }
    addRow({"latency", "Run pipeline, one-line script", "1 KB selection", korvex.format("ms"),
            process.format("ms"),
            ratioText(korvex.median(), process.median(), korvex.median() * 20 <= process.median()),
            "<= 0.05"});
}

/// In a fresh process: the first Run (interpreter start included) over 1 KB; prints seconds.
int coldChild()
{
    TimedView view;
    BenchForm form;
    view.setDocument(makeDocument(1000));
    std::printf("%.9f\n", pressRun(form, view, true));
    return 0;
}

void coldGroup(const char *self)
{
    std::fprintf(stderr, "cold start\n");
    PeerProcess child, peer;
    Samples korvex, process;
    for (int r = 0; r < repetitions; ++r) {
        child.run({self, "--cold", BenchClock::isProcessorTime() ? "cpu" : "wall"}, {});
        korvex.add(std::stod(child.output()));
        process.add(peerSeconds(peer, peer.run({"ruby", "-e", ""}, {})));
    }
    addRow({"cold start", "first Run in a fresh process", "1 KB, interpreter start",
            korvex.format("ms"), process.format("ms") + " (ruby -e '')",
            ratioText(korvex.median(), process.median(), true), "-"});
}

long statusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}

/// Resets the peak resident size to the present one; answers the present one in bytes.
double resetPeak()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return double(statusKb("VmRSS")) * 1024;
}

double peakGrowth(double base)
{
    return double(statusKb("VmHWM")) * 1024 - base;
}

/// In a fresh process: peak growth of one whole-document Run over @p size bytes ("pipeline"),
/// or of the host's own message handling for such a run alone ("host"); prints bytes.
int memoryChild(std::size_t size, const std::string &what)
{
    TimedView view;
    BenchForm form;
    view.setDocument(makeDocument(1000));
    pressRun(form, view, false); // the interpreter starts outside the measurement
    const std::string doc = makeDocument(size);
    view.setDocument(doc);
    double growth = 0;
    if (what == "pipeline") {
        form.AttachToView(view.handle());
        form.findChild<QCheckBox *>("chkSelectArea")->setChecked(false);
        form.show();
        const double base = resetPeak();
        form.findChild<QAbstractButton *>("SpeedButton1")->click();
        growth = peakGrowth(base);
    } else {
        // The plug-in's buffers exist before the measurement, so only the host's count.
        std::string buffer(doc.size() + 1, '\0');
        const std::string output = upcaseAscii(doc);
        const double base = resetPeak();
        platform::sendMessage(view.handle(), MSG_EXEC_COMMAND, CMD_SELECT_ALL, 0);
        const auto length = platform::sendMessage(view.handle(), MSG_GET_SEL_TEXT, 0, 0);
        platform::sendMessage(view.handle(), MSG_GET_SEL_TEXT, platform::WParam(length),
                              reinterpret_cast<platform::LParam>(buffer.data()));
        platform::sendMessage(view.handle(), MSG_EXEC_COMMAND, CMD_DELETE, 0);
        platform::sendMessage(view.handle(), MSG_INSERT_STRING, 0,
                              reinterpret_cast<platform::LParam>(output.c_str()));
        growth = peakGrowth(base);
    }
    std::printf("%.0f %zu\n", growth, doc.size());
    return 0;
}

void memoryGroup(const char *self)
{
    std::fprintf(stderr, "memory\n");
    PeerProcess child;
    for (std::size_t size : {10'000'000, 50'000'000}) {
        Samples total, host, plugin;
        double docSize = 0;
        for (int r = 0; r < repetitions; ++r) {
            child.run({self, "--memory", std::to_string(size), "pipeline"}, {});
            const double t = std::stod(child.output());
            docSize = std::stod(child.output().substr(child.output().find(' ')));
            child.run({self, "--memory", std::to_string(size), "host"}, {});
            const double h = std::stod(child.output());
            total.add(t / docSize);
            host.add(h / docSize);
            plugin.add((t - h) / docSize);
        }
        const bool big = size == 50'000'000;
        addRow({"memory", "peak RSS growth / document size", sizeName(size) + ", whole run",
                total.format("x"), "", "", ""});
        addRow({"memory", "  host's share / document size", sizeName(size), host.format("x"), "",
                "", ""});
        addRow({"memory", "  without host / document size", sizeName(size), plugin.format("x"), "",
                ratioText(plugin.median(), 1, !big || plugin.median() <= 6), big ? "<= 6" : "-"});
    }
}

/// The Vim on PATH that has Ruby built in (Debian's vim-nox), or empty.
std::string vimWithRuby()
{
    for (const char *name : {"vim.nox", "vim"}) {
        try {
            PeerProcess probe;
            probe.run({name, "--version"}, {});
            if (probe.output().find("+ruby") != std::string::npos)
                return name;
        } catch (const std::exception &) {
        }
    }
    return {};
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string figure(const Samples &seconds, const Samples &peak, const Samples *ratios)
{
    char text[96];
    snprintf(text, sizeof text, "%.3f s, %.0f MB", seconds.median(), peak.median() / 1e6);
    std::string out = text;
    if (ratios) {
        snprintf(text, sizeof text, " (%.1fx)", ratios->median());
        out += text;
    }
    return out;
}

/// The median of @p ratios, made in rounds, with their range, marked when @p met is false.
std::string pairedRatioText(const Samples &ratios, bool met)
{
    char text[64];
    snprintf(text, sizeof text, "%.3g [%.3g..%.3g]%s", ratios.median(), ratios.min(), ratios.max(),
             met ? "" : " MISSED");
    return text;
}

/// Whole-document upcase of a document file, wall time and peak memory of each process, by
/// four tools: the `ruby` process reading the file on standard input, Vim filtering its buffer
/// through that process (`:%!ruby`), Vim's own Ruby (`:rubydo`), and `plinthar --batch` with
/// Korvex. Vim's columns need vim-nox and are skipped without it.
void batchGroup()
{
    std::fprintf(stderr, "batch runs\n");
    QTemporaryDir work;
    const std::string dir = work.path().toStdString();
    QDir(work.path()).mkpath(QStringLiteral("home/Documents/Korvex"));
    QDir(work.path()).mkpath(QStringLiteral("plugins"));
    std::ofstream(dir + "/home/Documents/Korvex/upcase.rb") << FilterScript << "\n";
    qputenv("HOME", (work.path() + QStringLiteral("/home")).toLocal8Bit());
    const std::string bin = QCoreApplication::applicationDirPath().toStdString();
    const std::string vim = vimWithRuby();
    if (vim.empty())
        std::fprintf(stderr, "  no Vim with Ruby (vim-nox): Vim's figures are skipped\n");

    struct Tool
    {
        std::string name;
        std::vector<std::string> argv; // the document's path is appended
        bool writesFile;               // to `out`, else to standard output
        bool stdinDocument;            // reads the document on standard input
    };
    const std::string out = dir + "/out.txt";
    const std::string peakFile = dir + "/peak.txt";
    const std::string timeProgram = "/usr/bin/time";
    if (!QFileInfo::exists(QString::fromStdString(timeProgram)))
        throw std::runtime_error("the batch group needs GNU time (" + timeProgram + ")");
    const std::vector<std::string> vimHead = {vim, "-u", "NONE", "-i", "NONE", "-N", "-n", "-es"};
    std::vector<Tool> tools = {
        {"ruby process", {"ruby", "-e", PeerFilter}, false, true},
        {"Vim :%!ruby", vimHead, true, false},
        {"Vim :rubydo", vimHead, true, false},
        {"plinthar --batch",
         {bin + "/plinthar", "--batch", "--plugin-folder", dir + "/plugins", "--plugin",
          bin + "/plugins/Korvex.so", "--script", "upcase.rb"},
         false,
         false},
    };
    for (const auto &[index, command] :
         {std::pair{1, std::string("%!ruby -e '") + PeerFilter + "'"},
          std::pair{2, std::string("rubydo $_ = $_.upcase")}}) {
        tools[std::size_t(index)].argv.insert(tools[std::size_t(index)].argv.end(),
                                              {"-c", command, "-c", "w! " + out, "-c", "q!"});
    }

    const std::size_t sizes[] = {1'000'000, 10'000'000, 20'000'000, 50'000'000};
    std::map<std::size_t, std::vector<std::pair<Samples, Samples>>> results;
    for (std::size_t size : sizes) {
        const std::string doc = makeDocument(size);
        const std::string expected = upcaseAscii(doc);
        const std::string path = dir + "/document.txt";
        std::ofstream(path, std::ios::binary) << doc;
        std::vector<std::pair<Samples, Samples>> &row = results[size];
        row.resize(tools.size());
        for (int r = 0; r < repetitions; ++r) {
            // plinthar right after the `ruby` process and right before Vim's filter, the two it
            // is compared with in each round.
            for (const std::size_t t : {0, 3, 1, 2}) {
                const Tool &tool = tools[t];
                if (tool.argv[0].empty())
                    continue;
                PeerProcess process;
                // A process started by one as large as the bench inherits its peak resident
                // size, so GNU time, which is small, starts each tool and reports its peak.
                std::vector<std::string> argv = {timeProgram, "-f", "%M", "-o", peakFile};
                argv.insert(argv.end(), tool.argv.begin(), tool.argv.end());
                double wall = 0;
                if (tool.stdinDocument) {
                    wall = process.runWithFile(argv, path);
                } else {
                    argv.push_back(path);
                    wall = process.run(argv, {});
                }
                if (r == 0 && (tool.writesFile ? readFile(out) : process.output()) != expected)
                    throw std::runtime_error(tool.name + " gave a wrong document at " +
                                             sizeName(size));
                row[t].first.add(wall);
                row[t].second.add(std::stod(readFile(peakFile)) * 1024);
            }
        }
        const std::string in = sizeName(size);
        const bool target = size >= 20'000'000;
        const Samples &korvex = row[3].first;
        const Samples toRuby = korvex.ratiosTo(row[0].first);
        addRow({"batch", "plinthar --batch / ruby process", in, korvex.format("s"),
                row[0].first.format("s"),
                pairedRatioText(toRuby, !target || toRuby.median() <= 1.5),
                target ? "<= 1.5" : "-"});
        if (!vim.empty()) {
            const Samples toFilter = korvex.ratiosTo(row[1].first);
            addRow({"batch", "plinthar --batch / Vim :%!ruby", in, korvex.format("s"),
                    row[1].first.format("s"),
                    pairedRatioText(toFilter, !target || toFilter.median() < 1),
                    target ? "< 1" : "-"});
            addRow({"batch", "plinthar --batch / Vim :rubydo", in, korvex.format("s"),
                    row[2].first.format("s"), pairedRatioText(korvex.ratiosTo(row[2].first), true),
                    "-"});
        }
        const double peak = row[3].second.median() / double(doc.size());
        addRow({"batch", "  peak memory / document size", in, row[3].second.format("MB"), "",
                ratioText(peak, 1, !target || peak <= 5), target ? "<= 5" : "-"});
    }
    const Samples &s10 = results[10'000'000][3].first;
    const Samples &s50 = results[50'000'000][3].first;
    addRow({"batch", "time(50 MB) / time(10 MB), plinthar", "", "", "",
            ratioText(s50.median(), s10.median(), s50.median() <= 5.5 * s10.median()), "<= 5.5"});

    // The same figures side by side, as the README shows them.
    std::string side = "\n| document |";
    for (const Tool &tool : tools) {
        side += ' ';
        side += tool.name;
        side += " |";
    }
    side += "\n|---|---|---|---|---|\n";
    for (std::size_t size : sizes) {
        const auto &row = results[size];
        side += "| " + sizeName(size) + " |";
        for (std::size_t t = 0; t < tools.size(); ++t) {
            side += ' ';
            const Samples toRuby = row[t].first.ratiosTo(row[0].first);
            side += tools[t].argv[0].empty()
                        ? std::string("-")
                        : figure(row[t].first, row[t].second, t ? &toRuby : nullptr);
            side += " |";
        }
        side += "\n";
    }
    sideBySide = side;
}

} // namespace

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    const QStringList args = QCoreApplication::arguments();
    try {
        if (args.size() >= 3 && args[1] == "--cold") {
            BenchClock::useProcessorTime(args[2] == "cpu");
            return coldChild();
        }
        if (args.size() >= 4 && args[1] == "--memory")
            return memoryChild(args[2].toULongLong(), args[3].toStdString());
        QStringList groups = {"capture", "throughput", "floor", "latency",
                              "cold",    "memory",     "batch"};
        for (int i = 1; i < args.size(); ++i) {
            if (args[i] == "--reps" && i + 1 < args.size())
                repetitions = std::max(1, args[++i].toInt());
            else if (args[i] == "--clock" && i + 1 < args.size())
                BenchClock::useProcessorTime(args[++i] == "cpu");
            else if (args[i] == "--only" && i + 1 < args.size())
                groups = args[++i].split(',');
            else if (args[i] == "--sizes" && i + 1 < args.size()) {
                sizes.clear();
                for (const QString &size : args[++i].split(','))
                    sizes.push_back(size.toULongLong());
            }
        }
        const std::string self = QCoreApplication::applicationFilePath().toStdString();
        EnsureRuntimeStarted();
        if (groups.contains("capture"))
            captureGroup();
        if (groups.contains("throughput"))
            throughputGroup();
        if (groups.contains("floor"))
            floorsGroup();
        if (groups.contains("latency"))
            latencyGroup();
        if (groups.contains("cold"))
            coldGroup(self.c_str());
        if (groups.contains("memory"))
            memoryGroup(self.c_str());
        if (groups.contains("batch"))
            batchGroup();
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench failed: %s\n", failure.what());
        return 1;
    }
    std::printf(
        "Medians of %d repetitions [min..max], %s; ratio = Korvex / peer (or as named); batch "
        "ratios are the median [min..max] of the ratios within each round.\n\n",
        repetitions,
        BenchClock::isProcessorTime() ? "processor time (user + system)" : "wall time");
    printRow({"group", "figure", "inputs", "Korvex", "peer", "ratio", "target"});
    printRow({"---", "---", "---", "---", "---", "---", "---"});
    for (const Row &r : table)
        printRow(r);
    if (!sideBySide.empty())
        std::printf("\nBatch runs, whole-document upcase: wall time and peak memory, median of %d "
                    "(median ratio to the ruby process, within each round)\n%s",
                    repetitions, sideBySide.c_str());
    return 0;
}
