// qel-film-bench: a zoom film as a user makes one, qel-render run as a whole
// process, against drawing the same frames one by one.
//
//  1. The film: 60 s, 1280 x 720, 30 frames a second, magnification 1 to
//     1E20, m = 100,000, in the smooth colouring (the default of a film),
//     centred on c = i, a Misiurewicz point (the orbit of i lands on the
//     cycle -1 + i, -i after one step): every depth holds the same branching
//     dendrite, and a view centred on it stays exact at any magnification.
//     Its wall time, processor time of all threads and peak memory; the
//     points it computed (qel-render's last line) against 1800 frames of
//     1280 x 720 points; what ffprobe reads of the file.
//  2. Frame by frame: every --every-th frame drawn alone with --film-frame
//     (every point at the frame's own magnification, the engines a --frames
//     picture uses), in --method 1 so that no frame samples its range of
//     smooth counts first; the sum times --every.
//  3. Every --psnr-every-th frame (and the last) of the film as decoded
//     from the file, against the frame drawn exactly with the film's
//     colouring and range, and against it supersampled 2 x 2; and the
//     exact frame passed through the same encoder, which is the share of
//     the codec alone (ffmpeg and ffprobe do the decoding and comparing).
//  4. The film killed (SIGKILL) at 40% of its time: the frames ffprobe
//     reads in what it left.
//
//   build/qel-film-bench [--render PATH] [--dir FOLDER] [--every 10]
//                        [--psnr-every 100] [--seconds 60] [--cx X --cy Y]
//                        [--full-colour]
//
// --cx and --cy move the zoom's centre (a costlier place than c = i makes
// the frames' computing, not their making, the larger share); --full-colour
// makes the film, and the exact frames passed through the encoder, 4:4:4.
// --every 0 leaves the frames out, --psnr-every 0 the PSNR.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "figures.h"

namespace {

using namespace qel::bench;

const std::vector<std::string> kDepth = {"--mag", "1E20", "--maxiter", "100000"};
constexpr int kWidth = 1280, kHeight = 720, kFps = 30;

struct Bench {
    std::string render, dir;
    int every = 10, psnrEvery = 100, seconds = 60;
    std::string cx = "0", cy = "1";
    bool fullColour = false;
    int frames() const { return seconds * kFps; }
    std::vector<std::string> film(const std::vector<std::string>& more) const {
        std::vector<std::string> args = {render, "--cx", cx, "--cy", cy};
        args.insert(args.end(), kDepth.begin(), kDepth.end());
        if (fullColour) args.push_back("--full-colour");
        for (const std::string& a : {std::string("--film"), std::to_string(seconds), std::string("--size"),
                                     std::to_string(kWidth) + "x" + std::to_string(kHeight), std::string("--quiet")})
            args.push_back(a);
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
};

std::string textOf(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What a shell command prints, standard error included.
std::string output(const std::string& command) {
    std::string text;
    if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, p)) text += buffer;
        pclose(p);
    }
    return text;
}

