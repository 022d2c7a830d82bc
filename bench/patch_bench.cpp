// BPS against IPS on the demo project's original and built ROM (2 MiB) and on a built 400-block
// demo (4 MiB): the median time to create each patch checked by applying it (in memory, and as
// corvtool make-bps against make-ips), to apply it (in memory, and as corvtool patch), and the
// sizes of the BPS patch, the IPS patch and a plain linear BPS (SourceRead where the files agree,
// TargetRead elsewhere), also on random pairs of ROM-like files. All ratios measured in this one
// run; the goal is a 4 MiB ROM's BPS in at most a second.
//
//   build/bench/patch_bench [RUNS]

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/median_time.h"
#include "core/rom_image.h"
#include "patches/bps_create.h"
#include "patches/bps_format.h"
#include "patches/bps_patch.h"
#include "patches/crc32.h"
#include "patches/ips_create.h"
#include "patches/ips_patch.h"
#include "patches/rom_patcher.h"

using namespace corv;
namespace fs = std::filesystem;

namespace {

// Runs corvtool with `args`, its output thrown away; exits the bench when it fails.
void corvtool(const std::vector<std::string>& args) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::vector<char*> argv = {const_cast<char*>(CORVTOOL_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "patch_bench: corvtool %s failed\n", args[0].c_str());
        std::exit(1);
    }
}

// The plain linear BPS: SourceRead where the files agree for 4 bytes or more, TargetRead for the rest.
size_t linearBpsSize(std::span<const uint8_t> source, std::span<const uint8_t> target) {
    std::vector<uint8_t> patch(patches::kBpsMagic.begin(), patches::kBpsMagic.end());
    patches::PutBpsNumber(patch, source.size());
    patches::PutBpsNumber(patch, target.size());
    patches::PutBpsNumber(patch, 0);
    const auto agree = [&](size_t i) { return i < source.size() && source[i] == target[i]; };
    size_t i = 0;
    while (i < target.size()) {
        size_t same = i;
        while (same < target.size() && agree(same)) ++same;
        if (same - i >= 4 || same == target.size()) {
            if (same > i) patches::PutBpsNumber(patch, (same - i - 1) << 2);
            i = same;
            continue;
        }
        size_t end = same;
        while (end < target.size()) {
            size_t run = end;
            while (run < target.size() && agree(run)) ++run;
            if (run - end >= 4 || run == target.size()) break;
            end = run + 1;
        }
        end = std::min(end, target.size());
        patches::PutBpsNumber(patch, (end - i - 1) << 2 | 1);
        patch.insert(patch.end(), target.begin() + long(i), target.begin() + long(end));
        i = end;
    }
    for (const uint32_t crc : {patches::Crc32(source), patches::Crc32(target)}) {
        for (int k = 0; k < 4; ++k) patch.push_back(uint8_t(crc >> (8 * k)));
    }
    const uint32_t own = patches::Crc32(patch);
    for (int k = 0; k < 4; ++k) patch.push_back(uint8_t(own >> (8 * k)));
    const patches::BpsApplication check = patches::ApplyBpsPatch(source, patch);
    if (check.status != patches::BpsStatus::Applied) std::puts("(the linear patch does not apply)");
    return patch.size();
}

void sizes(const char* what, std::span<const uint8_t> source, std::span<const uint8_t> target) {
    const size_t bps = patches::CreateBpsPatch(source, target).patch.size();
    const size_t ips = patches::CreateIpsPatch(source, target).patch.size();
    const size_t linear = linearBpsSize(source, target);
    std::printf("%-34s BPS %8zu  IPS %8zu  linear BPS %8zu  BPS/IPS %.3f  BPS/linear %.3f\n", what, bps, ips, linear,
                double(bps) / double(ips), double(bps) / double(linear));
}

