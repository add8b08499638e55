// qel-minibrot-bench: deep minibrots as a user waits for them, qel-render
// run as a whole process (wall time, processor time of all its threads,
// peak memory; medians of --runs runs).
//
//  1. Split views centred on the nuclei of components of periods 3, 5 and
//     1024 at magnifications 1E20, 1E100 and 1E300, every point inside the
//     component, with iteration limits 10^4, 10^6 and 10^8: the times, their
//     ratios to the time at 10^4, and whether every pixel of the lower-left
//     picture shows the component's period colour (16, "undetermined", for
//     a period beyond 15).
//  2. A minibrot of period 103 at 1E100 with its boundary and the exterior
//     around its cusp, m = 10^6; with --before PATH also that program's
//     time (one run) and how many pixels of the two pictures differ.
//  3. Peak memory with a reference orbit that neither escapes nor comes
//     back: the Julia set of c = -1.75 (the root of the period-3
//     component; the orbit of 0 creeps towards the parabolic cycle, by
//     about 1/n) around 0.5i at 1E20, where every point escapes within a few
//     hundred steps, so the process holds the orbit and hardly works on
//     points; m = 10^6, 10^7, 10^8.
//
//   build/qel-minibrot-bench [--runs N] [--render PATH] [--before PATH]
//                            [--dir FOLDER] [--most 8]
//
// --most 6 leaves out the limits above 10^6 (and the memory at 10^7 and
// 10^8). The pictures go to a new folder in --dir (/tmp unless told).
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "figures.h"
#include "render/colouring.h"

namespace {

using namespace qel;
using namespace qel::bench;

// The nuclei: roots of z_p(c) = 0 (z_0 = 0, z_k+1 = z_k^2 + c), found by
// Newton's method at 1300 bits from -1.75, from 0.38 + 0.33i and from the
// Feigenbaum point -1.4011551890920506, each checked to have no zero at a
// smaller step; written here with 306 digits, of which a view takes the
// log10(magnification) + 3 a click writes there. They are inputs, not
// results.
struct Nucleus {
    int period;
    const char* re;
    const char* im;
};

const Nucleus kNuclei[] = {
    {3,
     "-1.754877666246692760049508896358528691894606617772793143989283970646080655128081090738227092842"
     "250303648377367912813422938297597115606275852148133329138478338040445370936863559844672448154970"
     "842223466286249864962942241799070770338842144876771448112365863248144555095125216621355225093127"
     "09186301077753818743",
     "0"},
    {5,
     "0.3795135880159237453098983841556695513693891395993737026583479575707292202343865410597513970380"
     "765226493778608945009073514976532981283233006366278497776187855436615538750754074785651312922783"
     "077917038555562334186167094594732442889913966356300092263676300254137440194697336296673728323328"
     "93800243867992440634",
     "0.3349323055974975872246168332804010531845549978534208498476618659100856568822965017877354076434"
     "933910385711748103720640634552580179842991033152950763588493834611272536213060285315783560091038"
     "537462932620718600582539874835349392378015450872112850217195360168471243488318553522959419370136"
     "65612677261509756419"},
    {1024,
     "-1.401154782546617841218612537721864698681675390739711395389203799677442855183196592567218749173"
     "994010634141736311285602916727271287667365381546801098484988285254363295273584075611093509554138"
     "079167118215901130906053924764978669432110487291024153611687686451862752925959783932483000687321"
     "10336947547451614556",
     "0"},

};

// The nucleus of a period-103 minibrot near the Misiurewicz point M(3,1)
// (Newton's method again, from a point 3.4E-50 away whose orbit comes
// closest to 0 at step 103), moved 100 pixels left and 70 down at 1E100 in
// the split screen, so that the minibrot's cusp lies in the picture.
const char* const kMixedRe =
    "-0.228155493653961819214572014099126006737398351174501398520124489825432810821060791645610969000"
    "2403561008";
const char* const kMixedIm =
    "1.1151425080399373597457646363150140681887780904679881396810645398259826353889968885885772908038"
    "76759882";

// The first log10(magnification) + 3 significant digits of a number's text.
std::string digitsFor(const std::string& text, int powerOfTen) {
    const int digits = powerOfTen + 3;
    std::string out;
    int significant = 0;
    bool leading = true;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (leading && ch == '0') {
                out += ch;
                continue;
            }
            leading = false;
            if (significant++ == digits) break;
        }
        out += ch;
    }
    return out;
}

