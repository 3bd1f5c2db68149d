// Element access on the interpreter's hot path: getDouble/setDouble on a
// parameter and getString of a 20-character text, against a plain
// std::vector<double> / std::string as peer; and the heap taken by a
// 1,000,000-element supDouble array against a std::vector<double>.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "vordb.h"

namespace {

// Elements walked per timing round; several rounds, the best one counts.
constexpr unsigned int Elements = 1000;
constexpr int Rounds = 2000;
constexpr unsigned int LargeArray = 1000000;

volatile double doubleSink;
volatile std::size_t sizeSink;

template <class Fn> double bestNanosPerCall(Fn fn)
{
    double best = 1e30;
    for (int r = 0; r < 20; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < Rounds / 20; ++i)
            fn();
        const auto end = std::chrono::steady_clock::now();
        const double ns = std::chrono::duration<double, std::nano>(end - start).count();
        best = std::min(best, ns / (static_cast<double>(Rounds / 20) * Elements));
    }
    return best;
}

void report(const char* what, double ours, double peer)
{
    std::printf("%-34s %8.2f ns   peer %8.2f ns   ratio %6.1fx\n", what, ours, peer, ours / peer);
}

// Bytes allocated, large (mmapped) blocks included.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void timeDoubles()
{
    Oracle::ODbDynamicVariable var;
    Oracle::ODbParam param;
    param = var;
    param.initParam(Oracle::supDouble, -1, Elements);
    std::vector<double> peer(Elements);

    const double setOurs = bestNanosPerCall([&] {
        for (unsigned int i = 0; i < Elements; ++i)
            param.setDouble(i * 0.5, i);
    });
    const double setPeer = bestNanosPerCall([&] {
        for (unsigned int i = 0; i < Elements; ++i)
            peer[i] = i * 0.5;
        doubleSink = peer[Elements / 2];
    });
    const double getOurs = bestNanosPerCall([&] {
        double sum = 0;
        for (unsigned int i = 0; i < Elements; ++i)
            sum += param.getDouble(i);
        doubleSink = sum;
    });
    const double getPeer = bestNanosPerCall([&] {
        double sum = 0;
        for (unsigned int i = 0; i < Elements; ++i)
            sum += peer[i];
        doubleSink = sum;
    });
    report("setDouble(value, i) on supDouble", setOurs, setPeer);
    report("getDouble(i) on supDouble", getOurs, getPeer);
}

void timeStrings()
{
    const std::string text = "twenty characters!!!";
    Oracle::ODbDynamicVariable var;
    Oracle::ODbParam param;
    param = var;
    param.initParam(Oracle::supCString, 30, Elements);
    std::vector<std::string> peer(Elements, text);
    for (unsigned int i = 0; i < Elements; ++i)
        param.setString(text, i);

    const double ours = bestNanosPerCall([&] {
        std::size_t total = 0;
        for (unsigned int i = 0; i < Elements; ++i)
            total += param.getString(i).size();
        sizeSink = total;
    });
    const double theirs = bestNanosPerCall([&] {
        std::size_t total = 0;
        for (unsigned int i = 0; i < Elements; ++i)
            total += std::string(peer[i]).size();
        sizeSink = total;
    });
    report("getString(i) of 20 characters", ours, theirs);
}

void measureMemory()
{
    const std::size_t before = heapInUse();
    {
        Oracle::ODbDynamicVariable var;
        Oracle::ODbParam param;
        param = var;
        param.initParam(Oracle::supDouble, -1, LargeArray);
        const std::size_t ours = heapInUse() - before;
        std::vector<double> peer(LargeArray);
        const std::size_t theirs = heapInUse() - before - ours;
        std::printf("%-34s %8.2f B    peer %8.2f B    ratio %6.1fx\n", "heap per supDouble element",
                    static_cast<double>(ours) / LargeArray, static_cast<double>(theirs) / LargeArray,
                    static_cast<double>(ours) / static_cast<double>(theirs));
        doubleSink = peer[0];
    }
}

} // namespace

int main()
{
    std::printf("values_bench: %u-element arrays, best of 20 rounds\n", Elements);
    timeDoubles();
    timeStrings();
    measureMemory();
    return 0;
}
