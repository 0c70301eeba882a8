// The auto-replace engine's cost per key-down with a 100,000-entry dictionary
// (the time of one iteration: one key down and up):
// prose with capitals, punctuation, a few typos corrected by Backspace and
// some keywords, fed as key-downs and key-ups. Twice: straight into the
// engine, and through the hook library's key path on the virtual desktop
// (the engine answering the library's key messages, as the main window does).
#include "dictionary/DictItem.h"
#include "dictionary/DictList.h"
#include "hook/HookApi.h"
#include "platform/UsLayout.h"
#include "platform/VirtualKeys.h"
#include "typing/Autorepl.h"
#include "typing/AutoreplLookup.h"

#include <QByteArray>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kEntries = 100000;
// The options a fresh settings file gives.
constexpr uint16_t kDefaultOptions = 0x0FCD;

// '\b' stands for Backspace.
constexpr const char kProse[] =
    "Dear Ms. Hale, thank you for the quick reply. As I said on Monday, the "
    "delivery to 12 Elm Road was late (three days), and the invoice shows the "
    "wrong total: 1,250.00 instead of 1,025.00. Could you check it? Btw, teh "
    "form on your site would not accept my postcode; I tried twice, e.g. with "
    "and without the space. I will be away until the 14th, so please write "
    "to my asst at the adress below. Best regards, Tom.\n"
    "P.S. The new catalgoue\b\b\b\bogue looks great; asap I will order the "
    "blue set. fyi the old one is broken.\n";

// The keywords the prose contains; everything else is random.
constexpr const char* kKeywords[][2] = {
    {"btw", "by the way"},           {"teh", "the"},        {"e.g.", "for example"},
    {"asst", "assistant"},           {"adress", "address"}, {"asap", "as soon as possible"},
    {"fyi", "for your information"},
};

struct TKey {
    uint16_t vkey;
    bool shift;
};

std::vector<TKey> Keys(const char* text) {
    std::vector<TKey> keys;
    for (const char* p = text; *p; ++p) {
        if (*p == '\b') {
            keys.push_back({vk::Back, false});
            continue;
        }
        uint8_t vkey = 0;
        bool shift = false;
        if (UsLayout::KeyForChar(static_cast<unsigned char>(*p), vkey, shift))
            keys.push_back({vkey, shift});
    }
    return keys;
}

class TServices final : public TAutoReplaceServices {
public:
    const TLookupAnswer* Lookup(const QByteArray& keyword) override {
        return lookup.Lookup(keyword);
    }
    bool KeywordBegins(const QByteArray& text) override { return lookup.KeywordBegins(text); }
    BxHwnd CallingWindow() override { return 100; }
    std::optional<QByteArray> LookupDescription(const QByteArray& keyword) override {
        return lookup.LookupDescription(keyword);
    }
    BxHwnd OwnInputControl() override { return 0; }
    void SetPrefixOrSuffix(int, const QByteArray&) override {}
    int ShortcutKind(uint16_t) override { return shortcutkind::None; }
    uint32_t CaretPos() override { return 0; }
    const TLookupAnswer* CompletionLookup(const QByteArray& text) override {
        return lookup.CompletionLookup(text);
    }
    void PostAddEntry(const std::optional<QByteArray>&) override {}
    void PostKeywordBox(int, const QByteArray&) override {}
    uint16_t HotKey() override { return vk::F10; }
    void SetKeptChar(unsigned char) override {}
    void SendBackspaces(BxHwnd, int) override {}

    TDictionaryLookup lookup;
};

// Built once: loading 100,000 entries takes far longer than a run.
struct TWorld {
    TDictionaryList dictionary;
    TServices services;
    TAutoReplaceEngine engine{services};
    std::vector<TKey> keys = Keys(kProse);
    int replacements = 0;