// The pixels of a 24-bit bitmap as qel-render writes it (rows bottom up),
// as colour numbers, top row first; empty when it is no such file.
std::vector<Colour> bitmapPixels(const std::string& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
    };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || b[28] != 24) return {};
    const std::size_t offset = u32(10);
    width = static_cast<int>(u32(18));
    height = static_cast<int>(u32(22));
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (b.size() < offset + rowBytes * static_cast<std::size_t>(height)) return {};
    std::vector<Colour> pixels;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + rowBytes * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t p = row + 3 * static_cast<std::size_t>(x);
            pixels.push_back(static_cast<Colour>(b[p + 2] | b[p + 1] << 8 | b[p] << 16));
        }
    }
    return pixels;
}

struct Figures {
    double ms = -1, cpuMs = 0, peakMB = 0;
};

Figures medianOf(const std::vector<ProcessRun>& runs) {
    std::vector<double> ms, cpu, peak;
    for (const ProcessRun& r : runs) {
        if (r.ms < 0) return {};
        ms.push_back(r.ms);
        cpu.push_back(r.cpuMs);
        peak.push_back(static_cast<double>(r.peakKiB) / 1024);
    }
    return {median(ms), median(cpu), median(peak)};
}

struct Bench {
    std::string render, before, dir;
    int runs = 3;
    int most = 8;

    std::vector<std::string> args(const std::string& program, const std::string& out, const std::string& re,
                                  const std::string& im, const std::string& mag, const std::string& maxIter) const {
        return {program, "--cx", re, "--cy", im, "--mag", mag, "--maxiter", maxIter, "--quiet", "--out", out};
    }
    Figures time(const std::vector<std::string>& a, int times) const {
        std::vector<ProcessRun> all;
        for (int i = 0; i < times; ++i) all.push_back(runProcess(a));
        return medianOf(all);
    }
};

// The lower-left picture of a split bitmap: pixels that show `colour`, of all.
int pixelsShowing(const std::string& path, Colour colour, int& all) {
    int w = 0, h = 0;
    const std::vector<Colour> px = bitmapPixels(path, w, h);
    all = w / 2 * (h / 2);
    int same = 0;
    for (int y = h / 2; y < h && !px.empty(); ++y)
        for (int x = 0; x < w / 2; ++x) same += px[static_cast<std::size_t>(y * w + x)] == colour;
    return same;
}

void nuclei(const Bench& b) {
    std::printf("Split views centred on nuclei, every point inside; medians of %d runs:\n"
                "  wall ms (processor ms) and peak MiB at m = 10^4, 10^6%s; ratios to 10^4 (processor)\n",
                b.runs, b.most >= 8 ? ", 10^8" : "");
    const char* limits[] = {"10000", "1000000", "100000000"};
    const int count = b.most >= 8 ? 3 : 2;
    for (const Nucleus& n : kNuclei)
        for (int power : {20, 100, 300}) {
            const std::string mag = "1E" + std::to_string(power);
            const std::string re = digitsFor(n.re, power), im = digitsFor(n.im, power);
            Figures f[3];
            std::string colours;
            for (int i = 0; i < count; ++i) {
                const std::string out = b.dir + "/nucleus-" + std::to_string(n.period) + "-" + mag + "-" + limits[i] + ".bmp";
                f[i] = b.time(b.args(b.render, out, re, im, mag, limits[i]), b.runs);
                int all = 0;
                const int same = pixelsShowing(out, periodColours()[static_cast<std::size_t>(std::min(n.period, 16))], all);
                char c[64];
                std::snprintf(c, sizeof c, "%s%d/%d", colours.empty() ? "" : " ", same, all);
                colours += c;
            }
            std::printf("  period %4d at %-6s", n.period, mag.c_str());
            for (int i = 0; i < count; ++i)
                std::printf("  %7.0f (%6.0f) %5.0f MiB", f[i].ms, f[i].cpuMs, f[i].peakMB);
            for (int i = 1; i < count; ++i)
                std::printf("  x%.2f (x%.2f)", f[i].ms / f[0].ms, f[i].cpuMs / f[0].cpuMs);
            std::printf("\n      lower left in the period colour: %s pixels\n", colours.c_str());
        }
}

