// Costs of the link's hot paths: the wire scrambling of a chat line, and a War Arranger relaying
// one Fighter's chat line to the nine other Fighters of a full roster.

#include <benchmark/benchmark.h>

#include <string>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;

namespace {

// "7", NUL, 256 characters of text, NUL: the longest chat line a War Arranger accepts.
std::string longestChatLine() {
    std::string text;
    for (int i = 0; i < 256; ++i) {
        text.push_back(static_cast<char>('a' + i % 26));
    }
    return codec::build('7', {text});
}

void BM_ScrambleChatLine(benchmark::State& state) {
    const std::string plain = longestChatLine();
    for (auto _ : state) {
        std::string wire = codec::scramble(plain);
        benchmark::DoNotOptimize(wire);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(plain.size()));
}
BENCHMARK(BM_ScrambleChatLine)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UnscrambleChatLine(benchmark::State& state) {
    const std::string wire = codec::scramble(longestChatLine());
    for (auto _ : state) {
        std::string text = wire;
        codec::unscramble(text);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(wire.size()));
}
BENCHMARK(BM_UnscrambleChatLine)->Repetitions(5)->ReportAggregatesOnly(true);

// From the datagram's arrival to the relay sent to the other nine Fighters.
void BM_ArrangerRelaysChatLine(benchmark::State& state) {
    FakeLinkRig rig;
    rig.startArranger("Boss");
    for (int n = 1; n <= 10; ++n) {
        rig.join("Fighter" + std::to_string(n), "10.0.0." + std::to_string(n));
    }
    const std::string wire = codec::scramble(longestChatLine());
    const std::string sender = "10.0.0.1";

    // One untimed round proves the path does what is measured: "E" back, nine relays.
    rig.socket.sent.clear();
    rig.link->flood().resetCount();
    rig.socket.deliver(wire, sender);
    if (rig.ui.lbFighters.listCount() != 10 || rig.socket.sent.size() != 10 ||
        rig.sentPlain(0) != codec::build('E') || rig.sentPlain(-1).front() != 'B') {
        state.SkipWithError("the War Arranger did not relay the chat line");
        return;
    }

    for (auto _ : state) {
        rig.socket.sent.clear();
        rig.chat.lines.clear();
        rig.link->flood().resetCount();
        rig.socket.deliver(wire, sender);
        benchmark::DoNotOptimize(rig.socket.sent.data());
    }
    state.counters["sends"] = static_cast<double>(rig.socket.sent.size());
}
BENCHMARK(BM_ArrangerRelaysChatLine)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