    TWorld() {
        std::mt19937 rng(42);
        auto add = [&](const QByteArray& keyword, const QByteArray& text) {
            auto* item = new TDictionaryItem;
            item->SetKeyword(keyword);
            item->SetText(text);
            if (rng() % 2) item->SetDescription(text.left(24));
            if (dictionary.Add(item) < 0) delete item;
        };
        for (const auto& k : kKeywords)
            add(k[0], k[1]);
        auto letters = [&](int n) {
            QByteArray s(n, 'a');
            for (char& c : s)
                c = static_cast<char>('a' + rng() % 26);
            return s;
        };
        // Random keywords that are words of the prose would expand far more
        // often than anyone's dictionary does.
        QByteArray prose = QByteArray(kProse).toLower();
        for (char& c : prose)
            if (c < 'a' || c > 'z') c = ' ';
        QSet<QByteArray> proseWords;
        for (const QByteArray& word : prose.split(' '))
            proseWords.insert(word);
        while (dictionary.Count() < kEntries) {
            const QByteArray keyword = letters(3 + rng() % 10);
            if (!proseWords.contains(keyword)) add(keyword, letters(20 + rng() % 200));
        }
        services.lookup.SetDictionary(&dictionary);
        engine.InitEngine();
        engine.SetOptions(kDefaultOptions);
    }

    // The main window's answer to the hook library's key messages.
    int Down(unsigned vkey, bool shift, bool ctrl, bool alt) {
        return engine.AutoReplaceKey(vkey, shift, ctrl, alt);
    }
    void Perform() {
        QByteArray text;
        if (engine.PerformReplacement(text) == arresult::Replaced) ++replacements;
        benchmark::DoNotOptimize(text.constData());
    }
};

TWorld& World() {
    static TWorld world;
    return world;
}

// Expansions in one pass over the prose, to show the dictionary behaves.
void Report(benchmark::State& state, int64_t keys, int replacements) {
    state.counters["expansions/pass"] = static_cast<double>(replacements) *
                                        static_cast<double>(World().keys.size()) /
                                        static_cast<double>(keys);
}

void BM_EngineKeyDown(benchmark::State& state) {
    TWorld& w = World();
    w.replacements = 0;
    size_t i = 0;
    // One iteration: one key down and up; the time is per key-down.
    for (auto _ : state) {
        const TKey& k = w.keys[i];
        if (w.Down(k.vkey, k.shift, false, false) != arresult::None) w.Perform();
        w.engine.KeyReleased();
        if (++i == w.keys.size()) i = 0;
    }
    Report(state, state.iterations(), w.replacements);
}
BENCHMARK(BM_EngineKeyDown);

// The hook library's side: key reports on the virtual desktop, sent
// synchronously to the message procedure below.
intptr_t HookProc(void* ctx, BxHwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam, int) {
    if (msg != BX_MSG_KEY) return 0;
    auto* w = static_cast<TWorld*>(ctx);
    const uint16_t sc = static_cast<uint16_t>(wParam);
    const int flags = static_cast<int>((lParam >> 16) & 0xFFFF);
    const unsigned key = sc & 0xFF;
    if (vk::IsModifier(static_cast<uint8_t>(key))) return 0;
    if (flags == BX_KEYFLAG_DOWN) return w->Down(key, sc & 0x2000, sc & 0x4000, sc & 0x8000);
    if (flags == BX_KEYFLAG_PERFORM)
        w->Perform();
    else
        w->engine.KeyReleased();
    return 0;
}

void BM_HookAndEngineKeyDown(benchmark::State& state) {
    static QTemporaryDir runtime;
    setenv("BREVIX_HOOK", "virtual", 1);
    setenv("BREVIX_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    constexpr BxHwnd kMain = 0x7001;
    if (InitHooksDll(kMain) != 0 || std::string(BxBackendName()) != "virtual") {
        state.SkipWithError("the virtual hook backend did not start");
        return;
    }
    InstallKeyboardFilter(1);
    TWorld& w = World();
    w.replacements = 0;
    BxSetMessageProc(&HookProc, &w);
    const BxHwnd target = BxVirtualCreateWindow(42);
    BxVirtualSetFocus(target);
    SetFSMState(BX_FSM_WATCHING);
    size_t i = 0;
    for (auto _ : state) {
        const TKey& k = w.keys[i];
        const uint16_t code = static_cast<uint16_t>(k.vkey | (k.shift ? 0x2000 : 0));
        BxVirtualKey(code, 1);
        BxVirtualKey(code, 0);
        if (++i == w.keys.size()) {
            i = 0;
            // The window's text would otherwise grow without end.
            BxVirtualSetText(target, "");
        }
    }
    Report(state, state.iterations(), w.replacements);
    BxSetMessageProc(nullptr, nullptr);
    InstallKeyboardFilter(0);
    UninstallHooksDll(kMain);
}
BENCHMARK(BM_HookAndEngineKeyDown);

} // namespace

BENCHMARK_MAIN();