void mixed(const Bench& b) {
    std::printf("\nA minibrot of period 103 at 1E100 with its cusp and exterior, m = 10^6:\n");
    const std::string out = b.dir + "/mixed.bmp";
    const Figures now = b.time(b.args(b.render, out, kMixedRe, kMixedIm, "1E100", "1000000"), b.runs);
    std::printf("  this program: %.0f ms (processor %.0f ms), peak %.0f MiB\n", now.ms, now.cpuMs, now.peakMB);
    if (b.before.empty()) return;
    const std::string outBefore = b.dir + "/mixed-before.bmp";
    const Figures then = b.time(b.args(b.before, outBefore, kMixedRe, kMixedIm, "1E100", "1000000"), 1);
    std::printf("  %s: %.0f ms (processor %.0f ms), peak %.0f MiB: x%.1f (processor x%.1f)\n", b.before.c_str(),
                then.ms, then.cpuMs, then.peakMB, then.ms / now.ms, then.cpuMs / now.cpuMs);
    int w = 0, h = 0, w0 = 0, h0 = 0;
    const std::vector<Colour> a = bitmapPixels(out, w, h), c = bitmapPixels(outBefore, w0, h0);
    int differ = 0;
    for (std::size_t i = 0; i < a.size() && a.size() == c.size(); ++i) differ += a[i] != c[i];
    std::printf("  pixels that differ: %d of %zu%s\n", differ, a.size(), a.size() == c.size() ? "" : " (sizes differ)");
}

void memory(const Bench& b) {
    std::printf("\nPeak memory, a reference orbit of m + 3 values (the Julia set of -1.75 at 1E20):\n");
    for (const char* m : {"1000000", "10000000", "100000000"}) {
        if (b.most < 8 && std::strlen(m) > 7) break;
        const std::vector<std::string> a = {b.render, "--set", "J", "--jre", "-1.75", "--jim", "0", "--cx", "0",
                                            "--cy", "0.5", "--mag", "1E20", "--maxiter", m, "--quiet",
                                            "--out", b.dir + "/memory.bmp"};
        const Figures f = b.time(a, 1);
        std::printf("  m = %-9s %7.0f MiB   %6.0f ms (processor %.0f ms)\n", m, f.peakMB, f.ms, f.cpuMs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Bench b;
    b.render = besideThisProgram(argv[0], "qel-render");
    std::string dir = "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--runs") b.runs = std::max(1, std::atoi(argv[i + 1]));
        else if (key == "--render") b.render = argv[i + 1];
        else if (key == "--before") b.before = argv[i + 1];
        else if (key == "--dir") dir = argv[i + 1];
        else if (key == "--most") b.most = std::atoi(argv[i + 1]);
    }
    b.dir = dir + "/qel-minibrot-bench-" + std::to_string(getpid());
    mkdir(b.dir.c_str(), 0700);
    nuclei(b);
    mixed(b);
    memory(b);
    std::printf("\nPictures in %s\n", b.dir.c_str());
    return 0;
}
