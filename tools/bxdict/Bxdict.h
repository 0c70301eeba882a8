#pragma once
// The bxdict command line: dump, info, check, new (create), convert, import
// and export.
#include <QStringList>

class QIODevice;

namespace Bxdict {
enum ExitCode { kOk = 0, kBadHeader = 1, kDamaged = 2, kFailed = 3, kRefused = 4, kSkipped = 5 };
// args excludes the program name.
int Run(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err);
} // namespace Bxdict
