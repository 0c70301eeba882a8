// Shows the suggestion window and the hint box on a real display, as the
// engine would while a word is typed, for the focus check of
// assist_focus.sh. Usage: assist_demo x,y,w,h (the target's frame).
#include "dictionary/DictList.h"
#include "hook/HookProtocol.h"
#include "platform/VirtualKeys.h"
#include "typing/gui/HintBox.h"
#include "typing/gui/SuggestStyle.h"
#include "typing/gui/SuggestionWindow.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TDictionaryList dict;
    const char* entries[][2] = {{"ad", "Advertisement"},
                                {"addr", "Home address"},
                                {"adr", "Office address"},
                                {"adv", "Advice"},
                                {"sig", "Signature block"}};
    for (const auto& e : entries) {
        auto* item = new TDictionaryItem;
        item->SetKeyword(e[0]);
        item->SetDescription(e[1]);
        dict.Add(item);
    }
    QRect target(100, 100, 400, 300);
    if (argc > 1) {
        const QStringList v = QString::fromLocal8Bit(argv[1]).split(QLatin1Char(','));
        if (v.size() == 4) target = QRect(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt());
    }
    TSuggestionStyle settings;
    settings.Options = aoAutoReplace | aoAutoReplaceAlwaysShow | aoAutoReplaceHint;
    TAssistantForm form{QString()};
    form.SetDictionarySource([&dict] { return &dict; });
    form.ApplySettings(settings);
    form.SetProgramStarted(true);
    form.SetFileName(QStringLiteral("demo.bxd"));
    TBx5HintBox hint{QString()};
    hint.SetColor(settings.Color);
    // Step by step, as keys arrive: the window first, then the word, then the hint.
    QTimer::singleShot(0, [&] { form.SetShown(true); });
    QTimer::singleShot(300, [&] { form.UpdateSuggestions("ad", -1); });
    QTimer::singleShot(600, [&] {
        form.UpdateSuggestions("", dict.IndexOfKeyword("addr"));
        hint.SetKeyword("addr");
        hint.SetDescription("Home address");
        hint.ShowFor(target);
        std::printf("shown\n");
        std::fflush(stdout);
    });
    QTimer::singleShot(30000, &app, &QApplication::quit);
    return app.exec();
}
