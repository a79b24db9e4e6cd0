#include "common/reporttext.h"

#include "common/prompter.h"
#include "common/textwidth.h"

namespace {
constexpr int ReportDisplayLimit = 32768;
}

QString Under32(const QString &text, Prompter &prompter)
{
    if (byteLength(text) <= ReportDisplayLimit)
        return text;
    prompter.ask({QStringLiteral("表示内容が限界に達しました。") + QLatin1Char('\n')
                      + QStringLiteral("全てを参照したい場合は一旦ファイルに保存し、WordPad などの他のプログラムで閲覧してください(^^;"),
                  QString(), Prompter::Ok, Prompter::Icon::Warning, Prompter::Ok});
    return cutWidth(text, ReportDisplayLimit);
}