std::string probe(const std::string& file) {
    std::string s = output(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of "
        "compact=p=0 '" +
        file + "'");
    while (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

// PSNR of two pictures over their red, green and blue, as ffmpeg's psnr
// filter gives it.
double psnr(const std::string& a, const std::string& b) {
    const std::string s = output("ffmpeg -nostats -i '" + a + "' -i '" + b +
                                 "' -lavfi '[0]format=gbrp[x];[1]format=gbrp[y];[x][y]psnr' -f null -");
    const auto at = s.rfind("average:");
    if (at == std::string::npos) return -1;
    const std::string v = s.substr(at + 8, s.find(' ', at) - at - 8);
    return v == "inf" ? 99.0 : std::atof(v.c_str());
}

long long numberAfter(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    return at == std::string::npos ? -1 : std::atoll(text.c_str() + at + key.size());
}

}  // namespace

int main(int argc, char** argv) {
    Bench b;
    b.render = besideThisProgram(argv[0], "qel-render");
    std::string dir = "/tmp";
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--full-colour") {
            b.fullColour = true;
            continue;
        }
        if (i + 1 >= argc) break;
        if (key == "--render")
            b.render = argv[i + 1];
        else if (key == "--cx")
            b.cx = argv[i + 1];
        else if (key == "--cy")
            b.cy = argv[i + 1];
        else if (key == "--dir")
            dir = argv[i + 1];
        else if (key == "--every")
            b.every = std::max(0, std::atoi(argv[i + 1]));
        else if (key == "--psnr-every")
            b.psnrEvery = std::max(0, std::atoi(argv[i + 1]));
        else if (key == "--seconds")
            b.seconds = std::max(1, std::atoi(argv[i + 1]));
        ++i;
    }
    b.dir = dir + "/qel-film-bench-" + std::to_string(getpid());
    mkdir(b.dir.c_str(), 0700);
    const int n = b.frames();
    std::printf(
        "Film: %d s, %dx%d, %d fps (%d frames), magnification 1 to 1E20 "
        "at c = %s + %s i, m = 100000%s\n",
        b.seconds, kWidth, kHeight, kFps, n, b.cx.c_str(), b.cy.c_str(), b.fullColour ? ", 4:4:4" : "");

    // 1. The film.
    const std::string film = b.dir + "/film.mp4";
    const ProcessRun run = runProcess(b.film({"--out", film}), b.dir + "/film.err");
    const std::string said = textOf(b.dir + "/film.err");
    const long long points = numberAfter(said, "s, ");
    const long long frameByFramePoints = static_cast<long long>(n) * kWidth * kHeight;
    std::printf("  film: %.1f s wall, %.1f s processor, peak %.0f MB%s\n", run.ms / 1000, run.cpuMs / 1000,
                static_cast<double>(run.peakKiB) / 1024.0, run.ms < 0 ? " (FAILED)" : "");
    std::printf(
        "  points computed: film %lld, frame by frame %lld (%d x %d x "
        "%d): %.4f of it\n",
        points, frameByFramePoints, n, kWidth, kHeight,
        static_cast<double>(points) / static_cast<double>(frameByFramePoints));
    std::printf("  ffprobe: %s\n", probe(film).c_str());

    // 2. Frame by frame.
    double wall = 0, cpu = 0;
    int drawn = 0;
    for (int i = 0; b.every > 0 && i < n; i += b.every) {
        const ProcessRun f =
            runProcess(b.film({"--method", "1", "--film-frame", std::to_string(i + 1), "--out", b.dir + "/one.png"}));
        wall += f.ms;
        cpu += f.cpuMs;
        ++drawn;
    }
    if (drawn > 0) {
        std::printf(
            "  frame by frame (--film-frame, --method 1), %d frames (every "
            "%d-th) drawn: %.1f s wall, %.1f s "
            "processor; times %d: %.1f s wall, %.1f s processor\n",
            drawn, b.every, wall / 1000, cpu / 1000, b.every, wall * b.every / 1000, cpu * b.every / 1000);
        std::printf("  film / frame by frame: %.3f wall, %.3f processor\n", run.ms / (wall * b.every),
                    run.cpuMs / (cpu * b.every));
    }

    // 3. PSNR.
    if (b.psnrEvery > 0) {
        std::printf(
            "  PSNR (dB) of the film's frame as decoded from the file "
            "against: (a) the exact frame, (b) the exact\n"
            "  frame 2x2 supersampled, (c) the exact frame through the "
            "same encoder; (d) the exact frame through\n"
            "  the encoder against itself (the codec's share: 4:2:0 colour "
            "halves the colour resolution)\n");
        std::vector<int> which;
        for (int i = 0; i < n; i += b.psnrEvery) which.push_back(i);
        if (which.back() != n - 1) which.push_back(n - 1);
        double least[4] = {1e9, 1e9, 1e9, 1e9}, sum[4] = {0, 0, 0, 0};
        for (int i : which) {
            const std::string tag = b.dir + "/" + std::to_string(i + 1);
            runProcess(b.film({"--film-frame", std::to_string(i + 1), "--out", tag + "-exact.png"}));
            runProcess(
                b.film({"--film-frame", std::to_string(i + 1), "--supersample", "2", "--out", tag + "-super.png"}));
            output("ffmpeg -v error -i '" + film + "' -vf 'select=eq(n\\," + std::to_string(i) +
                   ")' -vsync 0 -frames:v 1 -y '" + tag + "-film.png'");
            output("ffmpeg -v error -i '" + tag + "-exact.png' -c:v libx264 -preset veryfast -crf 20 -pix_fmt " +
                   std::string(b.fullColour ? "yuv444p" : "yuv420p") +
                   " -color_primaries bt709 -color_trc iec61966-2-1 -colorspace "
                   "bt709 -y '" +
                   tag +
                   "-coded.mp4' && "
                   "ffmpeg -v error -i '" +
                   tag + "-coded.mp4' -y '" + tag + "-coded.png'");
            const double p[4] = {
                psnr(tag + "-film.png", tag + "-exact.png"), psnr(tag + "-film.png", tag + "-super.png"),
                psnr(tag + "-film.png", tag + "-coded.png"), psnr(tag + "-coded.png", tag + "-exact.png")};
            std::printf("    frame %4d: (a) %6.2f (b) %6.2f (c) %6.2f (d) %6.2f\n", i + 1, p[0], p[1], p[2], p[3]);
            for (int k = 0; k < 4; ++k) {
                least[k] = std::min(least[k], p[k]);
                sum[k] += p[k];
            }
        }
        const double count = static_cast<double>(which.size());
        std::printf("    least: (a) %6.2f (b) %6.2f (c) %6.2f (d) %6.2f\n", least[0], least[1], least[2], least[3]);
        std::printf("    mean:  (a) %6.2f (b) %6.2f (c) %6.2f (d) %6.2f\n", sum[0] / count, sum[1] / count,
                    sum[2] / count, sum[3] / count);
    }

    // 4. Killed midway.
    const std::string killed = b.dir + "/killed.mp4";
    std::vector<std::string> args = b.film({"--out", killed});
    std::vector<char*> argv2;
    for (const std::string& a : args) argv2.push_back(const_cast<char*>(a.c_str()));
    argv2.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv2[0], argv2.data());
        std::_Exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(std::max(1000.0, run.ms * 0.4))));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    std::printf("  killed at 40%% of the film's time: ffprobe: %s\n", probe(killed).c_str());
    std::printf("\nFiles in %s\n", b.dir.c_str());
    return 0;
}