void pair(const char* what, const fs::path& project, int runs) {
    const auto original = core::ReadWholeFile(project / "corvane.smc");
    const auto built = core::ReadWholeFile(project / "build/corvane-translated.smc");
    if (!original || !built) std::exit(1);
    sizes(what, *original, *built);

    const double bpsCreate = bench::MedianMilliseconds(runs, [&] {
        return patches::CreateCheckedBpsPatch(*original, *built).patch.size();
    });
    const double ipsCreate = bench::MedianMilliseconds(runs, [&] {
        const patches::IpsCreation ips = patches::CreateIpsPatch(*original, *built);
        std::vector<uint8_t> check = *original;
        (void)patches::ApplyIpsPatch(check, ips.patch);
        return ips.patch.size() + (check == *built);
    });
    const std::vector<std::vector<uint8_t>> bps = {patches::CreateBpsPatch(*original, *built).patch};
    const std::vector<std::vector<uint8_t>> ips = {patches::CreateIpsPatch(*original, *built).patch};
    const auto applyMs = [&](const std::vector<std::vector<uint8_t>>& patch) {
        return bench::MedianMilliseconds(runs, [&] {
            core::RomImage rom(*original, "bench.smc");
            return size_t(patches::ApplyPatches(rom, patch).appliedCount);
        });
    };
    const double bpsApply = applyMs(bps);
    const double ipsApply = applyMs(ips);
    std::printf("  in memory: create+check BPS %7.1f ms, IPS %7.1f ms (%.2fx); apply (blocks checked) BPS %6.1f ms, "
                "IPS %6.1f ms (%.2fx)\n",
                bpsCreate, ipsCreate, bpsCreate / ipsCreate, bpsApply, ipsApply, bpsApply / ipsApply);

    const std::string from = (project / "corvane.smc").string();
    const std::string to = (project / "build/corvane-translated.smc").string();
    const fs::path work = project / "bench";
    fs::create_directories(work);
    const auto makeMs = [&](const char* command, const char* name) {
        return bench::MedianMilliseconds(runs, [&] {
            corvtool({command, from, to, (work / name).string()});
            return size_t{1};
        });
    };
    const double makeBps = makeMs("make-bps", "t.bps");
    const double makeIps = makeMs("make-ips", "t.ips");
    const auto patchMs = [&](const char* name) {
        return bench::MedianMilliseconds(runs, [&] {
            fs::copy_file(from, work / "copy.smc", fs::copy_options::overwrite_existing);
            corvtool({"patch", (work / "copy.smc").string(), (work / name).string()});
            return size_t{1};
        });
    };
    const double patchBps = patchMs("t.bps");
    const double patchIps = patchMs("t.ips");
    std::printf("  corvtool:  make-bps %7.1f ms, make-ips %7.1f ms (%.2fx); patch with the BPS %6.1f ms, the IPS %6.1f "
                "ms (%.2fx)\n",
                makeBps, makeIps, makeBps / makeIps, patchBps, patchIps, patchBps / patchIps);
}

// A ROM-like file (runs, repeats, noise) and an edit of it: changed, moved, repeated and new bytes.
void randomPairs() {
    std::mt19937 random(20261209);
    for (int n = 0; n < 3; ++n) {
        std::vector<uint8_t> source;
        while (source.size() < (size_t{1} << 20)) {
            const size_t length = 1 + random() % 700;
            const auto kind = random() % 3;
            if (kind == 0 || source.empty()) {
                source.insert(source.end(), length, uint8_t(random()));
            } else if (kind == 1) {
                const size_t from = random() % source.size();
                for (size_t i = 0; i < length && from + i < source.size(); ++i) source.push_back(source[from + i]);
            } else {
                for (size_t i = 0; i < length; ++i) source.push_back(uint8_t(random()));
            }
        }
        std::vector<uint8_t> target = source;
        for (int e = 0; e < 200; ++e) {
            const size_t at = random() % target.size();
            const size_t length = 1 + random() % 400;
            if (e % 3 == 0) {
                const size_t from = random() % (source.size() - length);
                target.insert(target.begin() + long(at), source.begin() + long(from),
                              source.begin() + long(from + length));
            } else {
                for (size_t k = at; k < std::min(target.size(), at + length); ++k) target[k] = uint8_t(random());
            }
        }
        char what[64];
        std::snprintf(what, sizeof what, "random 1 MiB pair %d", n + 1);
        sizes(what, source, target);
    }
    std::vector<uint8_t> a(size_t{4} << 20), b(size_t{4} << 20);
    for (auto& x : a) x = uint8_t(random());
    for (auto& x : b) x = uint8_t(random());
    const double unrelated = bench::MedianMilliseconds(3, [&] { return patches::CreateBpsPatch(a, b).patch.size(); });
    std::printf("%-34s create %.1f ms\n", "two unrelated random 4 MiB files", unrelated);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path dir = fs::temp_directory_path() / ("corv_patch_bench_" + std::to_string(getpid()));
    corvtool({"make-demo", (dir / "demo").string(), "--blocks", "7"});
    corvtool({"build", (dir / "demo").string()});
    corvtool({"make-demo", (dir / "demo400").string(), "--blocks", "400"});
    corvtool({"build", (dir / "demo400").string()});

    std::printf("patch_bench: median of %d runs\n", runs);
    pair("demo project (2 MiB)", dir / "demo", runs);
    pair("400-block demo project (4 MiB)", dir / "demo400", runs);
    const auto original = core::ReadWholeFile(dir / "demo400/corvane.smc");
    const auto built = core::ReadWholeFile(dir / "demo400/build/corvane-translated.smc");
    // Processor time too: on a machine shared with other work the wall time also counts waiting.
    const std::clock_t cpuStart = std::clock();
    const double fourMiB = bench::MedianMilliseconds(runs, [&] {
        return patches::CreateCheckedBpsPatch(*original, *built).patch.size();
    });
    const double cpuMs = double(std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC / runs;
    std::printf("4 MiB ROM's BPS created and checked: %.1f ms (processor %.1f ms), %.2f of the one-second goal\n",
                fourMiB, cpuMs, fourMiB / 1000);
    randomPairs();
    fs::remove_all(dir);
    return 0;
}
